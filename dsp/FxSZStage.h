#pragma once

#include "dsp/FxSZBase.h"
#include "dsp/SZFilterStage.h"
#include "dsp/SampleFrame.h"

// The block s-to-z stage of a given order. A new coefficient set starts its glide at the next
// block and lands exactly on the targets after the glide length.
template <int order>
class FxSZStage : public SZFilterStage<FxSZBase, order, true>
{
public:
    void processStereo (float* left, float* right, int numSamples) override { process (BlockChannels<2> { { left, right } }, numSamples); }
    void processMono (float* samples, int numSamples) override { process (BlockChannels<1> { { samples } }, numSamples); }

protected:
    using OutputGain = FxSZBase::OutputGain;

private:
    template <OutputGain mode>
    float toOutput (double y) const noexcept
    {
        if constexpr (mode == OutputGain::roundThenScale)
            return (float) y * this->outputGainSingle;
        else if constexpr (mode == OutputGain::scaleThenRound)
            return (float) (y * this->outputGainDouble);
        else
            return (float) y;
    }

    template <int numChannels>
    void process (BlockChannels<numChannels> block, int numSamples) noexcept
    {
        this->filter.beginBlock();

        switch (this->outputGainMode)
        {
            case OutputGain::none:
                run<OutputGain::none> (block, numSamples);
                break;
            case OutputGain::roundThenScale:
                run<OutputGain::roundThenScale> (block, numSamples);
                break;
            case OutputGain::scaleThenRound:
                run<OutputGain::scaleThenRound> (block, numSamples);
                break;
        }
    }

    // Mono uses the left channel's history.
    template <OutputGain mode, int numChannels>
    void run (BlockChannels<numChannels> block, int numSamples) noexcept
    {
        SZHistory<order>* histories[] = { &this->filter.left, &this->filter.right };

        for (int i = 0; i < numSamples; ++i)
        {
            this->filter.advanceGlide();

            for (int c = 0; c < numChannels; ++c)
            {
                auto& x = block.buffers[(size_t) c][i];
                x = toOutput<mode> (this->filter.processSample ((double) x, *histories[c]));
            }
        }
    }
};
