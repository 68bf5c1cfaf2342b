#include "lv2/Lv2Ports.h"

#include "processor/HostParameters.h"
#include "processor/ProductInfo.h"

#include <cmath>

juce::String Lv2Ports::getPluginUri (Variant variant)
{
    const juce::String uri (ProductInfo::lv2Uri);
    return variant == Variant::stereo ? uri : uri + "-mono";
}

// The suffixes below are those that earlier builds used, so saved states and sessions stay
// readable.
juce::String Lv2Ports::getUiUri() { return juce::String (ProductInfo::lv2Uri) + ":UI"; }
juce::String Lv2Ports::getStateUri() { return juce::String (ProductInfo::lv2Uri) + ":StateString"; }
juce::String Lv2Ports::getProgramUri() { return juce::String (ProductInfo::lv2Uri) + ":Program"; }

juce::String Lv2Ports::getPresetUri (int program)
{
    return juce::String (ProductInfo::lv2Uri) + ":preset" + juce::String (program + 1).paddedLeft ('0', 2);
}

juce::String Lv2Ports::getPresetLabel (int program, const juce::String& programName)
{
    return juce::String (program + 1).paddedLeft ('0', 2) + " " + programName;
}

uint32_t Lv2Ports::getAudioInputPort (Variant variant, int channel) noexcept
{
    juce::ignoreUnused (variant);
    return (uint32_t) channel;
}

uint32_t Lv2Ports::getAudioOutputPort (Variant variant, int channel) noexcept
{
    return (uint32_t) (getNumAudioChannels (variant) + channel);
}

uint32_t Lv2Ports::getControlPort (Variant variant, int parameter) noexcept
{
    return (uint32_t) (2 * getNumAudioChannels (variant) + parameter);
}

uint32_t Lv2Ports::getFreeWheelingPort (Variant variant) noexcept
{
    return getControlPort (variant, HostParameters::numParameters);
}

uint32_t Lv2Ports::getLatencyPort (Variant variant) noexcept
{
    return getFreeWheelingPort (variant) + 1;
}

uint32_t Lv2Ports::getNumPorts (Variant variant) noexcept
{
    return getLatencyPort (variant) + 1;
}

int Lv2Ports::getParameterOfPort (Variant variant, uint32_t port) noexcept
{
    const auto first = getControlPort (variant, 0);
    return port >= first && port < first + (uint32_t) HostParameters::numParameters ? (int) (port - first) : -1;
}

float Lv2Ports::getPortMaximum (int parameter) noexcept
{
    return HostParameters::isStepped (parameter) ? (float) (HostParameters::getNumSteps (parameter) - 1) : 1.0f;
}

bool Lv2Ports::isToggled (int parameter) noexcept
{
    return HostParameters::getNumSteps (parameter) == 2;
}

bool Lv2Ports::isEnumeration (int parameter) noexcept
{
    return HostParameters::getNumSteps (parameter) > 2;
}

float Lv2Ports::toParameterValue (int parameter, float portValue) noexcept
{
    if (! std::isfinite (portValue))
        return portValue;

    // A stepped port scaled onto 0..1 falls into its step's band like any host value: whole
    // numbers select their step, and a toggle is on above 0 as LV2 defines it.
    const auto maximum = getPortMaximum (parameter);
    return HostParameters::toStoredValue (parameter, juce::jlimit (0.0f, maximum, portValue) / maximum).value_or (0.0f);
}

float Lv2Ports::toPortValue (int parameter, float parameterValue) noexcept
{
    if (! HostParameters::isStepped (parameter))
        return parameterValue;

    return (float) HostParameters::getStepIndex (parameter, parameterValue);
}
