// Cost of one table lookup: the two-dimensional clipper in stereo (one call per frame, two
// lookups) and mono, and the one-dimensional curve.

#include "models/bluesbreaker/BluesBreakerTableReader.h"
#include "models/ts9/TS9TableReader.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace
{
// A drive-like signal that sweeps the whole grid, including the clamped edges.
std::vector<double> makeInput()
{
    std::vector<double> input (4096);

    for (size_t n = 0; n < input.size(); ++n)
        input[n] = 4.6 * std::sin (0.013 * static_cast<double> (n)) * std::sin (0.0007 * static_cast<double> (n));

    return input;
}

template <typename Reader>
void prepare (Reader& reader, const char* prefix, int index)
{
    reader.setSampleRate (44100.0f);
    reader.loadTables (prefix, false);
    reader.setOversamplingIndex (index);
    reader.update();
    reader.swapTables();
}
} // namespace

static void DiodeTable2DStereo (benchmark::State& state)
{
    TS9TableReader reader;
    prepare (reader, "PDRD1", 3);
    const auto input = makeInput();

    for (auto _ : state)
    {
        for (double x : input)
        {
            double left = x, right = -0.5 * x;
            reader.processStereoSample (left, right);
            benchmark::DoNotOptimize (left);
            benchmark::DoNotOptimize (right);
        }
    }

    state.SetItemsProcessed (state.iterations() * static_cast<int64_t> (2 * input.size()));
}

static void DiodeTable2DMono (benchmark::State& state)
{
    TS9TableReader reader;
    prepare (reader, "PDRD1", 3);
    const auto input = makeInput();

    for (auto _ : state)
    {
        for (double x : input)
        {
            reader.processMonoSample (x);
            benchmark::DoNotOptimize (x);
        }
    }

    state.SetItemsProcessed (state.iterations() * static_cast<int64_t> (input.size()));
}

static void DiodeTable1DMono (benchmark::State& state)
{
    BluesBreakerTableReader reader;
    prepare (reader, "BDRD1", 0);
    const auto input = makeInput();

    for (auto _ : state)
    {
        for (double x : input)
        {
            reader.processMonoSample (x);
            benchmark::DoNotOptimize (x);
        }
    }

    state.SetItemsProcessed (state.iterations() * static_cast<int64_t> (input.size()));
}

BENCHMARK (DiodeTable2DStereo);
BENCHMARK (DiodeTable2DMono);
BENCHMARK (DiodeTable1DMono);
