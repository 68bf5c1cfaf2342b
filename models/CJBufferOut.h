#pragma once

#include "dsp/FxModuleBase.h"
#include "dsp/OnePoleHighpass.h"

// The output buffer: a 4 Hz coupling high-pass and the fixed output gain of 0.24, applied in
// double precision before rounding to float. The corner follows the sample rate and survives
// initParameters.
class CJBufferOut final : public FxModuleBase
{
public:
    static constexpr float cutoff = 4.0f;
    static constexpr double outputGain = (double) 0.24f;

    CJBufferOut();

    void setSampleRate (float rate) override;
    void clearState() override;
    void initParameters() override;
    void update() override;

    void processStereo (float* left, float* right, int numSamples) override;
    void processMono (float* samples, int numSamples) override;

    OnePoleHighpass highpass;

private:
    void clearWhenDecayed (bool silentInput, double outputPeak) noexcept;
};
