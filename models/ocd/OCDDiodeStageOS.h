#pragma once

#include "dsp/OversampledDiodeStage.h"
#include "models/ocd/OCDTableReader.h"

// The diode clipper after the op-amp, oversampled: the op-amp's rails, then the diodes. Its
// result replaces its input.
class OCDDiodeStageOS final : public OversampledDiodeStage<OCDDiodeStageOS, OCDTableReader>
{
public:
    static constexpr auto output = OversampledOutput::replaceInput;

    static auto filters() noexcept { return std::tie(); }

    template <typename Frame>
    void clip (Frame& frame) noexcept
    {
        processFrame (limiter, frame);
        processFrame (tableReader, frame);
    }
};
