#pragma once

#include "dsp/SZBase2x.h"
#include "models/ModelParameters.h"
#include "models/PotTaper.h"
#include "models/PrototypeStage.h"

// The op-amp's gain network ahead of the clipping: 1 + s R Cg / ((1 + s R Cf)(1 + s Rg Cg)),
// with R the 1 MOhm audio-taper Drive pot in series with 10 kOhm.
class CJPreClipperFilter final : public PrototypeStage<CJPreClipperFilter, SZBase2x>
{
public:
    // The Drive pot's share of its track for a knob position (the base-81 audio taper, in
    // single precision): 0 at Drive 0, 0.1 at Drive 0.5, 1 at Drive 1.
    static float taperDrive (float knob) noexcept { return PotTaper::audio (81.0f, knob); }

    // The tapered Drive, 0 to 1 (not the knob position).
    float drive = 0.0f;

    // The drive stage hands over the Drive knob, tapered here.
    static constexpr bool followsKnob (int knob) noexcept { return knob == ModelParameters::drive; }
    void setKnob (int, float value) noexcept { drive = taperDrive (value); }

    // The prototype for the current setting, ascending powers of s.
    Prototype getPrototype() const noexcept;

    // Only the setting returns to its initial value; the coefficients stay.
    void initParameters() override { drive = 0.0f; }

    // R in ohms for the current setting, in single precision.
    float getDriveResistance() const noexcept;
};
