// Cost of the whole processor per circuit and oversampling factor, stereo 48 kHz, 512-sample
// blocks. "realtime" is seconds of audio processed per second of CPU time.

#include "processor/VardekoQX2710AudioProcessor.h"

#include <benchmark/benchmark.h>

namespace
{
void processorRealtime (benchmark::State& state)
{
    const auto circuit = (int) state.range (0);
    const auto factorIndex = (int) state.range (1);
    constexpr double rate = 48000.0;
    constexpr int block = 512;

    VardekoQX2710AudioProcessor processor;
    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
    processor.setParameter (HostParameters::overdriveType, HostParameters::getModelValue (circuit));
    processor.setParameter (HostParameters::oversampling, HostParameters::getOversamplingValue (factorIndex));
    processor.setParameter (HostParameters::overdrive, 0.8f);
    JUCE_END_IGNORE_WARNINGS_GCC_LIKE
    processor.prepareToPlay (rate, block);

    juce::AudioBuffer<float> buffer (2, block);
    juce::MidiBuffer midi;
    juce::Random random (7);
    double phase = 0.0;

    for (auto _ : state)
    {
        state.PauseTiming();
        for (int i = 0; i < block; ++i, phase += 2.0 * juce::MathConstants<double>::pi * 196.0 / rate)
        {
            const auto x = 0.3f * (float) std::sin (phase) + 0.01f * random.nextFloat();
            buffer.setSample (0, i, x);
            buffer.setSample (1, i, x);
        }
        state.ResumeTiming();

        processor.processBlock (buffer, midi);
        benchmark::DoNotOptimize (buffer.getReadPointer (0));
    }

    state.counters["realtime"] = benchmark::Counter ((double) block / rate, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["ns_per_sample"] = benchmark::Counter ((double) block, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.SetLabel (HostParameters::getModelName (circuit).toStdString() + ", " + std::to_string (1 << factorIndex) + "x");
}
} // namespace

BENCHMARK (processorRealtime)->ArgsProduct ({ { 0, 1, 2, 3, 4 }, { 0, 1, 2, 3 } })->Unit (benchmark::kMicrosecond);
