#pragma once

#include <juce_core/juce_core.h>

#include <optional>

// How the renderer reads the values on its command line, and the lists its messages name.
struct ArgumentValues
{
    // Digits only, from minimum to maximum.
    static std::optional<int> wholeNumber (const juce::String& text, int minimum, int maximum);

    // A plain decimal number ("0.5", ".5", "1", "5e-1"); the framework's parser alone would
    // read "0.5x" as 0.5 and "nan" as a number.
    static std::optional<double> decimal (const juce::String& text);

    // A host parameter's index by its identifier ("inputVol").
    static std::optional<int> parameter (const juce::String& identifier);

    static juce::String parameterNames();
    static juce::String factoryPresetNames();
    static juce::String quoted (const juce::String& text);
};
