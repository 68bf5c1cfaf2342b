#pragma once

#include "dsp/FxModuleBase.h"

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

    void processStereo (float* left, float* right, int numSamples) override;
    void processMono (float* samples, int numSamples) override;

    float getCurrentGain() const noexcept { return currentGain; }
    int getRampLength() const noexcept { return rampLength; }

    float targetGain = 0.0f;

private:
    void pickUpTarget() noexcept;

    int rampCount = 0;
    int rampLength = 0;
    float gainStep = 0.0f;
    float currentGain = 0.0f;
    float lastTarget = 0.0f;
};
