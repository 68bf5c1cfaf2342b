#pragma once

#include "dsp/FxSZBase2.h"
#include "models/Knobs.h"
#include "models/PrototypeStage.h"

// The two-pole tone network around the 20 kOhm Tone pot; unity gain at DC.
// Tone and the coefficients both return to their initial state: the next set is taken at once.
class LittleGreenToneStage final : public PrototypeStage<LittleGreenToneStage, FxSZBase2, ModelParameters::tone>,
                                   public Knobs<ModelParameters::tone>
{
public:
    // The prototype for the current settings, ascending powers of s.
    Prototype getPrototype() const noexcept;
};
