#pragma once

#include "processor/ProgramBank.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

// The programs as "molvekPatch" documents: the host's full state and program state, and
// preset files. Loading applies values through the processor, so that the host, the circuits
// and the editor hear of them as of any other change.
class ProgramDocuments
{
public:
    // Results of loading a preset file.
    enum PresetLoadResult
    {
        presetUnreadable = 0,
        presetLoaded = 1,
        presetOfOtherProduct = 2,
        presetFromNewerVersion = 4,
        fullStateLoaded = 5
    };

    ProgramDocuments (ProgramBank& bank, juce::AudioProcessor& processor);

    // The host's state envelopes: every program, or the current one.
    void writeState (juce::MemoryBlock& destination) const;
    void restoreState (const void* data, int sizeInBytes);
    void writeProgramState (juce::MemoryBlock& destination) const;
    void restoreProgramState (const void* data, int sizeInBytes);

    // Loaders take ownership of the element.
    void createPatchDocument (juce::XmlElement& document, bool presetOnly) const;
    void createSlotDocument (juce::XmlElement& document) const;
    int loadPatchDocument (std::unique_ptr<juce::XmlElement> document, bool presetOnly);
    bool loadSlotDocument (std::unique_ptr<juce::XmlElement> document);

    // True when a preset document holds values other than the live ones.
    bool presetDiffers (std::unique_ptr<juce::XmlElement> document) const;

    // The message shown when a preset file comes from a newer version of the product.
    juce::String getNewerVersionMessage() const;

private:
    int loadFullState (const juce::XmlElement& document);
    int loadPreset (const juce::XmlElement& document);
    // Reads a slot's "Channel" elements (at most two); returns how many there were.
    int readChannels (const juce::XmlElement& parent, int slot);
    void readChannel (const juce::XmlElement& channelElement, int slot, int channel);

    ProgramBank& bank;
    juce::AudioProcessor& processor;
};
