// vardeko-analyse: aliasing, THD and real-time cost of every circuit at every oversampling
// factor, measured through the real processor.
//
//   vardeko-analyse [--circuit N] [--seconds S]
//
// A 2637 Hz sine at -6 dBFS, 48 kHz, full Drive, Tone and Level at their defaults.

#include "AliasingAnalysis.h"
#include "processor/VardekoQX2710AudioProcessor.h"

#include <chrono>
#include <cstdio>

namespace
{
JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
void set (juce::AudioProcessor& p, int index, float value) { p.setParameter (index, value); }
JUCE_END_IGNORE_WARNINGS_GCC_LIKE

struct Measurement
{
    AliasingAnalysis::Result spectrum;
    double realtimeFactor;
};

Measurement measure (int circuit, int factorIndex, double seconds)
{
    constexpr double rate = 48000.0;
    constexpr int block = 512;
    constexpr double toneHz = 2637.0;
    const auto amplitude = std::pow (10.0, -6.0 / 20.0);

    VardekoQX2710AudioProcessor processor;
    set (processor, HostParameters::overdriveType, HostParameters::getModelValue (circuit));
    set (processor, HostParameters::oversampling, HostParameters::getOversamplingValue (factorIndex));
    set (processor, HostParameters::overdrive, 1.0f);
    processor.prepareToPlay (rate, block);

    const auto total = (int) (seconds * rate);
    std::vector<float> output ((size_t) total);
    juce::AudioBuffer<float> buffer (2, block);
    juce::MidiBuffer midi;
    double elapsed = 0.0;

    for (int start = 0; start < total; start += block)
    {
        const auto n = std::min (block, total - start);
        buffer.setSize (2, n, false, false, true);

        for (int i = 0; i < n; ++i)
        {
            const auto x = (float) (amplitude * std::sin (2.0 * juce::MathConstants<double>::pi * toneHz * (start + i) / rate));
            buffer.setSample (0, i, x);
            buffer.setSample (1, i, x);
        }

        const auto t0 = std::chrono::steady_clock::now();
        processor.processBlock (buffer, midi);
        elapsed += std::chrono::duration<double> (std::chrono::steady_clock::now() - t0).count();

        std::copy (buffer.getReadPointer (0), buffer.getReadPointer (0) + n, output.begin() + start);
    }

    return { AliasingAnalysis::analyse (output, rate, toneHz), seconds / elapsed };
}
} // namespace

int main (int argc, char** argv)
{
    int onlyCircuit = -1;
    double seconds = 3.0;

    for (int i = 1; i + 1 < argc; i += 2)
    {
        const juce::String option (argv[i]);

        if (option == "--circuit")
            onlyCircuit = juce::String (argv[i + 1]).getIntValue();
        else if (option == "--seconds")
            seconds = juce::String (argv[i + 1]).getDoubleValue();
    }

    std::printf ("%-20s %6s %12s %12s %12s %10s\n", "circuit", "factor", "level dBFS", "THD dB", "aliases dB", "realtime x");

    for (int circuit = 0; circuit < 5; ++circuit)
    {
        if (onlyCircuit >= 0 && circuit != onlyCircuit)
            continue;

        for (int factorIndex = 0; factorIndex < 4; ++factorIndex)
        {
            const auto m = measure (circuit, factorIndex, seconds);
            std::printf ("%-20s %5dx %12.2f %12.2f %12.2f %10.1f\n",
                         HostParameters::getModelName (circuit).toRawUTF8(),
                         1 << factorIndex,
                         m.spectrum.fundamentalDb,
                         m.spectrum.thdDb,
                         m.spectrum.nonHarmonicDb,
                         m.realtimeFactor);
        }
    }

    return 0;
}
