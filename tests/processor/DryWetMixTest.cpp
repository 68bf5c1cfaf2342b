// The dry path and the mix: at 100 % wet the alignment filters stand still, and leaving 100 %
// wet hears the dry path exactly as if they had run all along, so the move makes no click.

#include "processor/DryWetMix.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
constexpr float rate = 48000.0f;
constexpr int capacity = 512;
constexpr int rampLength = 2048;

std::vector<float> tone (int length, double frequency, double phase)
{
    std::vector<float> x ((size_t) length);

    for (int i = 0; i < length; ++i)
        x[(size_t) i] = (float) (0.6 * std::sin (2.0 * 3.141592653589793 * frequency * i / rate + phase) + 0.3 * std::sin (0.37 * i));

    return x;
}

struct Step
{
    int from; // sample where the step takes effect (at the start of its block)
    float wet; // the wet target from there on
    int moveTo; // an oversampling index requested there, -1 for none
};

// Runs dry and wet through a DryWetMix in blocks of varying length, the steps applied at the
// first block starting at or after their sample; returns the output and the block starts.
std::vector<float> runMix (const std::vector<float>& dry, const std::vector<float>& wet, bool stereo, float startWet, int index, const std::vector<Step>& steps, std::vector<int>& blockStarts)
{
    DryWetMix mix;
    mix.prepare (rate, capacity, rampLength);
    mix.reset (startWet, true, index);

    std::vector<float> out = wet, right = wet;
    float target = startWet;
    size_t nextStep = 0;
    blockStarts.clear();

    for (int start = 0, n = 37; start < (int) dry.size(); start += n, n = n % 400 + 61) // up to 460, within capacity
    {
        n = std::min (n, (int) dry.size() - start);

        while (nextStep < steps.size() && steps[nextStep].from <= start)
        {
            target = steps[nextStep].wet;

            if (steps[nextStep].moveTo >= 0)
                mix.requestAlignment (steps[nextStep].moveTo);

            ++nextStep;
        }

        blockStarts.push_back (start);
        mix.takeDryCopy (dry.data() + start, dry.data() + start, n);
        mix.process (out.data() + start, stereo ? right.data() + start : nullptr, n, target, true);

        if (stereo)
        {
            for (int i = start; i < start + n; ++i)
                EXPECT_EQ (out[(size_t) i], right[(size_t) i]) << "sample " << i;
        }
    }

    return out;
}
} // namespace

TEST (DryWetMix, LeavingFullyWetHearsTheDryPathAsIfTheAlignmentHadRunAllAlong)
{
    struct Case
    {
        const char* what;
        int index;
        bool stereo;
        float startWet;
        std::vector<Step> steps;
        float tolerance; // 0: the very same samples
    };

    const Case cases[] = {
        { "long at 8x, stereo", 3, true, 1.0f, { { 9000, 0.3f, -1 } }, 1e-6f },
        { "long at 8x, mono", 3, false, 1.0f, { { 9000, 0.3f, -1 } }, 1e-6f },
        { "long at 2x", 1, true, 1.0f, { { 6000, 0.0f, -1 } }, 1e-6f },
        { "long at 4x, after a ramp up", 2, false, 0.4f, { { 500, 1.0f, -1 }, { 8000, 0.6f, -1 } }, 1e-6f },
        { "shorter than the priming at 8x", 3, true, 0.5f, { { 500, 1.0f, -1 }, { 3000, 0.2f, -1 } }, 0.0f },
        { "twice, short then long", 3, true, 0.5f, { { 500, 1.0f, -1 }, { 3000, 0.9f, -1 }, { 5000, 1.0f, -1 }, { 12000, 0.5f, -1 } }, 1e-6f },
        { "moved from 2x to 8x while fully wet", 1, true, 1.0f, { { 3000, 1.0f, 3 }, { 3500, 0.5f, -1 } }, 0.0f },
    };

    const int length = 20000;
    const auto dry = tone (length, 220.0, 0.0);
    const auto wet = tone (length, 330.0, 1.0);

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        std::vector<int> blockStarts;
        const auto out = runMix (dry, wet, c.stereo, c.startWet, c.index, c.steps, blockStarts);

        // The wet share of every sample: the same mix with a silent dry path and a wet path of 1.
        std::vector<int> unused;
        const auto shares = runMix (std::vector<float> ((size_t) length, 0.0f), std::vector<float> ((size_t) length, 1.0f), c.stereo, c.startWet, c.index, c.steps, unused);

        // The dry path with the alignment running all along, moved where a step moves it.
        auto aligned = dry;
        OversamplingAlignment alignment;
        alignment.setSampleRate (rate);
        alignment.setRequestedIndex (c.index);
        alignment.update();
        size_t nextStep = 0;

        for (size_t b = 0; b < blockStarts.size(); ++b)
        {
            const int start = blockStarts[b];
            const int end = b + 1 < blockStarts.size() ? blockStarts[b + 1] : length;

            for (; nextStep < c.steps.size() && c.steps[nextStep].from <= start; ++nextStep)
            {
                if (c.steps[nextStep].moveTo >= 0)
                {
                    alignment.clearState();
                    alignment.setRequestedIndex (c.steps[nextStep].moveTo);
                    alignment.update();
                }
            }

            alignment.processMono (aligned.data() + start, end - start);
        }

        int heard = 0;

        for (int i = 0; i < length; ++i)
        {
            const float share = shares[(size_t) i];
            const float expected = (1.0f - share) * aligned[(size_t) i] + share * wet[(size_t) i];
            heard += share < 1.0f ? 1 : 0;

            if (c.tolerance == 0.0f)
                ASSERT_EQ (expected, out[(size_t) i]) << "sample " << i;
            else
                ASSERT_NEAR (expected, out[(size_t) i], c.tolerance) << "sample " << i;
        }

        EXPECT_GT (heard, 2000); // the dry path was heard after the fully wet stretch
    }
}

// At 100 % wet the block leaves exactly as it came, whatever the dry copy holds.
TEST (DryWetMix, FullyWetPassesTheWetBlockUnchanged)
{
    DryWetMix mix;
    mix.prepare (rate, capacity, rampLength);
    mix.reset (1.0f, true, 3);

    const auto dry = tone (capacity, 100.0, 0.5);
    auto left = tone (capacity, 440.0, 0.0), right = tone (capacity, 550.0, 0.0);
    const auto wetLeft = left, wetRight = right;

    mix.takeDryCopy (dry.data(), dry.data(), capacity);
    mix.process (left.data(), right.data(), capacity, 1.0f, true);
    EXPECT_EQ (wetLeft, left);
    EXPECT_EQ (wetRight, right);
}

// Off and fully dry the block becomes the input delayed by the latency of the factor, across
// blocks shorter and longer than the delay, mono or stereo; a reset forgets what came before.
TEST (DryWetMix, OffPassesTheInputDelayedByTheLatency)
{
    for (const bool stereo : { true, false })
    {
        for (int index = 0; index < 4; ++index)
        {
            DryWetMix mix;
            mix.prepare (rate, capacity, rampLength);
            const auto latency = OversamplingAlignment::getLatencySamples (index, rate);

            const auto left = tone (3000, 220.0, 0.0), right = tone (3000, 330.0, 1.0);

            for (int round = 0; round < 2; ++round)
            {
                // The first round leaves a history; the reset must not let it through.
                mix.reset (0.0f, false, index);
                EXPECT_EQ (latency, mix.getDelaySamples());
                EXPECT_TRUE (mix.isDry());

                auto outLeft = left, outRight = right;

                for (int start = 0, n = 1; start < (int) left.size(); start += n, n = n % 9 + 1 + (n > 8 ? 200 : 0))
                {
                    n = std::min (n, (int) left.size() - start);
                    mix.passDelayed (outLeft.data() + start, stereo ? outRight.data() + start : nullptr, n);
                }

                for (int i = 0; i < (int) left.size(); ++i)
                {
                    ASSERT_EQ (i < latency ? 0.0f : left[(size_t) (i - latency)], outLeft[(size_t) i]) << "index " << index << " sample " << i;

                    if (stereo)
                    {
                        ASSERT_EQ (i < latency ? 0.0f : right[(size_t) (i - latency)], outRight[(size_t) i]) << "index " << index << " sample " << i;
                    }
                }
            }
        }
    }
}
