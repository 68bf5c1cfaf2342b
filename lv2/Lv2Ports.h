#pragma once

#include <juce_core/juce_core.h>

#include <cstdint>

// The LV2 plug-ins' identity and ports, shared by the wrapper and the generator of their
// description, so that the binary and its description cannot disagree.
//
// Two plug-ins: stereo, under the URI that saved sessions name, and mono. Each has its audio
// ports, then one control input per host parameter (symbol = parameter identifier, in index
// order), then the free-wheeling input through which a host says it renders offline, then the
// latency output through which the plug-in reports the oversampling delay. Stepped
// parameters take their step number (0, 1, 2...), continuous ones their value from 0 to 1.
class Lv2Ports
{
public:
    enum class Variant
    {
        stereo,
        mono
    };

    static constexpr int numVariants = 2;
    static constexpr int numPrograms = 12;

    static juce::String getPluginUri (Variant variant);
    static juce::String getUiUri();
    static juce::String getStateUri(); // the host state, as text
    static juce::String getProgramUri(); // a preset's program number
    static juce::String getPresetUri (int program);

    // "01 Init": the slot's number first, so that hosts sorting by label keep program order.
    static juce::String getPresetLabel (int program, const juce::String& programName);

    static int getNumAudioChannels (Variant variant) noexcept { return variant == Variant::stereo ? 2 : 1; }

    static uint32_t getAudioInputPort (Variant variant, int channel) noexcept;
    static uint32_t getAudioOutputPort (Variant variant, int channel) noexcept;
    static uint32_t getControlPort (Variant variant, int parameter) noexcept;
    static uint32_t getFreeWheelingPort (Variant variant) noexcept;
    static uint32_t getLatencyPort (Variant variant) noexcept;
    static uint32_t getNumPorts (Variant variant) noexcept;

    // The parameter of a control port, or -1.
    static int getParameterOfPort (Variant variant, uint32_t port) noexcept;

    // Range of a parameter's port: 0 to 1, or 0 to steps - 1.
    static float getPortMaximum (int parameter) noexcept;
    static bool isToggled (int parameter) noexcept;
    static bool isEnumeration (int parameter) noexcept;

    // Port value <-> parameter value. A stepped port's value selects the step whose band holds
    // it (whole numbers their own step, a toggle "on" above 0); NaN stays NaN (the processor
    // ignores it).
    static float toParameterValue (int parameter, float portValue) noexcept;
    static float toPortValue (int parameter, float parameterValue) noexcept;
};
