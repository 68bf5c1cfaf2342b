#pragma once

#include "dsp/FxSZBase3.h"
#include "models/Knobs.h"
#include "models/PotTaper.h"
#include "models/PrototypeStage.h"

// The tone network around the 25 kOhm Tone pot together with the 1 MOhm volume pot. Level
// scales the whole numerator: at 0 the stage is silent. Tone (not Level) and the coefficients
// return to their initial state: the next set is taken at once.
class CJToneVolumeStage final : public PrototypeStage<CJToneVolumeStage, FxSZBase3, ModelParameters::tone>,
                                public Knobs<ModelParameters::tone, ModelParameters::level>
{
public:
    // The Tone pot's share for a knob position: the mirror image of the base-81 audio taper,
    // in single precision (0 at Tone 0, 0.9 at Tone 0.5, 1 at Tone 1).
    static float taperTone (float knob) noexcept { return PotTaper::reverseAudio (81.0f, knob); }

    // The prototype for the current settings, ascending powers of s.
    Prototype getPrototype() const noexcept;
};
