#pragma once

#include "cli/RenderOptions.h"

class VardekoQX2710AudioProcessor;

// Brings the settings of a command line into a processor the way a host and the plug-in's
// preset menu would: the preset file through loadPatchDocument, everything else through
// setParameter by index. Runs before prepareToPlay, which applies the circuit and the
// oversampling factor at once, so no message loop is needed.
class ProcessorSetup
{
public:
    // Warnings (a preset from a newer version) are added to warnings, one line each.
    static RenderStatus apply (VardekoQX2710AudioProcessor& processor, const RenderOptions& options, juce::StringArray& warnings);

    static RenderStatus loadPreset (VardekoQX2710AudioProcessor& processor, const juce::File& file, juce::StringArray& warnings);

    // One of the presets that come with the plug-in, by name.
    static RenderStatus loadFactoryPreset (VardekoQX2710AudioProcessor& processor, const juce::String& name);
};
