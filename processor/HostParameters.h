#pragma once

#include <juce_core/juce_core.h>

#include <optional>

// The eight host parameters: identifiers, defaults, value texts and the indices derived from
// the values. Everything here is a pure function of a value, so the processor, the documents
// and the editor agree on it.
class HostParameters
{
public:
    enum Index
    {
        onBypass = 0,
        inputVol,
        overdriveType,
        overdrive,
        tone,
        level,
        dryWet,
        oversampling,
        numParameters
    };

    static constexpr int numModels = 5;
    static constexpr int numOversamplingFactors = 4;

    static bool isValidIndex (int index) noexcept { return index >= 0 && index < numParameters; }

    // The identifier, which is also the name the host shows; empty outside the table.
    static juce::String getName (int index);


    // Default of every channel of every slot; 0 outside the table.
    static float getDefaultValue (int index) noexcept;

    // The value text the host shows; empty outside the table.
    static juce::String getText (int index, float value);

    // The value a text typed by a user stands for, the inverse of getText: a step's name (or the
    // start of it, "Modern", "4x") or its number, "Off" or "On", a knob's 0 to 10, the dry/wet
    // text or a wet percentage; kept inside 0..1.
    static float getValueForText (int index, const juce::String& text);

    // How many values a stepped parameter takes ("onBypass" 2, "overdriveType" 5,
    // "oversampling" 4); 0 for a continuous one and outside the table.
    static int getNumSteps (int index) noexcept;
    static bool isStepped (int index) noexcept { return getNumSteps (index) > 0; }

    // The step (0 to steps - 1) whose band holds a stepped parameter's value, and the value of
    // a step; 0 for continuous parameters.
    static int getStepIndex (int index, float value) noexcept;
    static float getStepValue (int index, int step) noexcept;

    // The value a parameter holds when a host or a document gives it this one: the value itself,
    // kept inside 0..1. A stepped value between steps is kept as given too, so a host reads back
    // exactly what it set; everything that uses it (the circuits, the factor, the switch, the
    // value text, the editor) reads it through its step's band. Nothing for a value that is not
    // a number or an index outside the table.
    static std::optional<float> toStoredValue (int index, float value) noexcept;

    // "inputVol": 0.5 is unity gain, 1.0 a gain of 2.
    static float getInputGain (float value) noexcept { return value * 2.0f; }

    // ceil (4 v) in single precision, kept inside the five circuits.
    static int getModelIndex (float value) noexcept;

    // ceil (3 v) in single precision, kept inside the four factors.
    static int getOversamplingIndex (float value) noexcept;

    // The values that select a circuit or a factor: the inverses of the two above.
    static float getModelValue (int modelIndex) noexcept { return (float) modelIndex / 4.0f; }
    static float getOversamplingValue (int oversamplingIndex) noexcept { return (float) oversamplingIndex / 3.0f; }

    static juce::String getModelName (int modelIndex);
    static juce::String getOversamplingName (int oversamplingIndex);

    // A number with a fixed count of decimals, rounded to nearest, never affected by the C
    // or C++ locale of the host.
    static juce::String formatFixed (double value, int decimals);
};
