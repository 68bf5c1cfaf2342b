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
    void clearState() override { highpass.clearState(); }
    void initParameters() override;
    void update() override { highpass.update(); }

    void processStereo (float* left, float* right, int numSamples) override { process (BlockChannels<2> { { left, right } }, numSamples); }
    void processMono (float* samples, int numSamples) override { process (BlockChannels<1> { { samples } }, numSamples); }

    OnePoleHighpass highpass;

private:
    template <int numChannels>
    void process (BlockChannels<numChannels> block, int numSamples) noexcept
    {
        for (int i = 0; i < numSamples; ++i)
        {
            auto frame = block.read (i);
            OnePoleHighpass::processInSeries (frame, highpass);
            block.write (i, frame *= outputGain);
        }
    }
};
