#pragma once

#include "cli/RenderStatus.h"
#include "cli/SampleFormat.h"

#include <optional>
#include <utility>
#include <vector>

// What one run of the renderer is asked to do, read from its command line.
//
// Settings reach the processor in a fixed order whatever their order on the command line: the
// preset file first, then the circuit, the oversampling factor, and the parameters in the
// order given, so anything named explicitly overrides the preset.
struct RenderOptions
{
    static constexpr int defaultBlockSize = 512;
    static constexpr int maximumBlockSize = 1 << 20;
    static constexpr int minimumDemoRate = 8000;
    static constexpr int maximumDemoRate = 384000;
    static constexpr int defaultDemoRate = 48000;

    juce::File input;
    juce::File output;

    bool demo = false;
    juce::File demoDry;
    int demoRate = defaultDemoRate;

    juce::File preset;
    juce::String factoryPreset; // a name FactoryPresets knows
    std::optional<int> circuit; // model index 0..4
    std::optional<int> oversamplingIndex; // 0..3 for factors 1, 2, 4, 8
    std::vector<std::pair<int, float>> parameters;

    std::optional<SampleFormat> sampleFormat;
    bool stereoOutput = false;
    int blockSize = defaultBlockSize;
    std::optional<int> announcedBlockSize;
    bool quiet = false;
    bool helpRequested = false;

    // Reads the arguments that follow the program name. Relative paths are taken from
    // baseFolder. On failure the status carries the message and the usage exit code.
    static RenderStatus parse (const juce::StringArray& arguments, const juce::File& baseFolder, RenderOptions& result);

    static juce::String getUsage();

    // "Pro Overdrive", "pro overdrive", "PRO": index 4. Exact names and their first words,
    // ignoring case and extra spaces.
    static std::optional<int> findCircuit (const juce::String& name);

    // 1, 2, 4, 8 (an "x" may follow): index 0..3.
    static std::optional<int> findOversamplingIndex (const juce::String& factor);

    // The values a host sends for a circuit index and an oversampling index.
    static float circuitValue (int modelIndex) noexcept;
    static float oversamplingValue (int oversamplingIndex) noexcept;

    // The block size given to prepareToPlay.
    int getAnnouncedBlockSize() const noexcept { return announcedBlockSize.value_or (blockSize); }
};
