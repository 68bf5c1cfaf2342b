// Cost of a complete drive stage (pre-clipper, limiter and diode table inside the oversampled
// loop) per host sample, stereo, at each factor.

#include "models/ts9/TS9DriveStageOS.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace
{
void ts9DriveStage (benchmark::State& state)
{
    const auto index = (int) state.range (0);
    constexpr int block = 512;

    TS9DriveStageOS stage;
    stage.setSampleRate (48000.0f);
    stage.setDrive (0.8f);
    stage.setFactorIndex (index);
    stage.initParameters();
    stage.applyFactor();

    // A 187.5 Hz tone: a whole number of cycles per block, generated once.
    std::vector<float> sourceLeft (block), sourceRight (block), left (block), right (block);

    for (int i = 0; i < block; ++i)
    {
        sourceLeft[(size_t) i] = 0.4f * (float) std::sin (2.0 * 3.141592653589793 * 2.0 * i / block);
        sourceRight[(size_t) i] = 0.4f * (float) std::cos (2.0 * 3.141592653589793 * 2.0 * i / block);
    }

    for (auto _ : state)
    {
        left = sourceLeft;
        right = sourceRight;
        stage.processStereo (left.data(), right.data(), block);
        benchmark::DoNotOptimize (left.data());
    }

    state.counters["ns_per_sample"] = benchmark::Counter ((double) block, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.SetLabel (std::to_string (1 << index) + "x");
}
} // namespace

BENCHMARK (ts9DriveStage)->DenseRange (0, 3)->Unit (benchmark::kMicrosecond);
