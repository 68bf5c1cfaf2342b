#pragma once

#include "dsp/FxSZBase4.h"
#include "models/Knobs.h"
#include "models/PrototypeStage.h"

// The tone network (25 kOhm pot) and the 100 kOhm volume pot, both with a base-81 audio
// taper, followed by the output's loss of 0.238 applied before rounding to float. Tone returns
// to 0 (Level keeps its value) and the coefficients to their initial values.
class OCDToneVolumeStage final : public PrototypeStage<OCDToneVolumeStage, FxSZBase4, ModelParameters::tone>,
                                 public Knobs<ModelParameters::tone, ModelParameters::level>
{
public:
    OCDToneVolumeStage() { setOutputGain (OutputGain::scaleThenRound, 0.238f); }

    // The pots' resistances in ohms: the taper in single precision, the scaling in double.
    double getToneResistance() const noexcept;
    double getVolumeResistance() const noexcept;

    // The prototype for the current settings, ascending powers of s.
    Prototype getPrototype() const noexcept;
};
