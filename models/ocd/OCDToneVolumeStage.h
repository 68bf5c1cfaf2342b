#pragma once

#include "dsp/FxSZBase4.h"
#include "models/ModelParameters.h"

// The tone network (25 kOhm pot) and the 100 kOhm volume pot, both with a base-81 audio
// taper, followed by the output's loss of 0.238 applied before rounding to float.
class OCDToneVolumeStage final : public FxSZBase4
{
public:
    OCDToneVolumeStage() { setOutputGain (OutputGain::scaleThenRound, 0.238f); }

    float tone = 0.0f; // Tone, 0 to 1, untapered
    float level = 0.0f; // Level, 0 to 1, untapered

    // The circuit hands over Tone and Level.
    static constexpr bool followsKnob (int knob) noexcept { return knob == ModelParameters::tone || knob == ModelParameters::level; }
    void setKnob (int knob, float value) noexcept { (knob == ModelParameters::tone ? tone : level) = value; }

    void update() override { setAnalogCoefficients (getPrototype()); }

    // Tone returns to 0 (Level keeps its value) and the coefficients to their initial values.
    void initParameters() override
    {
        tone = 0.0f;
        FxSZBase4::initParameters();
    }

    // The pots' resistances in ohms: the taper in single precision, the scaling in double.
    double getToneResistance() const noexcept;
    double getVolumeResistance() const noexcept;

    // The prototype for the current settings, ascending powers of s.
    Prototype getPrototype() const noexcept;
};
