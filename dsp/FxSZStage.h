#pragma once

#include "dsp/FxSZBase.h"
#include "dsp/SZFilter.h"
#include "dsp/SampleFrame.h"

// The block s-to-z stage of a given order. A new coefficient set starts its glide at the next
// block and lands exactly on the targets after the glide length.
template <int order>
class FxSZStage : public FxSZBase
{
public:
    using Filter = SZFilter<order, true>;

    FxSZStage()
    {
        filter.setSampleRate (sampleRate);
        FxSZStage::clearState();
        FxSZStage::initParameters();
    }

    void setSampleRate (float rate) override
    {
        FxSZBase::setSampleRate (rate);
        filter.setSampleRate (rate);
    }

    void clearState() override { filter.clearState(); }
    void initParameters() override { filter.initParameters(); }

    void setAnalogCoefficients (const double* denominator, const double* numerator) override
    {
        filter.setAnalogCoefficients (denominator, numerator, sampleRate);
    }

    // A prototype of the stage's own order.
    using Prototype = AnalogPrototype<order>;

    void setAnalogCoefficients (const Prototype& prototype)
    {
        setAnalogCoefficients (prototype.denominator.data(), prototype.numerator.data());
    }

    void processStereo (float* left, float* right, int numSamples) override { process (BlockChannels<2> { { left, right } }, numSamples); }
    void processMono (float* samples, int numSamples) override { process (BlockChannels<1> { { samples } }, numSamples); }

    int getGlideLength() const noexcept { return filter.glideLength; }
    const Filter& getFilter() const noexcept { return filter; }

private:
    template <OutputGain mode>
    float toOutput (double y) const noexcept
    {
        if constexpr (mode == OutputGain::roundThenScale)
            return (float) y * outputGainSingle;
        else if constexpr (mode == OutputGain::scaleThenRound)
            return (float) (y * outputGainDouble);
        else
            return (float) y;
    }

    template <int numChannels>
    void process (BlockChannels<numChannels> block, int numSamples) noexcept
    {
        filter.beginBlock();

        switch (outputGainMode)
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
        SZHistory<order>* histories[] = { &filter.left, &filter.right };

        for (int i = 0; i < numSamples; ++i)
        {
            filter.advanceGlide();

            for (int c = 0; c < numChannels; ++c)
            {
                auto& x = block.buffers[(size_t) c][i];
                x = toOutput<mode> (filter.processSample ((double) x, *histories[c]));
            }
        }
    }

    Filter filter;
};
