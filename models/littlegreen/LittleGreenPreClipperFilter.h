#pragma once

#include "dsp/SZBase3x.h"
#include "models/Knobs.h"
#include "models/PrototypeStage.h"

// The op-amp's gain network ahead of the clipping, shaped by both knobs: the 500 kOhm Drive
// pot (in series with 5.6 kOhm) in the feedback and one side of the 20 kOhm Tone pot in the
// input leg.
class LittleGreenPreClipperFilter final : public PrototypeStage<LittleGreenPreClipperFilter, SZBase3x>,
                                          public Knobs<ModelParameters::drive, ModelParameters::tone>
{
public:
    // Only Drive returns to its initial value; Tone and the coefficients stay.
    void initParameters() override { drive = 0.0f; }

    // R in ohms: the Drive pot's base-5.445 taper, the division in single precision.
    double getDriveResistance() const noexcept;

    // X = (1 - T) * 20 kOhm * 1 uF, with T the tapered Tone position.
    double getToneTerm() const noexcept;

    // The prototype for the current settings, ascending powers of s.
    Prototype getPrototype() const noexcept;
};
