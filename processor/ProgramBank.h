#pragma once

#include "processor/PresetSlot.h"

#include <juce_core/juce_core.h>

#include <array>
#include <atomic>
#include <mutex>

// The twelve programs the host sees, each a PresetSlot with two channels (A and B), and which
// of them is current. Hosts read and write programs from several threads: values and indices
// are atomics, and the preset paths are only ever touched under pathLock, which is never held
// while calling out and never taken by the audio thread.
class ProgramBank
{
public:
    static constexpr int numPresetSlots = 12;

    // Every channel of every slot at the defaults, preset path "Init.mvkp".
    ProgramBank();

    static bool isValidSlot (int index) noexcept { return index >= 0 && index < numPresetSlots; }

    int getActivePreset() const noexcept { return activePreset.load(); }
    void setActivePreset (int index) noexcept { activePreset.store (index); }

    PresetSlot& getSlot (int index) noexcept { return presetSlots[(size_t) index]; }
    const PresetSlot& getSlot (int index) const noexcept { return presetSlots[(size_t) index]; }
    PresetSlot& currentSlot() noexcept { return getSlot (getActivePreset()); }
    const PresetSlot& currentSlot() const noexcept { return getSlot (getActivePreset()); }

    // A value of the current slot's active channel, by host parameter index.
    float getValue (int index) const noexcept;
    void setValue (int index, float value) noexcept;

    // The current slot's channels.
    int getActiveChannel() const noexcept { return currentSlot().getActiveChannel(); }
    void setActiveChannel (int channel) noexcept;
    void copyChannel (int source, int destination) noexcept;
    juce::String getPresetPath (int channel) const;
    juce::String getCurrentPresetPath() const { return getPresetPath (getActiveChannel()); }
    void setCurrentPresetPath (const juce::String& path);

    // Any slot's paths, for the documents. Both take the lock for the copy only.
    juce::String getPresetPath (int slot, int channel) const;
    void setPresetPath (int slot, int channel, const juce::String& path);

    // The name of the active channel's preset file, or "Init" (hosts reject empty names).
    juce::String getProgramName (int index) const;

private:
    std::atomic<int> activePreset { 0 };
    std::array<PresetSlot, numPresetSlots> presetSlots;
    mutable std::mutex pathLock;
};
