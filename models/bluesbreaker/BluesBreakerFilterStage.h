#pragma once

#include "dsp/FxSZBase3.h"
#include "models/ModelParameters.h"

// The tone network (25 kOhm reverse-log tone pot) and the 100 kOhm level pot, with the
// network's loss of 0.3 applied after rounding to float.
class BluesBreakerFilterStage final : public FxSZBase3
{
public:
    BluesBreakerFilterStage() { setOutputGain (OutputGain::roundThenScale, 0.3f); }

    float tone = 0.0f; // Tone, 0 to 1, untapered
    float level = 0.0f; // Level, 0 to 1

    // The circuit hands over Tone and Level.
    static constexpr bool followsKnob (int knob) noexcept { return knob == ModelParameters::tone || knob == ModelParameters::level; }
    void setKnob (int knob, float value) noexcept { (knob == ModelParameters::tone ? tone : level) = value; }

    void update() override { setAnalogCoefficients (getPrototype()); }

    // The tone pot's wiper position for a Tone value: 0 at Tone 0, 1 at Tone 1, reverse
    // logarithmic in between.
    static float taper (float toneValue) noexcept;

    // The prototype for the current settings, ascending powers of s.
    Prototype getPrototype() const noexcept;
};
