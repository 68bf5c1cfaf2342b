#pragma once

#include "dsp/FxSZBase2.h"
#include "models/Knobs.h"

// The two-pole tone network around the 20 kOhm Tone pot; unity gain at DC.
class LittleGreenToneStage final : public FxSZBase2,
                                   public Knobs<ModelParameters::tone>
{
public:
    void update() override { setAnalogCoefficients (getPrototype()); }

    // Tone and the coefficients both return to their initial state: the next set is taken
    // at once.
    void initParameters() override
    {
        tone = 0.0f;
        FxSZBase2::initParameters();
    }

    // The prototype for the current settings, ascending powers of s.
    Prototype getPrototype() const noexcept;
};
