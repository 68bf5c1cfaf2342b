#pragma once

#include "dsp/FxModuleBase.h"
#include "dsp/LinearRamp.h"
#include "dsp/SampleFrame.h"
#include "models/ModelParameters.h"

// The output volume pot as a gain that glides to each new target over the rate's ramp
// length. A new target is picked up at the start of the next block, so Level needs no
// recomputation.
class LittleGreenVolumeStage final : public FxModuleBase
{
public:
    LittleGreenVolumeStage();

    void setSampleRate (float rate) override;

    // The gain starts from silence and glides up to the target at the next block.
    void initParameters() override;

    // The gain at its target at once, without that glide.
    void skipStartGlide() noexcept { gain.setValue (targetGain); }

    void processStereo (float* left, float* right, int numSamples) override { process (BlockChannels<2> { { left, right } }, numSamples); }
    void processMono (float* samples, int numSamples) override { process (BlockChannels<1> { { samples } }, numSamples); }

    float getCurrentGain() const noexcept { return gain.getValue(); }
    int getRampLength() const noexcept { return gain.getLength(); }

    float targetGain = 0.0f;

    // The volume pot's share of Level.
    static constexpr float levelToGain = 0.238f;

    // The circuit hands over Level, which the next block picks up without recomputation.
    static constexpr bool followsKnob (int knob) noexcept { return knob == ModelParameters::level; }
    void setKnob (int, float value) noexcept { targetGain = value * levelToGain; }

private:
    void pickUpTarget() noexcept;

    template <int numChannels>
    void process (BlockChannels<numChannels> block, int numSamples) noexcept
    {
        pickUpTarget();

        for (int i = 0; i < numSamples; ++i)
        {
            const auto g = gain.next();

            for (auto* channel : block.buffers)
                channel[i] *= g;
        }
    }

    // Before a sample rate is known the ramp has no length, and the gain holds.
    LinearRamp<float, RampEnd::keepsItsSteps> gain;
};
