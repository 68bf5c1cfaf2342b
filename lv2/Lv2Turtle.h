#pragma once

#include <juce_core/juce_core.h>

class VardekoQX2710AudioProcessor;

// Writes the LV2 bundle's description from a processor, so that names, ranges, defaults, step
// texts and programs have one source: manifest.ttl (what the bundle holds), the plug-ins with
// their ports and editor, and one preset per program.
class Lv2Turtle
{
public:
    static constexpr const char* pluginFile = "VardekoQX2710.ttl";
    static constexpr const char* presetFile = "presets.ttl";

    // binaryName: the file name of the plug-in library inside the bundle.
    static juce::String createManifest (VardekoQX2710AudioProcessor& processor, const juce::String& binaryName);
    static juce::String createPlugins (VardekoQX2710AudioProcessor& processor);
    static juce::String createPresets (VardekoQX2710AudioProcessor& processor);

    // Writes the three files into the bundle folder.
    static juce::Result writeBundle (VardekoQX2710AudioProcessor& processor, const juce::File& bundle, const juce::String& binaryName);

    // A string literal in Turtle's syntax.
    static juce::String quoted (const juce::String& text);
};
