#pragma once

#include <juce_core/juce_core.h>

#include <array>
#include <atomic>

// One of the twelve host programs: two channels (A and B) of eight values each, and per
// channel the preset file it was last loaded from or saved to, relative to the preset folder.
// Values and the channel index are atomics because hosts set parameters and read programs
// from several threads at once.
struct PresetSlot
{
    static constexpr int numChannels = 2;
    static constexpr int numValues = 8;

    std::atomic<int> activeChannel { 0 };
    // Read and written through ProgramBank only, under its lock.
    std::array<juce::String, numChannels> presetPath;
    std::array<std::array<std::atomic<float>, numValues>, numChannels> values;

    // Out-of-range channels read as channel 0, so a slot never indexes outside its table.
    static int clampChannel (int channel) noexcept { return (channel == 1) ? 1 : 0; }

    int getActiveChannel() const noexcept { return clampChannel (activeChannel.load()); }

    std::array<float, numValues> getValues (int channel) const noexcept
    {
        std::array<float, numValues> copy {};

        for (size_t k = 0; k < copy.size(); ++k)
            copy[k] = values[(size_t) clampChannel (channel)][k].load();

        return copy;
    }
};
