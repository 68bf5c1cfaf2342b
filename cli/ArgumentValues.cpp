#include "cli/ArgumentValues.h"

#include "processor/FactoryPresets.h"
#include "processor/HostParameters.h"

std::optional<int> ArgumentValues::wholeNumber (const juce::String& text, int minimum, int maximum)
{
    if (text.isEmpty() || text.length() > 9 || ! text.containsOnly ("0123456789"))
        return std::nullopt;

    const auto value = text.getIntValue();

    if (value < minimum || value > maximum)
        return std::nullopt;

    return value;
}

std::optional<double> ArgumentValues::decimal (const juce::String& text)
{
    auto p = text.getCharPointer();
    const auto isDigit = [] (juce::juce_wchar c)
    { return c >= '0' && c <= '9'; };

    if (*p == '+' || *p == '-')
        ++p;

    int digits = 0;

    while (isDigit (*p))
    {
        ++p;
        ++digits;
    }

    if (*p == '.')
    {
        ++p;

        while (isDigit (*p))
        {
            ++p;
            ++digits;
        }
    }

    if (digits == 0)
        return std::nullopt;

    if (*p == 'e' || *p == 'E')
    {
        ++p;

        if (*p == '+' || *p == '-')
            ++p;

        if (! isDigit (*p))
            return std::nullopt;

        while (isDigit (*p))
            ++p;
    }

    if (! p.isEmpty())
        return std::nullopt;

    return text.getDoubleValue();
}

std::optional<int> ArgumentValues::parameter (const juce::String& identifier)
{
    for (int k = 0; k < HostParameters::numParameters; ++k)
        if (identifier == HostParameters::getName (k))
            return k;

    return std::nullopt;
}

juce::String ArgumentValues::parameterNames()
{
    juce::StringArray names;

    for (int k = 0; k < HostParameters::numParameters; ++k)
        names.add (HostParameters::getName (k));

    return names.joinIntoString (", ");
}

juce::String ArgumentValues::quoted (const juce::String& text)
{
    return "'" + text + "'";
}

juce::String ArgumentValues::factoryPresetNames()
{
    juce::StringArray names;

    for (const auto& preset : FactoryPresets::getPresets())
        names.add (preset.name);

    return names.joinIntoString (", ");
}
