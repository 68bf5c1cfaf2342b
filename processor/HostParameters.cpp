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
    const auto clamped = value < 0.0f ? 0.0f : (value > 1.0f ? 1.0f : value);
    return isStepped (index) ? getStepValue (index, getStepIndex (index, clamped)) : clamped;
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

namespace
{
// The first number in a text, with a point or a comma for the decimals, never read through the
// C locale of the host.
std::optional<double> firstNumber (const juce::String& text)
{
    const auto plain = text.replaceCharacter (',', '.').toStdString();
    const auto start = plain.find_first_of ("+-.0123456789");

    if (start == std::string::npos)
        return {};

    auto first = plain.data() + start;
    const auto last = plain.data() + plain.size();

    if (*first == '+')
        ++first;

    double number = 0.0;
    const auto result = std::from_chars (first, last, number);

    if (result.ec != std::errc() || ! std::isfinite (number))
        return {};

    return number;
}

// The one name among count that equals the text or starts with it, ignoring case.
std::optional<int> nameIndex (const juce::String& text, int count, juce::String (*nameOf) (int))
{
    const auto typed = text.trim();
    std::optional<int> found;

    if (typed.isEmpty())
        return {};

    for (int i = 0; i < count; ++i)
    {
        const auto name = nameOf (i);

        if (name.equalsIgnoreCase (typed))
            return i;

        if (name.startsWithIgnoreCase (typed))
        {
            if (found.has_value())
                return {}; // ambiguous
            found = i;
        }
    }

    return found;
}
} // namespace

std::optional<float> HostParameters::getValueForText (int index, const juce::String& text)
{
    const auto clamped = [] (double v)
    { return std::optional<float> ((float) juce::jlimit (0.0, 1.0, v)); };
    const auto number = firstNumber (text);

    switch (index)
    {
        case onBypass:
            if (text.trim().equalsIgnoreCase ("on"))
                return 1.0f;
            if (text.trim().equalsIgnoreCase ("off"))
                return 0.0f;
            if (number.has_value())
                return *number >= 0.5 ? 1.0f : 0.0f;
            return {};

        case inputVol:
        case overdrive:
        case tone:
        case level:
            if (number.has_value())
                return clamped (*number / 10.0);
            return {};

        case dryWet:
        {
            // The wet share, named or alone, else the dry share named: "25.00% Dry / 75.00% Wet",
            // "75% wet", "75", "25% dry".
            const auto wetAt = text.indexOfIgnoreCase ("wet");
            const auto dryAt = text.indexOfIgnoreCase ("dry");
            const auto shareBefore = [&text] (int at)
            { return firstNumber (text.substring (0, at).fromLastOccurrenceOf ("/", false, false)); };

            if (wetAt >= 0)
            {
                if (const auto wet = shareBefore (wetAt))
                    return clamped (*wet / 100.0);

                return {};
            }

            if (dryAt >= 0)
            {
                if (const auto dry = shareBefore (dryAt))
                    return clamped (1.0 - *dry / 100.0);

                return {};
            }

            if (number.has_value())
                return clamped (*number / 100.0);

            return {};
        }

        case overdriveType:
            if (const auto model = nameIndex (text, numModels, getModelName))
                return getModelValue (*model);
            return {};

        case oversampling:
            if (const auto factor = nameIndex (text, numOversamplingFactors, getOversamplingName))
                return getOversamplingValue (*factor);
            if (number.has_value())
                for (int i = 0; i < numOversamplingFactors; ++i)
                    if (*number == (double) (1 << i))
                        return getOversamplingValue (i);
            return {};

        default:
            return {};
    }
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
