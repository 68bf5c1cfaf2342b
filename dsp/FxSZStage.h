#pragma once

#include "dsp/FxSZBase.h"
#include "dsp/SZFilter.h"

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

    void processStereo (float* left, float* right, int numSamples) override
    {
        filter.beginBlock();

        switch (outputGainMode)
        {
            case OutputGain::none:
                runStereo<OutputGain::none> (left, right, numSamples);
                break;
            case OutputGain::roundThenScale:
                runStereo<OutputGain::roundThenScale> (left, right, numSamples);
                break;
            case OutputGain::scaleThenRound:
                runStereo<OutputGain::scaleThenRound> (left, right, numSamples);
                break;
        }
    }

    void processMono (float* samples, int numSamples) override
    {
        filter.beginBlock();

        switch (outputGainMode)
        {
            case OutputGain::none:
                runMono<OutputGain::none> (samples, numSamples);
                break;
            case OutputGain::roundThenScale:
                runMono<OutputGain::roundThenScale> (samples, numSamples);
                break;
            case OutputGain::scaleThenRound:
                runMono<OutputGain::scaleThenRound> (samples, numSamples);
                break;
        }
    }

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

    template <OutputGain mode>
    void runStereo (float* left, float* right, int numSamples) noexcept
    {
        for (int i = 0; i < numSamples; ++i)
        {
            filter.advanceGlide();
            left[i] = toOutput<mode> (filter.processSample ((double) left[i], filter.left));
            right[i] = toOutput<mode> (filter.processSample ((double) right[i], filter.right));
        }
    }

    template <OutputGain mode>
    void runMono (float* samples, int numSamples) noexcept
    {
        for (int i = 0; i < numSamples; ++i)
        {
            filter.advanceGlide();
            samples[i] = toOutput<mode> (filter.processSample ((double) samples[i], filter.left));
        }
    }

    Filter filter;
};
