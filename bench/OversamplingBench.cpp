#include "dsp/FxModuleBase.h"
#include "dsp/OpampLimiter.h"
#include "dsp/OversamplingAlignment.h"
#include "dsp/OversamplingBase2.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
constexpr int blockSize = 512;

// A drive stage whose inner chain is the op-amp limiter alone.
class LimiterDriveStage final : public FxModuleBase,
                                public OversamplingBase2
{
public:
    void reset() override
    {
        clearState();
        initParameters();
    }

    void clearState() override { OversamplingBase2::clearState(); }
    void initParameters() override { OversamplingBase2::initParameters(); }

    void setSampleRate (float rate) override
    {
        FxModuleBase::setSampleRate (rate);
        setBaseRate (rate);
    }

    void processStereo (float* left, float* right, int numSamples) override
    {
        processOversampled<OversampledOutput::addToInput> (BlockChannels<2> { { left, right } }, numSamples, [this] (auto& frame)
                                                           { processFrame (limiter, frame); });
    }

    void processMono (float* samples, int numSamples) override
    {
        processOversampled<OversampledOutput::addToInput> (BlockChannels<1> { { samples } }, numSamples, [this] (auto& frame)
                                                           { processFrame (limiter, frame); });
    }

private:
    OpampLimiter limiter;
};

// Hot levels that reach the limiter's knee and ceiling on their peaks.
struct Source
{
    std::vector<float> left, right;

    Source()
        : left (blockSize)
        , right (blockSize)
    {
        for (size_t i = 0; i < left.size(); ++i)
        {
            left[i] = (float) (6.0 * std::sin (0.1425 * (double) i));
            right[i] = (float) (5.0 * std::sin (0.0931 * (double) i));
        }
    }
};

void fill (std::vector<float>& left, std::vector<float>& right)
{
    static const Source source;
    std::copy (source.left.begin(), source.left.end(), left.begin());
    std::copy (source.right.begin(), source.right.end(), right.begin());
}

void reportPerSample (benchmark::State& state)
{
    const auto samples = (double) state.iterations() * blockSize;
    state.SetItemsProcessed ((int64_t) samples);
    state.counters["per_sample"] = benchmark::Counter (samples, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["factor"] = (double) (1 << state.range (0));
}

void alignmentStereo (benchmark::State& state)
{
    OversamplingAlignment alignment;
    alignment.setSampleRate (44100.0f);
    alignment.clearState();
    alignment.setRequestedIndex ((int) state.range (0));
    alignment.update();

    std::vector<float> left (blockSize), right (blockSize);

    for (auto _ : state)
    {
        fill (left, right);
        alignment.processStereo (left.data(), right.data(), blockSize);
        benchmark::DoNotOptimize (left.data());
        benchmark::DoNotOptimize (right.data());
    }

    reportPerSample (state);
}

void oversampledLimiterStereo (benchmark::State& state)
{
    LimiterDriveStage stage;
    stage.setSampleRate (44100.0f);
    stage.setFactorIndex ((int) state.range (0));
    stage.updateRate();
    stage.applyFactor();

    std::vector<float> left (blockSize), right (blockSize);

    for (auto _ : state)
    {
        fill (left, right);
        stage.processStereo (left.data(), right.data(), blockSize);
        benchmark::DoNotOptimize (left.data());
        benchmark::DoNotOptimize (right.data());
    }

    reportPerSample (state);
}

// The cost of refilling the buffers, included in the figures above.
void refillOnly (benchmark::State& state)
{
    std::vector<float> left (blockSize), right (blockSize);

    for (auto _ : state)
    {
        fill (left, right);
        benchmark::DoNotOptimize (left.data());
        benchmark::DoNotOptimize (right.data());
    }

    reportPerSample (state);
}
} // namespace

BENCHMARK (alignmentStereo)->DenseRange (1, 3);
BENCHMARK (oversampledLimiterStereo)->DenseRange (0, 3);
BENCHMARK (refillOnly)->Arg (0);
