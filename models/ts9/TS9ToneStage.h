#pragma once

#include "dsp/FxSZBase3.h"
#include "models/ModelParameters.h"
#include "models/PrototypeStage.h"
#include "models/ToneTaper.h"

// The passive tone network (10 kOhm tone pot) and the 100 kOhm level pot, with the output
// buffer's gain of 1.2 applied after rounding to float.
class TS9ToneStage final : public PrototypeStage<TS9ToneStage, FxSZBase3>
{
public:
    TS9ToneStage() { setOutputGain (OutputGain::roundThenScale, 1.2f); }

    float tone = 0.0f; // the tapered Tone position
    float level = 0.0f; // Level, 0 to 1

    // The circuit hands over Tone (tapered here) and Level.
    static constexpr bool followsKnob (int knob) noexcept { return knob == ModelParameters::tone || knob == ModelParameters::level; }

    void setKnob (int knob, float value) noexcept
    {
        if (knob == ModelParameters::tone)
            tone = ToneTaper::at (value);
        else
            level = value;
    }

    // Only the settings return to their initial values; the coefficients stay.
    void initParameters() override
    {
        tone = 0.0f;
        level = 0.0f;
    }

    // The prototype for the current settings, ascending powers of s.
    Prototype getPrototype() const noexcept;
};
