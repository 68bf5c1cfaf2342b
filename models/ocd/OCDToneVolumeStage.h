#pragma once

#include "dsp/FxSZBase4.h"
#include "models/Knobs.h"

// The tone network (25 kOhm pot) and the 100 kOhm volume pot, both with a base-81 audio
// taper, followed by the output's loss of 0.238 applied before rounding to float.
class OCDToneVolumeStage final : public FxSZBase4,
                                 public Knobs<ModelParameters::tone, ModelParameters::level>
{
public:
    OCDToneVolumeStage() { setOutputGain (OutputGain::scaleThenRound, 0.238f); }

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
