#include "TestSignals.h"
#include "dsp/FxSZBase1.h"
#include "dsp/FxSZBase2.h"
#include "dsp/FxSZBase3.h"
#include "dsp/FxSZBase4.h"
#include "dsp/SZBase2x.h"
#include "dsp/SZBase3x.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <vector>

using namespace TestSignals;

namespace
{
using LongComplex = std::complex<long double>;

struct AnalogCase
{
    const char* name;
    int order;
    float rate;
    std::vector<double> denominator; // ascending powers of s
    std::vector<double> numerator;
};

// Circuit-like prototypes of every order, some at oversampled rates.
std::vector<AnalogCase> analogCases()
{
    const auto r = 301000.0; // drive network resistance
    const auto rb = 250000.0; // gain pot at half travel
    return {
        { "couplingHighpass", 1, 44100.0f, { 1.0, 0.01 }, { 0.0, 0.01 } },
        { "opampGain", 2, 44100.0f, { 1.0, r * 5.1e-11 + 0.0002209, r * 1.12659e-14 }, { 1.0, r * 4.7e-8 + (r * 5.1e-11 + 0.0002209), r * 1.12659e-14 } },
        { "opampGain8x", 2, 352800.0f, { 1.0, r * 5.1e-11 + 0.0002209, r * 1.12659e-14 }, { 1.0, r * 4.7e-8 + (r * 5.1e-11 + 0.0002209), r * 1.12659e-14 } },
        { "thirdOrderHighpass", 3, 48000.0f, { 1.0, 1.793, 0.185402, 0.00141204 }, { 0.0, 0.0, 0.0, 0.00141204 } },
        { "toneNetwork", 3, 96000.0f, { 110000000.0, 11049323.9731 + 110000.0, 4933.46487709 + 11000.0, 0.106480003595 + 1.21 }, { 0.0, 5.0e6, 484.0 + 12100.0 - 5500.0, 0.0 } },
        { "gainStage", 4, 44100.0f, { 1.0, 0.010127 + 4.7e-11 * rb, 1.271551e-6 + 4.75969e-13 * rb, 1.551e-11 + 5.9762897e-17 * rb, 7.2897e-22 * rb }, { 0.0, 0.01, 1.27e-6 + 1.0047e-10 * rb, 1.551e-11 + 8.05969e-15 * rb, 7.2897e-22 * rb } },
    };
}

// p(s) with s = K (1 - z^-1) / (1 + z^-1), times (1 + z^-1)^N, expanded by multiplying out
// the factors (1 - z^-1)^i (1 + z^-1)^(N - i) one by one.
std::vector<long double> expandBilinear (const std::vector<double>& analog, int order, float rate)
{
    const auto k = 2.0L * (long double) rate;
    std::vector<long double> result ((size_t) order + 1, 0.0L);

    for (int i = 0; i <= order; ++i)
    {
        std::vector<long double> term { (long double) analog[(size_t) i] * std::pow (k, (long double) i) };

        for (int f = 0; f < order; ++f)
        {
            const auto sign = f < i ? -1.0L : 1.0L;
            std::vector<long double> next (term.size() + 1, 0.0L);

            for (size_t j = 0; j < term.size(); ++j)
            {
                next[j] += term[j];
                next[j + 1] += sign * term[j];
            }

            term = next;
        }

        for (size_t j = 0; j < result.size(); ++j)
            result[j] += term[j];
    }

    return result;
}

template <typename Filter>
void expectTargetsMatchExpansion (const Filter& filter, const AnalogCase& c)
{
    const auto a = expandBilinear (c.denominator, c.order, c.rate);
    const auto b = expandBilinear (c.numerator, c.order, c.rate);
    EXPECT_NEAR (filter.target.a[0], (double) a[0], 1.0e-13 * std::abs ((double) a[0]));

    for (int k = 0; k <= c.order; ++k)
    {
        if (k > 0)
        {
            EXPECT_NEAR (filter.target.a[k], (double) (a[(size_t) k] / a[0]), 1.0e-12) << "a" << k;
        }

        EXPECT_NEAR (filter.target.b[k], (double) (b[(size_t) k] / a[0]), 1.0e-12 * (double) std::max (1.0L, std::abs (b[0] / a[0]))) << "b" << k;
    }
}

// The bilinear transform maps the analog frequency K tan (w / 2) to w. The tolerance allows for
// rounding the coefficients to double: a pole at 0.09 Hz makes the 20 Hz response of the
// third-order high-pass sensitive to it.
template <typename Filter>
void expectResponseMatchesAnalog (const Filter& filter, const AnalogCase& c)
{
    const auto k = 2.0L * (long double) c.rate;

    for (const auto hz : { 20.0L, 200.0L, 1000.0L, 5000.0L, 15000.0L })
    {
        const auto w = 2.0L * 3.14159265358979323846L * hz / (long double) c.rate;
        const auto s = LongComplex (0.0L, k * std::tan (w / 2.0L));
        LongComplex analogNum, analogDen, digitalNum, digitalDen;

        for (int i = c.order; i >= 0; --i)
        {
            analogNum = analogNum * s + (long double) c.numerator[(size_t) i];
            analogDen = analogDen * s + (long double) c.denominator[(size_t) i];
        }

        const auto zInverse = std::polar (1.0L, -w);

        for (int i = c.order; i >= 0; --i)
        {
            digitalNum = digitalNum * zInverse + (long double) filter.getCurrent().b[i];
            digitalDen = digitalDen * zInverse + (long double) (i == 0 ? 1.0 : filter.getCurrent().a[i]);
        }

        const auto expected = analogNum / analogDen;
        const auto actual = digitalNum / digitalDen;
        EXPECT_LT ((double) std::abs (actual - expected), 1.0e-7 * (double) std::max (1.0L, std::abs (expected))) << c.name << " at " << (double) hz << " Hz";
    }
}

template <typename Stage>
void expectTransformOf (const AnalogCase& c)
{
    Stage stage;
    stage.setSampleRate (c.rate);
    stage.setAnalogCoefficients (c.denominator.data(), c.numerator.data());
    SCOPED_TRACE (c.name);
    expectTargetsMatchExpansion (stage.getFilter(), c);
    expectResponseMatchesAnalog (stage.getFilter(), c);
}

// Two second-order low-passes whose digital coefficients differ clearly.
const double lowpassA[2][3] = { { 1.0, 1.0e-4, 1.0e-9 }, { 1.0, 0.0, 0.0 } };
const double lowpassB[2][3] = { { 1.0, 3.0e-4, 4.0e-8 }, { 1.0, 1.0e-5, 0.0 } };
const double lowpassC[2][3] = { { 1.0, 2.0e-5, 3.0e-10 }, { 1.0, 0.0, 1.0e-10 } };

template <typename Filter>
double largestDistance (const Filter& filter, const SZCoefficients<2>& to)
{
    auto largest = 0.0;

    for (int k = 0; k <= 2; ++k)
    {
        if (k > 0)
            largest = std::max (largest, std::abs (filter.getCurrent().a[k] - to.a[k]));

        largest = std::max (largest, std::abs (filter.getCurrent().b[k] - to.b[k]));
    }

    return largest;
}

template <typename Filter>
void expectCurrentEquals (const Filter& filter, const SZCoefficients<2>& expected)
{
    for (int k = 0; k <= 2; ++k)
    {
        if (k > 0)
        {
            EXPECT_EQ (filter.getCurrent().a[k], expected.a[k]) << "a" << k;
        }

        EXPECT_EQ (filter.getCurrent().b[k], expected.b[k]) << "b" << k;
    }
}

// Coefficients of a set as the stage computes them at its rate.
SZCoefficients<2> targetsOf (const double (&set)[2][3], float rate)
{
    FxSZBase2 probe;
    probe.setSampleRate (rate);
    probe.setAnalogCoefficients (set[0], set[1]);
    return probe.getFilter().target;
}

SZCoefficients<2> between (const SZCoefficients<2>& from, const SZCoefficients<2>& to, double fraction)
{
    SZCoefficients<2> result;

    for (int k = 0; k <= 2; ++k)
    {
        result.a[k] = from.a[k] + (to.a[k] - from.a[k]) * fraction;
        result.b[k] = from.b[k] + (to.b[k] - from.b[k]) * fraction;
    }

    return result;
}

void processMonoInChunks (FxSZBase& stage, int numSamples, int chunk)
{
    std::vector<float> buffer ((size_t) chunk, 0.25f);

    while (numSamples > 0)
    {
        const auto n = std::min (chunk, numSamples);
        stage.processMono (buffer.data(), n);
        numSamples -= n;
    }
}
} // namespace

//==============================================================================
TEST (BilinearTransform, FirstOrderHighpassGivesTheExactCoefficients)
{
    const double denominator[] = { 1.0, 0.01 };
    const double numerator[] = { 0.0, 0.01 };
    FxSZBase1 stage;
    stage.setSampleRate (44100.0f);
    stage.setAnalogCoefficients (denominator, numerator);

    const auto& target = stage.getFilter().target;
    EXPECT_EQ (883.0, target.a[0]);
    EXPECT_EQ ((1.0 - 882.0) / 883.0, target.a[1]);
    EXPECT_EQ (882.0 / 883.0, target.b[0]);
    EXPECT_EQ (-882.0 / 883.0, target.b[1]);
}

TEST (BilinearTransform, BlockStagesMatchTheExpandedSubstitution)
{
    for (const auto& c : analogCases())
    {
        switch (c.order)
        {
            case 1:
                expectTransformOf<FxSZBase1> (c);
                break;
            case 2:
                expectTransformOf<FxSZBase2> (c);
                break;
            case 3:
                expectTransformOf<FxSZBase3> (c);
                break;
            default:
                expectTransformOf<FxSZBase4> (c);
                break;
        }
    }
}

TEST (BilinearTransform, PerSampleStagesMatchTheExpandedSubstitution)
{
    for (const auto& c : analogCases())
    {
        if (c.order == 2)
            expectTransformOf<SZBase2x> (c);
        else if (c.order == 3)
            expectTransformOf<SZBase3x> (c);
    }
}

//==============================================================================
TEST (SZFilter, LengthFollowsTheRateBands)
{
    const struct
    {
        float rate;
        int length;
    } cases[] = { { 22050.0f, 1024 }, { 32000.0f, 1024 }, { 34049.996f, 1024 }, { 34050.0f, 2048 }, { 44100.0f, 2048 }, { 48000.0f, 2048 }, { 67999.996f, 2048 }, { 68000.0f, 4096 }, { 88200.0f, 4096 }, { 96000.0f, 4096 }, { 135999.98f, 4096 }, { 136000.0f, 8192 }, { 192000.0f, 8192 }, { 384000.0f, 8192 } };

    EXPECT_EQ (2048, FxSZBase3().getGlideLength());
    EXPECT_EQ (2048, SZBase2x().getGlideLength());

    for (const auto& c : cases)
    {
        FxSZBase3 block;
        SZBase2x perSample;
        block.setSampleRate (c.rate);
        perSample.setSampleRate (c.rate);
        EXPECT_EQ (c.length, block.getGlideLength()) << c.rate;
        EXPECT_EQ (c.length, perSample.getGlideLength()) << c.rate;
    }
}

TEST (SZFilter, BlockStageLandsExactlyOnTheTargetsAfterTheGlideLength)
{
    const auto a = targetsOf (lowpassA, 44100.0f);
    const auto b = targetsOf (lowpassB, 44100.0f);
    FxSZBase2 stage;
    stage.setSampleRate (44100.0f);
    stage.setAnalogCoefficients (lowpassA[0], lowpassA[1]);
    expectCurrentEquals (stage.getFilter(), a); // the first set applies at once
    processMonoInChunks (stage, 3000, 512);

    stage.setAnalogCoefficients (lowpassB[0], lowpassB[1]);
    processMonoInChunks (stage, 1024, 100);
    EXPECT_LT (largestDistance (stage.getFilter(), between (a, b, 0.5)), 1.0e-12);

    processMonoInChunks (stage, 1023, 77);
    EXPECT_GT (largestDistance (stage.getFilter(), b), 0.0);

    processMonoInChunks (stage, 1, 1);
    expectCurrentEquals (stage.getFilter(), b);

    processMonoInChunks (stage, 5000, 333);
    expectCurrentEquals (stage.getFilter(), b);
}

TEST (SZFilter, BlockStageStartsANewSetAtTheNextBlockFromWhereItIs)
{
    const auto a = targetsOf (lowpassA, 96000.0f);
    const auto b = targetsOf (lowpassB, 96000.0f);
    const auto c = targetsOf (lowpassC, 96000.0f);
    FxSZBase2 stage;
    stage.setSampleRate (96000.0f);
    stage.setAnalogCoefficients (lowpassA[0], lowpassA[1]);
    processMonoInChunks (stage, 4096, 4096);

    // Two sets before the next block: the glide goes from A straight to C.
    stage.setAnalogCoefficients (lowpassB[0], lowpassB[1]);
    stage.setAnalogCoefficients (lowpassC[0], lowpassC[1]);
    expectCurrentEquals (stage.getFilter(), a);
    processMonoInChunks (stage, 1024, 1024);
    EXPECT_LT (largestDistance (stage.getFilter(), between (a, c, 0.25)), 1.0e-12);

    // A set during the glide restarts it from the current point over the full length.
    const auto quarter = stage.getFilter().getCurrent();
    stage.setAnalogCoefficients (lowpassB[0], lowpassB[1]);
    processMonoInChunks (stage, 2048, 512);
    EXPECT_LT (largestDistance (stage.getFilter(), between (quarter, b, 0.5)), 1.0e-12);
    processMonoInChunks (stage, 2047, 512);
    EXPECT_GT (largestDistance (stage.getFilter(), b), 0.0);
    processMonoInChunks (stage, 1, 512);
    expectCurrentEquals (stage.getFilter(), b);
}

TEST (SZFilter, BlockStageTakesTheGlideLengthInForceAtTheNextBlock)
{
    const auto a = targetsOf (lowpassA, 96000.0f);
    const auto b = targetsOf (lowpassB, 96000.0f);
    FxSZBase2 stage;
    stage.setSampleRate (96000.0f);
    stage.setAnalogCoefficients (lowpassA[0], lowpassA[1]);
    processMonoInChunks (stage, 4096, 4096);

    // The set is discretised at 96 kHz but glides over the 44.1 kHz length set before the block.
    stage.setAnalogCoefficients (lowpassB[0], lowpassB[1]);
    stage.setSampleRate (44100.0f);
    processMonoInChunks (stage, 1024, 256);
    EXPECT_LT (largestDistance (stage.getFilter(), between (a, b, 0.5)), 1.0e-12);
    processMonoInChunks (stage, 1024, 256);
    expectCurrentEquals (stage.getFilter(), b);
}

TEST (SZFilter, PerSampleStageGlidesFromTheNextSampleAndStopsWithinRounding)
{
    const auto a = targetsOf (lowpassA, 32000.0f);
    const auto b = targetsOf (lowpassB, 32000.0f);
    SZBase2x stage;
    stage.setSampleRate (32000.0f);
    stage.setAnalogCoefficients (lowpassA[0], lowpassA[1]);
    expectCurrentEquals (stage.getFilter(), a);

    double left = 0.1, right = -0.1;

    for (int i = 0; i < 1024; ++i)
        stage.processStereoSample (left, right);

    stage.setAnalogCoefficients (lowpassB[0], lowpassB[1]);
    stage.processMonoSample (left);
    EXPECT_LT (largestDistance (stage.getFilter(), between (a, b, 1.0 / 1024.0)), 1.0e-15);

    for (int i = 1; i < 512; ++i)
        stage.processStereoSample (left, right); // one glide step per frame

    EXPECT_LT (largestDistance (stage.getFilter(), between (a, b, 0.5)), 1.0e-12);

    for (int i = 512; i < 1024; ++i)
        stage.processMonoSample (left);

    EXPECT_LT (largestDistance (stage.getFilter(), b), 1.0e-12);

    const auto end = stage.getFilter().getCurrent();

    for (int i = 0; i < 3000; ++i)
        stage.processMonoSample (left);

    expectCurrentEquals (stage.getFilter(), end);
}

//==============================================================================
TEST (SZFilterStage, UntouchedStagesOutputZero)
{
    FxSZBase1 first;
    FxSZBase2 second;
    FxSZBase3 third;
    FxSZBase4 fourth;
    const auto input = noise (256, 1.0f, 1);

    for (FxSZBase* stage : std::initializer_list<FxSZBase*> { &first, &second, &third, &fourth })
    {
        auto left = input;
        auto right = input;
        stage->processStereo (left.data(), right.data(), (int) left.size());
        auto mono = input;
        stage->processMono (mono.data(), (int) mono.size());

        for (size_t i = 0; i < input.size(); ++i)
        {
            EXPECT_EQ (0.0f, left[i]);
            EXPECT_EQ (0.0f, right[i]);
            EXPECT_EQ (0.0f, mono[i]);
        }
    }

    SZBase2x perSample2;
    SZBase3x perSample3;

    for (SZBase* stage : std::initializer_list<SZBase*> { &perSample2, &perSample3 })
    {
        for (const auto x : input)
        {
            double left = x, right = -x, mono = x;
            stage->processStereoSample (left, right);
            stage->processMonoSample (mono);
            EXPECT_EQ (0.0, left);
            EXPECT_EQ (0.0, right);
            EXPECT_EQ (0.0, mono);
        }
    }
}

TEST (SZFilterStage, ResetReturnsABlockStageToItsConstructedState)
{
    const auto input = noise (4096, 1.0f, 2);
    const double denominator[] = { 1.0, 1.793, 0.185402, 0.00141204 };
    const double numerator[] = { 0.0, 0.0, 0.0, 0.00141204 };
    const double other[] = { 1.0, 0.0, 0.0, 0.0 };

    FxSZBase3 used;
    used.setSampleRate (96000.0f);
    used.setAnalogCoefficients (denominator, numerator);
    auto scratch = input;
    used.processMono (scratch.data(), 100);
    used.setAnalogCoefficients (other, other); // a glide is in progress
    used.processMono (scratch.data(), 100);
    used.reset();

    auto silent = input;
    used.processMono (silent.data(), 64);

    for (int i = 0; i < 64; ++i)
        EXPECT_EQ (0.0f, silent[(size_t) i]);

    used.reset();
    FxSZBase3 fresh;
    fresh.setSampleRate (96000.0f);
    EXPECT_EQ (fresh.getGlideLength(), used.getGlideLength());

    for (auto* stage : { &used, &fresh })
        stage->setAnalogCoefficients (denominator, numerator);

    auto fromUsed = input;
    auto fromFresh = input;
    used.processMono (fromUsed.data(), (int) input.size());
    fresh.processMono (fromFresh.data(), (int) input.size());
    EXPECT_EQ (fromFresh, fromUsed);
}

TEST (SZFilterStage, ResetReturnsAPerSampleStageToItsConstructedState)
{
    const auto input = noise (2048, 1.0f, 3);
    const double denominator[] = { 1.0, 2.0e-4, 1.0e-8 };
    const double numerator[] = { 1.0, 5.0e-3, 1.0e-8 };
    SZBase2x used, fresh;

    used.setAnalogCoefficients (denominator, numerator);

    for (size_t i = 0; i < 500; ++i)
    {
        double x = input[i];
        used.processMonoSample (x);
    }

    used.setAnalogCoefficients (numerator, denominator);
    used.reset();

    double probe = 0.5;
    used.processMonoSample (probe);
    EXPECT_EQ (0.0, probe);

    used.reset();
    used.setAnalogCoefficients (denominator, numerator);
    fresh.setAnalogCoefficients (denominator, numerator);

    for (const auto x : input)
    {
        double l1 = x, r1 = -x, l2 = x, r2 = -x;
        used.processStereoSample (l1, r1);
        fresh.processStereoSample (l2, r2);
        ASSERT_EQ (l2, l1);
        ASSERT_EQ (r2, r1);
    }
}

// Mono runs on the left history; stereo keeps the right history apart and advances the glide
// once per frame.
TEST (SZFilterStage, MonoUsesTheLeftHistoryAndStereoChannelsAreIndependent)
{
    const auto first = noise (600, 1.0f, 4);
    const auto secondLeft = noise (600, 1.0f, 5);
    const auto secondRight = noise (600, 1.0f, 6);
    const double denominator[] = { 1.0, 3.0e-4, 2.0e-8, 1.0e-13 };
    const double numerator[] = { 1.0, 1.0e-4, 0.0, 0.0 };
    const double later[] = { 1.0, 5.0e-5, 0.0, 0.0 };

    FxSZBase3 monoThenStereo, stereoOnly;

    for (auto* stage : { &monoThenStereo, &stereoOnly })
    {
        stage->setAnalogCoefficients (denominator, numerator);
        stage->setAnalogCoefficients (denominator, later); // glides during both blocks
    }

    auto mono = first;
    monoThenStereo.processMono (mono.data(), (int) mono.size());

    auto left = first;
    std::vector<float> right (first.size(), 0.0f);
    stereoOnly.processStereo (left.data(), right.data(), (int) left.size());
    EXPECT_EQ (left, mono);

    auto left1 = secondLeft, right1 = secondRight, left2 = secondLeft, right2 = secondRight;
    monoThenStereo.processStereo (left1.data(), right1.data(), (int) left1.size());
    stereoOnly.processStereo (left2.data(), right2.data(), (int) left2.size());
    EXPECT_EQ (left2, left1);
    EXPECT_EQ (right2, right1);
}

// Without the guard a decaying tail passes through the slow denormal range (here after about
// 3200 samples); with it the values stay on a grid far above that range.
TEST (SZFilterStage, DecayingTailsNeverBecomeDenormal)
{
    const double denominator[] = { 1.0, 2.0e-4, 1.0e-8 };
    const double numerator[] = { 1.0, 0.0, 0.0 };
    SZBase2x perSample;
    FxSZBase2 block;
    perSample.setAnalogCoefficients (denominator, numerator);
    block.setAnalogCoefficients (denominator, numerator);

    std::vector<float> signal (10000, 0.0f);
    signal[0] = 1.0f;

    for (const auto input : signal)
    {
        double x = input;
        perSample.processMonoSample (x);
        ASSERT_NE (FP_SUBNORMAL, std::fpclassify (x));
    }

    block.processMono (signal.data(), (int) signal.size());

    for (const auto y : signal)
        ASSERT_NE (FP_SUBNORMAL, std::fpclassify (y));
}

//==============================================================================
namespace
{
class ScaledThirdOrder final : public FxSZBase3
{
public:
    ScaledThirdOrder (OutputGain mode, float gain) { setOutputGain (mode, gain); }
};
} // namespace

// The gain is applied to the output only; the reference is the same filter run per sample,
// which yields its unscaled double output.
TEST (FxSZStage, ScalesTheOutputWithoutEnteringTheHistory)
{
    const struct
    {
        FxSZBase::OutputGain mode;
        float gain;
    } cases[] = { { FxSZBase::OutputGain::none, 1.0f }, { FxSZBase::OutputGain::roundThenScale, 1.2f }, { FxSZBase::OutputGain::roundThenScale, 0.3f }, { FxSZBase::OutputGain::scaleThenRound, 0.238f } };

    const double denominator[] = { 1.0, 2.0e-4, 3.0e-8, 1.0e-12 };
    const double numerator[] = { 0.0, 2.0e-4, 1.0e-8, 0.0 };
    const auto input = noise (3000, 1.0f, 7);

    for (const auto& c : cases)
    {
        ScaledThirdOrder stage (c.mode, c.gain);
        SZBase3x reference;
        stage.setAnalogCoefficients (denominator, numerator);
        reference.setAnalogCoefficients (denominator, numerator);

        auto left = input;
        auto right = input;

        for (auto& x : right)
            x = -x;

        stage.processStereo (left.data(), right.data(), 1000);
        stage.processMono (left.data() + 1000, 2000);

        for (size_t i = 0; i < input.size(); ++i)
        {
            double y = input[i];
            double unused = -y;

            if (i < 1000)
                reference.processStereoSample (y, unused);
            else
                reference.processMonoSample (y);

            float expected = (float) y;

            if (c.mode == FxSZBase::OutputGain::roundThenScale)
                expected = (float) y * c.gain;
            else if (c.mode == FxSZBase::OutputGain::scaleThenRound)
                expected = (float) (y * (double) c.gain);

            ASSERT_EQ (expected, left[i]) << "gain " << c.gain << " sample " << i;

            if (i < 1000)
            {
                ASSERT_EQ (-expected, right[i]);
            }
        }
    }
}

TEST (FxSZStage, ScaleThenRoundUsesTheDoubleValueOfTheSingleGain)
{
    // 0.238f is 0.23800000548362732 as a double; the product must not pass through a float
    // 0.238 rounded separately.
    const double denominator[] = { 1.0, 0.0, 0.0, 0.0 };
    const double numerator[] = { 1.0, 0.0, 0.0, 0.0 };
    ScaledThirdOrder stage (FxSZBase::OutputGain::scaleThenRound, 0.238f);
    stage.setAnalogCoefficients (denominator, numerator);

    float x = 0.7777777f;
    stage.processMono (&x, 1);
    EXPECT_EQ ((float) (0.7777777f * 0.23800000548362732), x);
}
