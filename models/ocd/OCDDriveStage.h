#pragma once

#include "dsp/FxSZBase2.h"
#include "models/Knobs.h"
#include "models/PrototypeStage.h"

// The op-amp's non-inverting gain, 1 + s R Cg / ((1 + s R Cf)(1 + s Rg Cg)), with R the
// 500 kOhm Drive pot (base-32 taper) in series with 18 kOhm. Runs at the host rate. Drive
// returns to 0 and the coefficients to their initial values.
class OCDDriveStage final : public PrototypeStage<OCDDriveStage, FxSZBase2, ModelParameters::drive>,
                            public Knobs<ModelParameters::drive>
{
public:
    // R in ohms for the current drive: the taper in single precision, the scaling in double.
    double getDriveResistance() const noexcept;

    // The prototype for the current drive, ascending powers of s.
    Prototype getPrototype() const noexcept;
};
