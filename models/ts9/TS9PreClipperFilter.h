#pragma once

#include "dsp/SZBase2x.h"
#include "models/Knobs.h"
#include "models/PrototypeStage.h"

// The op-amp's gain network ahead of the clipping: 1 + s R Cg / ((1 + s R Cf)(1 + s Rg Cg)),
// with R the 500 kOhm audio-taper Drive pot in series with 51 kOhm.
class TS9PreClipperFilter final : public PrototypeStage<TS9PreClipperFilter, SZBase2x>,
                                  public Knobs<ModelParameters::drive>
{
public:
    // The prototype for the current setting, ascending powers of s.
    Prototype getPrototype() const noexcept;

    // Only the setting returns to its initial value; the coefficients stay.
    void initParameters() override { drive = 0.0f; }

    // R in ohms for the current drive, in single precision as the circuit's taper computes it.
    float getDriveResistance() const noexcept;
};
