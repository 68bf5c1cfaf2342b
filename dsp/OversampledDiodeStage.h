#pragma once

#include "dsp/FxModuleBase.h"
#include "dsp/OpampLimiter.h"
#include "dsp/OversamplingBase2.h"
#include "dsp/SampleFrame.h"

#include <tuple>

// A clipping stage that runs oversampled: a diode table reader and the op-amp limiter, with the
// filters that run ahead of them at the oversampled rate. The concrete stage (Stage) gives
//   auto filters()                    its filters, std::tie (...) or std::tie ()
//   void clip (SampleFrame<n>&)       one sub-sample frame through its chain (any n)
//   static constexpr output           how the result meets the input
//
// reset, clearState and initParameters exist in both bases; these overrides serve both.
template <typename Stage, typename TableReader>
class OversampledDiodeStage : public FxModuleBase,
                              public OversamplingBase2
{
public:
    void setSampleRate (float rate) override
    {
        FxModuleBase::setSampleRate (rate);
        tableReader.setSampleRate (rate);
        tableReader.loadTables (tableReader.getEmbeddedSet(), false);

        // The filters run at the host rate until applyFactor moves them.
        forEachFilter ([rate] (auto& filter)
                       { filter.setSampleRate (rate); });
        setBaseRate (rate);
    }

    void reset() override
    {
        clearState();
        initParameters();
    }

    void clearState() override
    {
        tableReader.clearState();
        forEachFilter ([] (auto& filter)
                       { filter.clearState(); });
        OversamplingBase2::clearState();
    }

    void initParameters() override
    {
        tableReader.initParameters();
        forEachFilter ([] (auto& filter)
                       { filter.initParameters(); });
        OversamplingBase2::initParameters();
    }

    void update() override
    {
        forEachFilter ([] (auto& filter)
                       { filter.update(); });
        tableReader.update();
        tableReader.swapTables();
    }

    // Moves everything to the newly capped factor, with clean histories.
    void applyFactor() override
    {
        updateRate();
        forEachFilter ([rate = getOversampledRate()] (auto& filter)
                       { filter.setSampleRate (rate); });
        tableReader.setOversamplingIndex (getRequestedIndex());
        OversamplingBase2::applyFactor();
        clearState();
        update();
    }

    void processStereo (float* left, float* right, int numSamples) override { process (BlockChannels<2> { { left, right } }, numSamples); }
    void processMono (float* samples, int numSamples) override { process (BlockChannels<1> { { samples } }, numSamples); }

    TableReader tableReader;
    OpampLimiter limiter;

private:
    Stage& stage() noexcept { return static_cast<Stage&> (*this); }

    template <typename Function>
    void forEachFilter (Function&& function)
    {
        std::apply ([&function] (auto&... filter)
                    { (function (filter), ...); },
                    stage().filters());
    }

    template <int numChannels>
    void process (BlockChannels<numChannels> block, int numSamples) noexcept
    {
        processOversampled<Stage::output> (block, numSamples, [this] (auto& frame)
                                           { stage().clip (frame); });
    }
};
