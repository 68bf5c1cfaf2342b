#pragma once

#include <juce_core/juce_core.h>

#include <array>
#include <memory>
#include <vector>

// The presets that come with the plug-in, carried in the library as values and written as
// ".mvkp" files by the same writer as the user's own presets: into the "Factory" folder of the
// preset folder the first time an editor opens and finds none. An existing "Factory" folder
// (the user may have edited or deleted presets in it) is never touched.
class FactoryPresets
{
public:
    static constexpr const char* folderName = "Factory";

    struct Preset
    {
        const char* folder; // below "Factory": the circuit's name
        const char* name; // the file name without ".mvkp"
        bool on;
        float inputVol;
        int circuit; // 0 Blues ... 4 Pro
        float overdrive;
        float tone;
        float level;
        float dryWet;
        int oversamplingIndex; // 0..3 for 1x..8x
    };

    static const std::vector<Preset>& getPresets();

    // The factory programs that a new instance holds in programs 2 to 12 (program 1 is "Init"):
    // channel A a rhythm sound and channel B a lead sound of one circuit, by preset name.
    struct Program
    {
        const char* rhythm;
        const char* lead;
    };

    static const std::vector<Program>& getPrograms();

    // The preset of that name (case-insensitive), or nullptr.
    static const Preset* find (const juce::String& name);

    // The eight host values.
    static std::array<float, 8> getValues (const Preset& preset);

    // The preset file's document, as the processor would save these values.
    static std::unique_ptr<juce::XmlElement> createDocument (const Preset& preset);

    // The path below the preset folder, "Factory\Pro Overdrive\Pro Lead.mvkp".
    static juce::String getRelativePath (const Preset& preset);

    // Writes every preset into presetFolder/Factory unless that exists. The files are written
    // into a hidden folder first, which becomes "Factory" only when all are complete, so a
    // failed attempt leaves nothing behind and is tried again at the next opening.
    static juce::Result install (const juce::File& presetFolder);

    // What an opening editor calls: installs, and returns the message to show for a failure,
    // once per process (a read-only or full disk would otherwise be reported at every opening);
    // empty otherwise.
    static juce::String installOnEditorOpen (const juce::File& presetFolder);
};
