#pragma once

#include "processor/PatchDocumentReader.h"

#include <juce_data_structures/juce_data_structures.h>

#include <atomic>

// The Standalone app's own settings between runs (its audio and MIDI devices, its window's place,
// the plug-in's state) in "Vardeko QX2710.settings" (on Linux in ~/.config), in the framework's
// properties format, so that the files of earlier versions keep working.
//
// The file is read through the product's bounded reader, like every other document from
// outside: a file it refuses is moved aside (".refused") and the app starts with its defaults,
// and a value that the framework would parse as XML (the audio setup) and the reader refuses is
// left out. Either way getProblem() says what happened, for the app to tell the user. Changes
// are written a few seconds after the last one and when the app ends, replacing the file whole.
class StandaloneSettings : public juce::PropertySet, private juce::Timer
{
public:
    static constexpr int saveDelayMilliseconds = 3000;

    // A settings file holds the plug-in's state as text and an audio setup: more than a patch
    // document, but as bounded.
    static constexpr PatchDocumentReader::Limits limits { 4 * PatchDocumentReader::maximumDocumentBytes,
                                                          2 * PatchDocumentReader::maximumDocumentBytes };

    explicit StandaloneSettings (const juce::File& settingsFile);
    ~StandaloneSettings() override;

    // Where the app keeps them: the framework's place for an application's properties.
    static juce::File getDefaultFile();

    const juce::File& getFile() const noexcept { return file; }

    // What was refused when the file was read, and why; empty when all of it was used.
    const juce::String& getProblem() const noexcept { return problem; }

    // Where a refused file was kept; an invalid file when none was refused or it could not be
    // moved.
    const juce::File& getRefusedFile() const noexcept { return refusedFile; }

    // Writes the file now (the reason when that fails).
    juce::Result save();
    juce::Result saveIfNeeded();

private:
    void propertyChanged() override;
    void timerCallback() override;
    void load();
    void refuse (const juce::String& why);

    juce::File file, refusedFile;
    juce::String problem;
    std::atomic<bool> needsWriting { false };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (StandaloneSettings)
};
