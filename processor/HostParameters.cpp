#include "processor/HostParameters.h"

#include <charconv>
#include <cmath>

namespace
{
const char* const parameterNames[] = { "onBypass", "inputVol", "overdriveType", "overdrive", "tone", "level", "dryWet", "oversampling" };

const float parameterDefaults[] = { 1.0f, 0.5f, 0.0f, 0.5f, 0.5f, 0.5f, 1.0f, 0.0f };

const char* const modelNames[] = { "Blues Overdrive", "Boutique Overdrive", "Mad Overdrive", "Modern Overdrive", "Pro Overdrive" };

const char* const oversamplingNames[] = { "1x Oversampling", "2x Oversampling", "4x Oversampling", "8x Oversampling" };

// A float-to-int conversion of a value outside the int range is undefined: clamp first.
int clampedCeil (float scaled, int maxIndex) noexcept
{
    const auto c = std::ceil (scaled);

    if (! (c > 0.0f)) // also catches NaN
        return 0;

    return c >= (float) maxIndex ? maxIndex : (int) c;
}
} // namespace

juce::String HostParameters::getName (int index)
{
    return isValidIndex (index) ? juce::String (parameterNames[index]) : juce::String();
}

std::optional<float> HostParameters::toStoredValue (int index, float value) noexcept
{
    if (! isValidIndex (index) || ! std::isfinite (value))
        return std::nullopt;

    // The circuits' tapers and networks are only defined on 0..1: outside it some of them
    // compute unstable filters.
    // (-0 becomes 0: documents would write its sign.)
    return value <= 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
}

float HostParameters::getDefaultValue (int index) noexcept
{
    return isValidIndex (index) ? parameterDefaults[index] : 0.0f;
}

int HostParameters::getModelIndex (float value) noexcept
{
    return clampedCeil (4.0f * value, numModels - 1);
}

int HostParameters::getOversamplingIndex (float value) noexcept
{
    return clampedCeil (3.0f * value, numOversamplingFactors - 1);
}

int HostParameters::getNumSteps (int index) noexcept
{
    switch (index)
    {
        case onBypass: return 2;
        case overdriveType: return numModels;
        case oversampling: return numOversamplingFactors;
        default: return 0;
    }
}

int HostParameters::getStepIndex (int index, float value) noexcept
{
    switch (index)
    {
        case onBypass: return value > 0.0f ? 1 : 0;
        case overdriveType: return getModelIndex (value);
        case oversampling: return getOversamplingIndex (value);
        default: return 0;
    }
}

float HostParameters::getStepValue (int index, int step) noexcept
{
    const auto last = getNumSteps (index) - 1;

    if (last <= 0)
        return 0.0f;

    step = juce::jlimit (0, last, step);

    switch (index)
    {
        case overdriveType: return getModelValue (step);
        case oversampling: return getOversamplingValue (step);
        default: return (float) step;
    }
}

juce::String HostParameters::getModelName (int modelIndex)
{
    return modelNames[juce::jlimit (0, numModels - 1, modelIndex)];
}

juce::String HostParameters::getOversamplingName (int oversamplingIndex)
{
    return oversamplingNames[juce::jlimit (0, numOversamplingFactors - 1, oversamplingIndex)];
}

juce::String HostParameters::formatFixed (double value, int decimals)
{
    char buffer[64];
    const auto result = std::to_chars (buffer, buffer + sizeof (buffer), value, std::chars_format::fixed, decimals);

    if (result.ec != std::errc())
        return "0";

    return juce::String (buffer, (size_t) (result.ptr - buffer));
}

juce::String HostParameters::getText (int index, float value)
{
    switch (index)
    {
        case onBypass:
            return value == 0.0f ? "Off" : "On";

        case inputVol:
        case overdrive:
        case tone:
        case level:
            return formatFixed ((double) (value * 10.0f), 2);

        case overdriveType:
            return getModelName (getModelIndex (value));

        case dryWet:
            return formatFixed ((1.0 - (double) value) * 100.0, 2) + "% Dry / "
                   + formatFixed ((double) (value * 100.0f), 2) + "% Wet";

        case oversampling:
            return getOversamplingName (getOversamplingIndex (value));

        default:
            return {};
    }
}

float HostParameters::getValueForText (int index, const juce::String& text)
{
    const auto trimmed = text.trim();
    const auto number = trimmed.getDoubleValue();
    const auto inside = [] (double v)
    { return (float) juce::jlimit (0.0, 1.0, std::isfinite (v) ? v : 0.0); };

    if (isStepped (index))
    {
        for (int step = 0; step < getNumSteps (index); ++step)
        {
            const auto name = getText (index, getStepValue (index, step));

            if (trimmed.isNotEmpty() && name.startsWithIgnoreCase (trimmed))
                return getStepValue (index, step);
        }

        if (index == onBypass)
            return trimmed.equalsIgnoreCase ("true") || number > 0.0 ? 1.0f : 0.0f;

        return getStepValue (index, juce::roundToInt (juce::jlimit (0.0, (double) getNumSteps (index) - 1.0, std::isfinite (number) ? number : 0.0)));
    }

    if (index == dryWet)
    {
        // "75.00% Dry / 25.00% Wet", "25% Wet", "75% Dry" or a bare wet percentage.
        const auto wetAt = trimmed.indexOfIgnoreCase ("wet");

        if (wetAt >= 0)
        {
            const auto before = trimmed.substring (0, wetAt).trimCharactersAtEnd ("% ");
            const auto lastNumber = before.substring (before.lastIndexOfAnyOf ("/ ") + 1);
            return inside (lastNumber.getDoubleValue() / 100.0);
        }

        if (trimmed.containsIgnoreCase ("dry"))
            return inside (1.0 - number / 100.0);

        return inside (number / 100.0);
    }

    return inside (number / 10.0);
}
