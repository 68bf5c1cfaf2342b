#pragma once

#include "dsp/DiodeTableBuffers.h"
#include "dsp/DiodeTableHeader.h"
#include "dsp/ModuleBase.h"
#include "dsp/SharedTableValues.h"
#include "resources/EmbeddedResources.h"

#include <juce_core/juce_core.h>

#include <memory>

// What both diode table readers share: the table set's prefix, the two buffers a table is read
// into and put in use from, and where the images come from. A circuit's reader serves the set
// compiled into the library (its embedded set); without one a reader serves a folder of table
// files that its owner names.
//
// View is the reader's table view: a buffer with the grid it was read with.
template <typename View>
class DiodeTableReaderBase : public ModuleBase
{
public:
    // A change in progress is forgotten: the next swap keeps the table in use.
    void initParameters() override { buffers.dropPendingRead(); }

    // Stores the prefix and sizes the buffers. Without tables of that prefix the reader gets
    // an all-zero table (unless checkOnly) and returns false.
    virtual bool loadTables (const juce::String& newPrefix, bool checkOnly)
    {
        prefix = newPrefix;
        const int numValues = getTableSize();
        tablesAvailable = numValues >= 1;

        if (tablesAvailable && ! checkOnly)
            reserve (numValues);
        else if (! checkOnly)
            useSilence(); // keeps the stage running, silent

        return tablesAvailable;
    }

    // Puts the last successful read in use.
    virtual void swapTables() { buffers.swap(); }

    virtual void setOversamplingIndex (int index) { oversamplingIndex = index; }

    // Entry count of the prefix's tables, 0 when there are none.
    virtual int getTableSize() = 0;

    // The set compiled into the library that this reader serves; nullptr for a folder reader.
    const char* getEmbeddedSet() const noexcept { return embeddedSet; }

    // The folder a reader without an embedded set reads from.
    const juce::File& getTableFolder() const noexcept { return tableFolder; }

protected:
    using Buffers = DiodeTableBuffers<View>;

    DiodeTableReaderBase (const View& none, const char* set, const juce::File& folder = {})
        : buffers (none)
        , tableFolder (folder)
        , embeddedSet (set)
    {
    }

    // Gives the buffers an all-zero table of the neutral grid and puts it in use.
    virtual void useSilence() = 0;

    // Room for tables of numValues values: buffers of its own for a folder reader; none for a
    // reader of an embedded set, whose views point at the values shared by the process.
    void reserve (int numValues)
    {
        if (embeddedSet != nullptr)
            buffers.share (numValues);
        else
            buffers.allocate (numValues);
    }

    // The values of an embedded image, shared by the process (see SharedTableValues);
    // nullptr when this reader serves no embedded set, the prefix is not its set or the image
    // is missing or short.
    const float* sharedValues (const juce::String& tablePrefix, const juce::String& name, int count) const
    {
        if (embeddedSet == nullptr || tablePrefix != embeddedSet)
            return nullptr;

        return SharedTableValues::get (EmbeddedResources::tables().get (name), DiodeTableHeader::size, count);
    }

    // The effective rate when it has changed since the last read, so a new table is due; 0
    // when there is nothing to read.
    float takeRateToRead() noexcept
    {
        const float rate = Buffers::effectiveRate (getSampleRate(), oversamplingIndex);

        if (rate == loadedRate || ! buffers.isAllocated())
            return 0.0f;

        loadedRate = rate;
        return rate;
    }

    // A table image by file name: the library's image for a reader of an embedded set (and
    // only for its own prefix), else the file in the reader's folder; nullptr when there is none.
    std::unique_ptr<juce::InputStream> openImage (const juce::String& tablePrefix, const juce::String& name) const
    {
        if (embeddedSet != nullptr)
        {
            const auto image = EmbeddedResources::tables().get (name);

            if (tablePrefix != embeddedSet || image.isEmpty())
                return nullptr;

            return std::make_unique<juce::MemoryInputStream> (image.data, image.size, false);
        }

        auto file = std::make_unique<juce::FileInputStream> (tableFolder.getChildFile (name));
        return file->openedOk() ? std::move (file) : nullptr;
    }

    // For a read: a folder reader reads only once loadTables found its tables there.
    std::unique_ptr<juce::InputStream> openImageToRead (const juce::String& tablePrefix, const juce::String& name) const
    {
        return (embeddedSet != nullptr || tablesAvailable) ? openImage (tablePrefix, name) : nullptr;
    }

    // The entry count in an image's header; 0 when there is no image or no valid count.
    int readTableSize (const juce::String& name) const
    {
        const auto in = openImage (prefix, name);
        return in != nullptr ? DiodeTableHeader::readCount (*in) : 0;
    }

    juce::String prefix;
    bool tablesAvailable = false;
    int oversamplingIndex = 0;
    Buffers buffers;

private:
    float loadedRate = -1.0f;
    juce::File tableFolder;
    const char* embeddedSet;
};
