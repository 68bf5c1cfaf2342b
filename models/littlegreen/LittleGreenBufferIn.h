#pragma once

#include "dsp/FxModuleBase.h"
#include "dsp/OnePoleHighpass.h"

// The input buffer's two coupling capacitors: one-pole high-passes at 33 Hz and 16 Hz in
// series. The corners follow the sample rate and survive initParameters.
class LittleGreenBufferIn final : public FxModuleBase
{
public:
    static constexpr float firstCutoff = 33.0f;
    static constexpr float secondCutoff = 16.0f;

    LittleGreenBufferIn();

    void setSampleRate (float rate) override;
    void clearState() override;
    void initParameters() override;
    void update() override;

    void processStereo (float* left, float* right, int numSamples) override { process (BlockChannels<2> { { left, right } }, numSamples); }
    void processMono (float* samples, int numSamples) override { process (BlockChannels<1> { { samples } }, numSamples); }

    OnePoleHighpass firstHighpass;
    OnePoleHighpass secondHighpass;

private:
    void applyCutoffs() noexcept;

    template <int numChannels>
    void process (BlockChannels<numChannels> block, int numSamples) noexcept
    {
        for (int i = 0; i < numSamples; ++i)
        {
            auto frame = block.read (i);
            OnePoleHighpass::processInSeries (frame, firstHighpass, secondHighpass);
            block.write (i, frame);
        }
    }
};
