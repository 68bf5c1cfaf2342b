#pragma once

#include "dsp/FxModuleBase.h"
#include "dsp/OpampLimiter.h"
#include "dsp/OversamplingBase2.h"
#include "models/OCDTableReader.h"

// The diode clipper after the op-amp, oversampled: the op-amp's rails, then the diodes. Its
// result replaces its input.
class OCDDiodeStageOS final : public FxModuleBase,
                              public OversamplingBase2
{
public:
    OCDDiodeStageOS();

    void setSampleRate (float rate) override;
    void reset() override;
    void clearState() override;
    void initParameters() override;
    void update() override;
    void applyFactor() override;

    void processStereo (float* left, float* right, int numSamples) override;
    void processMono (float* samples, int numSamples) override;

    OCDTableReader tableReader;
    OpampLimiter limiter;
};
