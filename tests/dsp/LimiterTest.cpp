#include "dsp/OnePoleHighpass.h"
#include "dsp/OpampLimiter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace
{
// The limiter's curve in decibels: unity below T, T + (L - T) - (L - T)^2 / 2 across the knee.
double kneeOutput (double x)
{
    const auto threshold = 12.36905353;
    const auto level = 20.0 * std::log10 (std::abs (x));
    const auto excess = level - threshold;
    return std::copysign (std::pow (10.0, (level - 0.5 * excess * excess) / 20.0), x);
}

double limited (double x)
{
    OpampLimiter limiter;
    limiter.processMonoSample (x);
    return x;
}
} // namespace

TEST (OpampLimiter, FollowsItsCurveAndRoundsToSinglePrecision)
{
    const struct
    {
        double input;
        float expected;
    } cases[] = {
        { 0.0, 0.0f },
        { 1.0, 1.0f },
        { -1.0, -1.0f },
        { 0.1, 0.1f },
        { 4.153867856, 4.153867856f },
        { 4.4, (float) kneeOutput (4.4) },
        { -4.4, (float) kneeOutput (-4.4) },
        { 4.660716391, 4.4f },
        { 5.0, 4.4f },
        { 1000.0, 4.4f },
        { -10.0, -4.4f },
        { 4.3, (float) kneeOutput (4.3) },
        { -4.6, (float) kneeOutput (-4.6) },
    };

    for (const auto& c : cases)
    {
        const auto y = limited (c.input);
        EXPECT_EQ ((double) c.expected, y) << c.input;
    }

    // Half a dB below the ceiling, as its seven significant digits show.
    EXPECT_NEAR (4.337132, limited (4.4), 5.0e-7);
}

TEST (OpampLimiter, IsContinuousAtBothKneeEdges)
{
    for (const auto edge : { 4.153867856, 4.660716391 })
    {
        for (const auto sign : { 1.0, -1.0 })
        {
            const auto below = limited (sign * (edge - 1.0e-7));
            const auto above = limited (sign * (edge + 1.0e-7));
            EXPECT_NEAR (below, above, 2.0e-6) << edge;
        }
    }

    // The knee meets the ceiling with zero slope: 1e-3 below its end the output is still
    // within a few single-precision steps of 4.4.
    EXPECT_NEAR (4.4, limited (4.660716391 - 1.0e-3), 2.0e-6);
}

TEST (OpampLimiter, StereoChannelsAreIndependent)
{
    OpampLimiter limiter;
    double left = 10.0, right = 1.0;
    limiter.processStereoSample (left, right);
    EXPECT_EQ ((double) 4.4f, left);
    EXPECT_EQ (1.0, right);
}

//==============================================================================
TEST (OnePoleHighpass, PassesTheInputUnchangedUntilACutoffIsSet)
{
    OnePoleHighpass highpass;
    std::mt19937 generator (11);
    std::uniform_real_distribution<double> distribution (-2.0, 2.0);

    for (int i = 0; i < 1000; ++i)
    {
        const auto x = distribution (generator);
        double left = x, right = -x, mono = x;
        highpass.processStereoSample (left, right);
        highpass.processMonoSample (mono);
        ASSERT_EQ (x, left);
        ASSERT_EQ (-x, right);
        ASSERT_EQ (x, mono);
    }
}

TEST (OnePoleHighpass, RemovesDirectCurrentAfterSetCutoff)
{
    OnePoleHighpass highpass;
    highpass.setSampleRate (44100.0f);
    highpass.setCutoff (33.0f);

    double left = 1.0, right = -1.0;
    highpass.processStereoSample (left, right);
    EXPECT_GT (left, 0.99);
    EXPECT_LT (right, -0.99);

    double previous = left;

    for (int i = 1; i < 4410; ++i)
    {
        left = 1.0;
        right = -1.0;
        highpass.processStereoSample (left, right);
        ASSERT_LT (left, previous);
        ASSERT_EQ (-left, right);
        previous = left;
    }

    // A 33 Hz corner has a 4.8 ms time constant: after 100 ms about e^-20 is left.
    EXPECT_LT (left, 1.0e-8);
    EXPECT_GE (left, 0.0);
}

TEST (OnePoleHighpass, HasTheBilinearResponseOfItsCutoff)
{
    // The zero-delay one-pole is s / (s + wc) through the bilinear transform pre-warped at the
    // cutoff: |H| = tan (w / 2) / sqrt (tan^2 (w / 2) + tan^2 (pi fc / fs)).
    const auto rate = 48000.0;
    const auto pi = 3.141592653589793;

    for (const auto hz : { 16.0, 34.0, 100.0, 1000.0 }) // whole cycles in the measured half
    {
        OnePoleHighpass highpass;
        highpass.setSampleRate ((float) rate);
        highpass.setCutoff (33.0f);

        const auto w = 2.0 * pi * hz / rate;
        const int length = 48000;
        double sumSquares = 0.0;

        for (int i = 0; i < length; ++i)
        {
            double x = std::sin (w * i);
            highpass.processMonoSample (x);

            if (i >= length / 2)
                sumSquares += x * x;
        }

        const auto measured = std::sqrt (2.0 * sumSquares / (length / 2));
        const auto t = std::tan (w / 2.0);
        const auto g = std::tan (pi * 33.0 / rate);
        EXPECT_NEAR (t / std::sqrt (t * t + g * g), measured, 2.0e-3) << hz;
    }
}

TEST (OnePoleHighpass, KeepsItsCoefficientsAcrossARateChangeUntilSetCutoff)
{
    OnePoleHighpass keptRate, changedRate, recomputed;

    for (auto* highpass : { &keptRate, &changedRate, &recomputed })
        highpass->setCutoff (4.0f);

    changedRate.setSampleRate (96000.0f);
    recomputed.setSampleRate (96000.0f);
    recomputed.setCutoff (4.0f);

    double kept = 1.0, changed = 1.0, fresh = 1.0;

    for (int i = 0; i < 1000; ++i)
    {
        kept = changed = fresh = 1.0;
        keptRate.processMonoSample (kept);
        changedRate.processMonoSample (changed);
        recomputed.processMonoSample (fresh);
    }

    EXPECT_EQ (kept, changed);
    EXPECT_GT (fresh, changed); // a lower corner relative to the rate decays more slowly

    changedRate.initParameters();
    EXPECT_EQ (0.0f, changedRate.getCutoff());
    double x = 0.3;
    changedRate.processMonoSample (x);
    EXPECT_EQ (0.3, x);
}
