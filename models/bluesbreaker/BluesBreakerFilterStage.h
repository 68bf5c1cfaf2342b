#pragma once

#include "dsp/FxSZBase3.h"
#include "models/Knobs.h"
#include "models/PotTaper.h"
#include "models/PrototypeStage.h"

// The tone network (25 kOhm reverse-log tone pot) and the 100 kOhm level pot, with the
// network's loss of 0.3 applied after rounding to float.
class BluesBreakerFilterStage final : public PrototypeStage<BluesBreakerFilterStage, FxSZBase3>,
                                      public Knobs<ModelParameters::tone, ModelParameters::level>
{
public:
    BluesBreakerFilterStage() { setOutputGain (OutputGain::roundThenScale, 0.3f); }

    // The tone pot's wiper position for a Tone value: 0 at Tone 0, 1 at Tone 1, reverse
    // logarithmic in between.
    static float taper (float toneValue) noexcept { return PotTaper::reverseAudio (9.0f, toneValue); }

    // The prototype for the current settings, ascending powers of s.
    Prototype getPrototype() const noexcept;
};
