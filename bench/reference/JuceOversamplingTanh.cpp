// The generic reference: a tanh clipper run through JUCE's dsp::Oversampling (equiripple FIR
// half-band filters, maximum quality), at a factor of 1, 2, 4 or 8, on the same strummed
// guitar as vardeko-sidebench. Prints one JSON line in the same shape.
//
//   vardeko-juce-reference --factor F (0..3) --channels 1|2 [--block 256] [--seconds 60]

#include "StrummedGuitar.h"

#include <juce_dsp/juce_dsp.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

namespace
{
double threadCpuSeconds()
{
    timespec t {};
    clock_gettime (CLOCK_THREAD_CPUTIME_ID, &t);
    return (double) t.tv_sec + 1e-9 * (double) t.tv_nsec;
}

__attribute__ ((noinline)) void timedReferenceRun (juce::dsp::Oversampling<float>* oversampling, float* const* channels, int numChannels, size_t begin, size_t end, int block)
{
    for (size_t start = begin; start + (size_t) block <= end; start += (size_t) block)
    {
        float* pointers[2];

        for (int c = 0; c < numChannels; ++c)
            pointers[c] = channels[c] + start;

        juce::dsp::AudioBlock<float> hostBlock (pointers, (size_t) numChannels, (size_t) block);
        auto up = oversampling != nullptr ? oversampling->processSamplesUp (hostBlock) : hostBlock;

        for (size_t c = 0; c < up.getNumChannels(); ++c)
        {
            auto* x = up.getChannelPointer (c);

            for (size_t i = 0; i < up.getNumSamples(); ++i)
                x[i] = std::tanh (4.0f * x[i]);
        }

        if (oversampling != nullptr)
            oversampling->processSamplesDown (hostBlock);
    }
}
} // namespace

int main (int argc, char** argv)
{
    int factorIndex = 3, channels = 2, block = 256;
    double seconds = 60.0, preroll = 2.0, rate = 48000.0;

    for (int i = 1; i + 1 < argc; i += 2)
    {
        const std::string a = argv[i];
        const char* v = argv[i + 1];

        if (a == "--factor")
            factorIndex = std::atoi (v);
        else if (a == "--channels")
            channels = std::atoi (v);
        else if (a == "--block")
            block = std::atoi (v);
        else if (a == "--seconds")
            seconds = std::atof (v);
        else if (a == "--preroll")
            preroll = std::atof (v);
        else if (a == "--rate")
            rate = std::atof (v);
        else
        {
            std::fprintf (stderr, "vardeko-juce-reference: unknown option %s\n", a.c_str());
            return 2;
        }
    }

    juce::ScopedNoDenormals noDenormals;
    auto signal = StrummedGuitar::make (rate, seconds + preroll);
    const auto length = signal.left.size();
    float* data[] = { signal.left.data(), signal.right.data() };

    std::unique_ptr<juce::dsp::Oversampling<float>> oversampling;

    if (factorIndex > 0)
    {
        oversampling = std::make_unique<juce::dsp::Oversampling<float>> ((size_t) channels, (size_t) factorIndex, juce::dsp::Oversampling<float>::filterHalfBandFIREquiripple, true, false);
        oversampling->initProcessing ((size_t) block);
    }

    const auto prerollSamples = (size_t) (preroll * rate) / (size_t) block * (size_t) block;
    timedReferenceRun (oversampling.get(), data, channels, 0, prerollSamples, block);

    const auto cpu0 = threadCpuSeconds();
    timedReferenceRun (oversampling.get(), data, channels, prerollSamples, length, block);
    const auto cpu = threadCpuSeconds() - cpu0;
    const auto audioSeconds = (double) ((length - prerollSamples) / (size_t) block * (size_t) block) / rate;

    std::printf ("{\"what\": \"juce-reference\", \"block\": %d, \"channels\": %d, \"audio_seconds\": %.3f, \"cpu_seconds\": %.6f, \"realtime\": %.3f}\n",
                 block,
                 channels,
                 audioSeconds,
                 cpu,
                 audioSeconds / cpu);
    return 0;
}
