#pragma once

#include "dsp/OversamplingFilters.h"

// The oversampling engine of the drive stages, a second base next to FxModuleBase. The owner
// stores the host rate with setBaseRate, the user's index with setFactorIndex, and switches
// with applyFactor (while its output is silent: the filter memories start from zero).
//
// Note for a drive stage: reset, clearState and initParameters exist in both bases; one
// override of each serves both, and calls OversamplingBase2::clearState() explicitly.
class OversamplingBase2
{
public:
    OversamplingBase2();
    virtual ~OversamplingBase2() = default;

    OversamplingBase2 (const OversamplingBase2&) = delete;
    OversamplingBase2& operator= (const OversamplingBase2&) = delete;

    virtual void reset();

    // Zeroes the interpolation and decimation memories.
    virtual void clearState();

    // Nothing to do: the coefficients belong to the active index.
    virtual void initParameters();

    // Stores the index (0 to 3 for factor 1 to 8); nothing else changes until applyFactor.
    virtual void setFactorIndex (int index);

    // Caps the requested index by the base rate and computes the oversampled rate.
    virtual void updateRate();

    // Loads the low-pass of the requested index, makes it active and clears the memories.
    // Drive stages override this to also move their inner stages to the oversampled rate.
    virtual void applyFactor();

    void setBaseRate (float rate) noexcept { baseRate = rate; }
    float getBaseRate() const noexcept { return baseRate; }
    float getOversampledRate() const noexcept { return oversampledRate; }
    int getRequestedIndex() const noexcept { return requestedIndex; }
    int getActiveIndex() const noexcept { return activeIndex; }
    int getActiveFactor() const noexcept { return 1 << activeIndex; }
    bool areFiltersEnabled() const noexcept { return filtersEnabled; }

protected:
    // The oversampled loop of the active index (see OversamplingFilters). The chain runs the
    // drive stage's inner stages on one sub-sample frame, in chain order, for example
    //   [this] (auto& frame) { processFrame (preClipper, frame);
    //                          processFrame (limiter, frame);
    //                          processFrame (tableReader, frame); }
    template <OversampledOutput output, int numChannels, typename Chain>
    void processOversampled (BlockChannels<numChannels> block, int numSamples, Chain&& chain) noexcept
    {
        filters.process<output> (block, numSamples, chain);
    }

private:
    int requestedIndex = 0;
    int activeIndex = 0;
    bool filtersEnabled = false;
    float baseRate = 44100.0f;
    float oversampledRate = 44100.0f;
    OversamplingFilters filters;
};
