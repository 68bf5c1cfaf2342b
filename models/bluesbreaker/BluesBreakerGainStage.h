#pragma once

#include "dsp/FxSZBase4.h"
#include "models/Knobs.h"
#include "models/PrototypeStage.h"

// The gain stage ahead of the clipper, with the 500 kOhm Drive pot as a linear resistance.
class BluesBreakerGainStage final : public PrototypeStage<BluesBreakerGainStage, FxSZBase4>,
                                    public Knobs<ModelParameters::drive>
{
public:
    // Drive as the pot's resistance in ohms (no taper).
    double getDriveResistance() const noexcept { return 500000.0 * (double) drive; }

    // The prototype for the current drive, ascending powers of s.
    Prototype getPrototype() const noexcept;
};
