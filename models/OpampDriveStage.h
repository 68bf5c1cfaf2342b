#pragma once

#include "dsp/OversampledDiodeStage.h"
#include "models/ModelParameters.h"

// The oversampled op-amp clipping stage of "Pro", "Boutique" and "Mad Overdrive": the op-amp's
// gain network ahead of the clipping (the pre-clipper, shaped by the knobs), the op-amp's rails
// and the diodes in its feedback path. Its result is added to its input.
//
// The pre-clipper says which knobs it follows (followsKnob) and how it takes them (setKnob).
// Their values are also kept here: the pre-clipper's initParameters forgets them, and they are
// handed back to it when the factor changes.
template <typename PreClipper, typename TableReader>
class OpampDriveStage : public OversampledDiodeStage<OpampDriveStage<PreClipper, TableReader>, TableReader>
{
public:
    static constexpr auto output = OversampledOutput::addToInput;

    void applyFactor() override
    {
        for (auto knob : { ModelParameters::drive, ModelParameters::tone })
            if (followsKnob (knob))
                preClipper.setKnob (knob, knobCopy (knob));

        OversampledDiodeStage<OpampDriveStage, TableReader>::applyFactor();
    }

    static constexpr bool followsKnob (int knob) noexcept { return PreClipper::followsKnob (knob); }

    void setKnob (int knob, float value) noexcept
    {
        preClipper.setKnob (knob, value);
        knobCopy (knob) = value;
    }

    // New coefficients for the knobs; the tables stay.
    void updateKnobs() { preClipper.update(); }

    void setDrive (float drive) noexcept { setKnob (ModelParameters::drive, drive); }

    auto filters() noexcept { return std::tie (preClipper); }

    template <typename Frame>
    void clip (Frame& frame) noexcept
    {
        processFrame (preClipper, frame);
        processFrame (this->limiter, frame);
        processFrame (this->tableReader, frame);
    }

    PreClipper preClipper;
    float driveCopy = 0.0f;
    float toneCopy = 0.0f;

private:
    float& knobCopy (int knob) noexcept { return knob == ModelParameters::tone ? toneCopy : driveCopy; }
};
