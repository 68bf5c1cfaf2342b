#include "processor/ProgramBank.h"

#include "processor/FactoryPresets.h"
#include "processor/HostParameters.h"
#include "processor/PatchDocument.h"
#include "processor/PresetPath.h"
#include "processor/ProductInfo.h"

ProgramBank::ProgramBank()
{
    for (auto& slot : presetSlots)
    {
        slot.activeChannel = 0;

        for (int c = 0; c < PresetSlot::numChannels; ++c)
        {
            slot.presetPath[(size_t) c] = ProductInfo::initPresetPath;

            for (int k = 0; k < PresetSlot::numValues; ++k)
                slot.values[(size_t) c][(size_t) k].store (HostParameters::getDefaultValue (k));
        }
    }

    // Program 1 stays "Init" (a new instance sounds as it always did); the others start as
    // factory programs, each named after its channel A preset. A restored state replaces them.
    const auto& programs = FactoryPresets::getPrograms();

    for (size_t p = 0; p < programs.size() && p + 1 < presetSlots.size(); ++p)
    {
        const char* channelPresets[] = { programs[p].rhythm, programs[p].lead };

        for (int c = 0; c < PresetSlot::numChannels; ++c)
        {
            if (const auto* preset = FactoryPresets::find (channelPresets[c]))
            {
                auto& slot = presetSlots[p + 1];
                slot.presetPath[(size_t) c] = FactoryPresets::getRelativePath (*preset);
                const auto values = FactoryPresets::getValues (*preset);

                for (int k = 0; k < PresetSlot::numValues; ++k)
                    slot.values[(size_t) c][(size_t) k].store (values[(size_t) k]);
            }
        }
    }
}

float ProgramBank::getValue (int index) const noexcept
{
    const auto& slot = currentSlot();
    return slot.values[(size_t) slot.getActiveChannel()][(size_t) index].load();
}

void ProgramBank::setValue (int index, float value) noexcept
{
    auto& slot = currentSlot();
    slot.values[(size_t) slot.getActiveChannel()][(size_t) index].store (value);
}

void ProgramBank::setActiveChannel (int channel) noexcept
{
    currentSlot().activeChannel.store (PresetSlot::clampChannel (channel));
}

void ProgramBank::copyChannel (int source, int destination) noexcept
{
    auto& slot = currentSlot();
    const auto from = (size_t) PresetSlot::clampChannel (source);
    const auto to = (size_t) PresetSlot::clampChannel (destination);

    for (size_t k = 0; k < (size_t) PresetSlot::numValues; ++k)
        slot.values[to][k].store (slot.values[from][k].load());
}

juce::String ProgramBank::getPresetPath (int channel) const
{
    return getPresetPath (getActivePreset(), channel);
}

void ProgramBank::setCurrentPresetPath (const juce::String& path)
{
    const auto slot = getActivePreset();
    setPresetPath (slot, getSlot (slot).getActiveChannel(), path);
}

juce::String ProgramBank::getPresetPath (int slot, int channel) const
{
    const std::lock_guard<std::mutex> lock (pathLock);
    return getSlot (slot).presetPath[(size_t) PresetSlot::clampChannel (channel)];
}

void ProgramBank::setPresetPath (int slot, int channel, const juce::String& path)
{
    // The bounded copy is made outside the lock; the old string is released outside it too.
    auto bounded = PatchDocument::boundedPresetPath (path);
    const std::lock_guard<std::mutex> lock (pathLock);
    std::swap (getSlot (slot).presetPath[(size_t) PresetSlot::clampChannel (channel)], bounded);
}

juce::String ProgramBank::getProgramName (int index) const
{
    if (! isValidSlot (index))
        return ProductInfo::initProgramName;

    const auto path = getPresetPath (index, getSlot (index).getActiveChannel());
    const auto name = path.trim().isEmpty() ? juce::String() : PresetPath::displayName (path);

    return name.isNotEmpty() ? name : juce::String (ProductInfo::initProgramName);
}
