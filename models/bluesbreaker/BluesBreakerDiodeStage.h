#pragma once

#include "dsp/OversampledDiodeStage.h"
#include "models/bluesbreaker/BluesBreakerTableReader.h"

// The diode clipper to ground, oversampled: the gained signal is clipped by the op-amp's rails
// and the diodes, mixed back with some of the clean signal and limited again. Its result
// replaces its input.
class BluesBreakerDiodeStage final : public OversampledDiodeStage<BluesBreakerDiodeStage, BluesBreakerTableReader>
{
public:
    static constexpr auto output = OversampledOutput::replaceInput;

    // The clipper's gain ahead of the diodes, and the share of the clean signal mixed back
    // (the single-precision value of 0.68).
    static constexpr double clipperGain = 22.0;
    static constexpr double cleanMix = (double) 0.68f;

    static auto filters() noexcept { return std::tie(); }

    template <typename Frame>
    void clip (Frame& frame) noexcept
    {
        auto clipped = frame * clipperGain;
        processFrame (limiter, clipped);
        processFrame (tableReader, clipped);
        frame = frame * cleanMix + clipped;
        processFrame (limiter, frame);
    }
};
