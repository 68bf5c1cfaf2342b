#pragma once

#include <juce_core/juce_core.h>

#include <cstddef>

// Files compiled into the libraries, in two sets found by their file names: the diode tables
// (the DSP library) and the window's images (the GUI library). A set's index comes with the
// library that embeds it, so code of the DSP layer that asked for the artwork would not link.
// The data stays in the library's read-only image: nothing is copied or allocated.
class EmbeddedResources
{
public:
    struct Resource
    {
        const char* name = nullptr;
        const void* data = nullptr;
        std::size_t size = 0;

        bool isEmpty() const noexcept { return data == nullptr; }
    };

    // The diode tables (VardekoDsp).
    static const EmbeddedResources& tables() noexcept;

    // The window's images at 1x and 2x (VardekoGui).
    static const EmbeddedResources& artwork() noexcept;

    // The resource of that name, or an empty one when there is none.
    Resource get (const char* name) const noexcept;
    Resource get (const juce::String& name) const noexcept;

    int getNumResources() const noexcept { return numEntries; }

    // The resource at 0 <= index < getNumResources(), or an empty one.
    Resource getResource (int index) const noexcept;

    // The index that the build generates for each set.
    using EntryFunction = Resource (*) (int index);

    constexpr EmbeddedResources (int numberOfEntries, EntryFunction entryFunction) noexcept
        : numEntries (numberOfEntries)
        , getEntry (entryFunction)
    {
    }

private:
    int numEntries;
    EntryFunction getEntry;
};
