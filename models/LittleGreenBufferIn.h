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

    void processStereo (float* left, float* right, int numSamples) override;
    void processMono (float* samples, int numSamples) override;

    OnePoleHighpass firstHighpass;
    OnePoleHighpass secondHighpass;

private:
    void applyCutoffs() noexcept;
    void clearWhenDecayed (bool silentInput, double outputPeak) noexcept;
};
