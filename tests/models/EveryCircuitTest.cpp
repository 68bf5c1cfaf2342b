// Checks that hold for every circuit, run for all five.

#include "CircuitTestHelpers.h"
#include "ProcessorTestHelpers.h"

#include <gtest/gtest.h>

#include <cfloat>

using namespace CircuitTest;

namespace
{
bool isDenormal (float x) { return x != 0.0f && std::abs (x) < FLT_MIN; }

std::vector<float> noise (int samples, float amplitude, int seed)
{
    juce::Random random (seed);
    std::vector<float> x ((size_t) samples);
    for (auto& v : x)
        v = amplitude * (2.0f * random.nextFloat() - 1.0f);
    return x;
}

float largestStep (const float* x, int from, int to)
{
    float worst = 0.0f;
    for (int i = std::max (1, from); i < to; ++i)
        worst = std::max (worst, std::abs (x[i] - x[i - 1]));
    return worst;
}
} // namespace

TEST (EveryCircuit, SilenceInGivesNoNaNAndNoDenormals)
{
    for (int circuit = 0; circuit < 5; ++circuit)
    {
        for (float rate : { 44100.0f, 96000.0f })
        {
            for (int index = 0; index < 4; ++index)
            {
                auto c = makePrepared (circuit, rate, { 0.7f, 0.3f, 0.8f, index });

                // Some signal first, so the histories have something to decay from.
                runMono (*c, noise (4096, 0.5f, circuit));
                const auto out = runMono (*c, std::vector<float> ((size_t) rate, 0.0f));

                for (size_t i = 0; i < out.size(); ++i)
                {
                    ASSERT_TRUE (std::isfinite (out[i])) << circuitNames[circuit] << " at " << i;
                    ASSERT_FALSE (isDenormal (out[i])) << circuitNames[circuit] << " rate " << rate << " index " << index << " at " << i << ": " << out[i];
                }

                EXPECT_LT (std::abs (out.back()), 1e-4f) << circuitNames[circuit]; // the slowest input coupling takes seconds to settle
            }
        }
    }
}

TEST (EveryCircuit, NoiseInGivesBoundedAudibleOutput)
{
    for (int circuit = 0; circuit < 5; ++circuit)
    {
        for (int index = 0; index < 4; ++index)
        {
            for (float drive : { 0.0f, 1.0f })
            {
                auto c = makePrepared (circuit, 48000.0f, { drive, 1.0f, 1.0f, index });
                const auto out = runMono (*c, noise (48000, 1.0f, 7));

                float peak = 0.0f;
                for (auto v : out)
                {
                    ASSERT_TRUE (std::isfinite (v));
                    peak = std::max (peak, std::abs (v));
                }

                EXPECT_LT (peak, 8.0f) << circuitNames[circuit] << " index " << index << " drive " << drive;
                EXPECT_GT (rms (out, 24000), 1e-3) << circuitNames[circuit] << " index " << index << " drive " << drive;
            }
        }
    }
}

TEST (EveryCircuit, StereoEqualsMonoOnIdenticalChannels)
{
    for (int circuit = 0; circuit < 5; ++circuit)
    {
        for (int index : { 0, 1, 3 })
        {
            auto mono = makePrepared (circuit, 48000.0f, { 0.8f, 0.4f, 0.6f, index });
            auto stereo = makePrepared (circuit, 48000.0f, { 0.8f, 0.4f, 0.6f, index });

            auto x = noise (10000, 0.7f, 3);
            auto left = x, right = x;
            const auto out = runMono (*mono, x);

            for (size_t start = 0; start < left.size(); start += 512)
            {
                const auto n = (int) std::min<size_t> (512, left.size() - start);
                stereo->processStereo (left.data() + start, right.data() + start, n);
            }

            EXPECT_EQ (out, left) << circuitNames[circuit] << " index " << index;
            EXPECT_EQ (out, right) << circuitNames[circuit] << " index " << index;
        }
    }
}

TEST (EveryCircuit, CircuitsSoundDifferent)
{
    std::vector<std::vector<float>> outputs;

    for (int circuit = 0; circuit < 5; ++circuit)
    {
        auto c = makePrepared (circuit, 48000.0f, { 0.7f, 0.5f, 0.5f, 1 });
        outputs.push_back (runMono (*c, sine (24000, 196.0, 48000.0, 0.4f)));
    }

    for (int a = 0; a < 5; ++a)
    {
        for (int b = a + 1; b < 5; ++b)
        {
            std::vector<float> difference (outputs[(size_t) a].size());
            for (size_t i = 0; i < difference.size(); ++i)
                difference[i] = outputs[(size_t) a][i] - outputs[(size_t) b][i];

            EXPECT_GT (rms (difference, 12000), 0.1 * std::max (rms (outputs[(size_t) a], 12000), rms (outputs[(size_t) b], 12000)))
                << circuitNames[a] << " and " << circuitNames[b];
        }
    }
}

TEST (EveryCircuit, CrossfadesBetweenAnyTwoCircuitsAreSmooth)
{
    using namespace ProcessorTest;
    constexpr int block = 256;

    for (int from = 0; from < 5; ++from)
    {
        for (int to = 0; to < 5; ++to)
        {
            if (from == to)
                continue;

            VardekoQX2710AudioProcessor processor;
            setLayout (processor, 2, 2);
            setValue (processor, HostParameters::overdriveType, (float) from / 4.0f);
            setValue (processor, HostParameters::overdrive, 0.8f);
            processor.prepareToPlay (48000.0, block);

            auto input = makeSignal (2, 48000, 0.3f);
            juce::AudioBuffer<float> output (input);
            juce::MidiBuffer midi;
            int changeAt = 0;

            for (int start = 0; start < output.getNumSamples(); start += block)
            {
                if (start == 16384)
                {
                    setValue (processor, HostParameters::overdriveType, (float) to / 4.0f);
                    processor.applyDeferredChanges();
                    changeAt = start;
                }

                juce::AudioBuffer<float> view (output.getArrayOfWritePointers(), 2, start, std::min (block, output.getNumSamples() - start));
                processor.processBlock (view, midi);
            }

            EXPECT_EQ (to, processor.getHeardModel()) << from << " -> " << to;
            EXPECT_TRUE (allFinite (output));

            // The steepest step while the circuits cross never exceeds the steepest step either
            // circuit makes on its own by much: nothing drops in or out at full level.
            const auto* y = output.getReadPointer (0);
            const auto before = largestStep (y, 8192, changeAt);
            const auto after = largestStep (y, changeAt + 8192, output.getNumSamples());
            const auto during = largestStep (y, changeAt, changeAt + 8192);
            EXPECT_LE (during, 1.5f * std::max (before, after) + 1e-3f) << from << " -> " << to;
        }
    }
}
