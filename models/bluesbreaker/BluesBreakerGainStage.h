#pragma once

#include "dsp/FxSZBase4.h"
#include "models/ModelParameters.h"

// The gain stage ahead of the clipper, with the 500 kOhm Drive pot as a linear resistance.
class BluesBreakerGainStage final : public FxSZBase4
{
public:
    // Drive, 0 to 1.
    float drive = 0.0f;

    // The circuit hands over Drive.
    static constexpr bool followsKnob (int knob) noexcept { return knob == ModelParameters::drive; }
    void setKnob (int, float value) noexcept { drive = value; }

    void update() override { setAnalogCoefficients (getPrototype()); }

    // Drive as the pot's resistance in ohms (no taper).
    double getDriveResistance() const noexcept { return 500000.0 * (double) drive; }

    // The prototype for the current drive, ascending powers of s.
    Prototype getPrototype() const noexcept;
};
