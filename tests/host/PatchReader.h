#pragma once

#include <juce_core/juce_core.h>

#include <memory>

// Reads the plug-in's own document out of a host's saved state. What the host shows is the
// host's copy of the values; the document is what the plug-in itself holds.
class PatchReader
{
public:
    // The "molvekPatch" element inside the state of a VST3 host (XML holding the component
    // state in base64) or an LV2 host (Turtle holding the plug-in's state string); null when
    // there is none.
    static std::unique_ptr<juce::XmlElement> findDocument (const juce::MemoryBlock& hostState);

    // The "activePreset" of a full state; -1 when it is missing.
    static int getActivePreset (const juce::XmlElement& document);

    // The value texts of the active slot's active channel, by parameter identifier.
    static juce::StringPairArray getLiveValueTexts (const juce::XmlElement& document);
};
