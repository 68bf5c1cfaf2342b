#pragma once

#include "dsp/FxModuleBase.h"
#include "dsp/OpampLimiter.h"
#include "dsp/OversamplingBase2.h"
#include "models/BluesBreakerTableReader.h"

// The diode clipper to ground, oversampled: the gained signal is clipped by the op-amp's rails
// and the diodes, mixed back with some of the clean signal and limited again. Its result
// replaces its input.
class BluesBreakerDiodeStage final : public FxModuleBase,
                                     public OversamplingBase2
{
public:
    BluesBreakerDiodeStage();

    void setSampleRate (float rate) override;
    void reset() override;
    void clearState() override;
    void initParameters() override;
    void update() override;
    void applyFactor() override;

    void processStereo (float* left, float* right, int numSamples) override;
    void processMono (float* samples, int numSamples) override;

    // The clipper's gain ahead of the diodes, and the share of the clean signal mixed back
    // (the single-precision value of 0.68).
    static constexpr double clipperGain = 22.0;
    static constexpr double cleanMix = (double) 0.68f;

    BluesBreakerTableReader tableReader;
    OpampLimiter limiter;
};
