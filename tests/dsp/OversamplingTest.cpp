#include "TestSignals.h"
#include "dsp/FxModuleBase.h"
#include "dsp/OversamplingAlignment.h"
#include "dsp/OversamplingBase2.h"
#include "models/ts9/TS9TableReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace TestSignals;

namespace
{
// The reference runs the designed 14th-order polynomials in direct form. Their 8x denominator
// amplifies rounding by about 1e12, which leaves long double off by about 3e-7, so quad
// precision is used where the compiler has it.
#ifdef __SIZEOF_FLOAT128__
__extension__ typedef __float128 Reference;
#else
typedef long double Reference;
#endif

constexpr double pi = 3.141592653589793;

struct ReferenceComplex
{
    Reference re = 0;
    Reference im = 0;
};

ReferenceComplex operator* (ReferenceComplex a, ReferenceComplex b)
{
    return { a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re };
}

ReferenceComplex operator+ (ReferenceComplex a, ReferenceComplex b) { return { a.re + b.re, a.im + b.im }; }

double magnitude (ReferenceComplex a)
{
    return std::sqrt ((double) (a.re * a.re + a.im * a.im));
}

// |H (e^jw)| of the designed polynomials, w in radians per oversampled sample.
double designedMagnitude (int index, double w)
{
    const ReferenceComplex zInverse { (Reference) std::cos ((long double) w), (Reference) -std::sin ((long double) w) };
    ReferenceComplex numerator, denominator;

    for (int k = OversamplingLowpass::order; k >= 0; --k)
    {
        numerator = numerator * zInverse + ReferenceComplex { (Reference) OversamplingLowpass::getNumerator (index, k), 0 };
        denominator = denominator * zInverse + ReferenceComplex { (Reference) OversamplingLowpass::getDenominator (index, k), 0 };
    }

    return magnitude (numerator) / magnitude (denominator);
}

double realisedMagnitude (int index, double w)
{
    const auto& s = OversamplingLowpass::getSections (index);
    const auto z1 = std::polar (1.0L, (long double) -w);
    const auto z2 = z1 * z1;
    std::complex<long double> response ((long double) s.gain);

    for (int k = 0; k < OversamplingLowpass::numSections; ++k)
        response *= (1.0L + (long double) s.c[k] * z1 + z2) / (1.0L + (long double) s.a1[k] * z1 + (long double) s.a2[k] * z2);

    return (double) std::abs (response);
}

double decibels (double gain) { return 20.0 * std::log10 (gain); }

Reference designedDcGain (int index)
{
    Reference numerator = 0, denominator = 0;

    for (int k = 0; k <= OversamplingLowpass::order; ++k)
    {
        numerator += (Reference) OversamplingLowpass::getNumerator (index, k);
        denominator += (Reference) OversamplingLowpass::getDenominator (index, k);
    }

    return numerator / denominator;
}

// The designed low-pass in direct form I, as written down, in reference precision.
class ReferenceLowpass
{
public:
    explicit ReferenceLowpass (int filterIndex)
        : index (filterIndex)
    {
    }

    Reference step (Reference in)
    {
        for (int k = OversamplingLowpass::order; k > 0; --k)
            x[k] = x[k - 1];

        x[0] = in;
        Reference out = 0;

        for (int k = 0; k <= OversamplingLowpass::order; ++k)
            out += (Reference) OversamplingLowpass::getNumerator (index, k) * x[k];

        for (int k = 1; k <= OversamplingLowpass::order; ++k)
            out -= (Reference) OversamplingLowpass::getDenominator (index, k) * y[k - 1];

        for (int k = OversamplingLowpass::order - 1; k > 0; --k)
            y[k] = y[k - 1];

        y[0] = out;
        return out;
    }

private:
    int index;
    Reference x[OversamplingLowpass::order + 1] {};
    Reference y[OversamplingLowpass::order] {};
};

// The oversampled frame written out stage after stage over whole signals: zero-stuffing with
// gain F, interpolation, every chain stage over all sub-samples (plus, for a stage that adds
// its input, the interpolated input), decimation, then every F-th sub-sample starting with the
// first.
template <typename Stages>
std::vector<Reference> referenceOversampled (int index, const std::vector<float>& input, Stages&& stages, bool addInterpolatedInput = false)
{
    const auto factor = (size_t) 1 << index;
    std::vector<Reference> signal (input.size() * factor, 0);

    for (size_t i = 0; i < input.size(); ++i)
        signal[i * factor] = (Reference) factor * (Reference) input[i];

    if (index > 0)
    {
        ReferenceLowpass interpolator (index);

        for (auto& v : signal)
            v = interpolator.step (v);
    }

    const auto interpolated = signal;
    stages (signal);

    if (addInterpolatedInput)
        for (size_t i = 0; i < signal.size(); ++i)
            signal[i] += interpolated[i];

    if (index > 0)
    {
        ReferenceLowpass decimator (index);

        for (auto& v : signal)
            v = decimator.step (v);
    }

    std::vector<Reference> result (input.size());

    for (size_t i = 0; i < input.size(); ++i)
        result[i] = signal[i * factor];

    return result;
}

void prepare (OversamplingAlignment& alignment, float rate, int index)
{
    alignment.setSampleRate (rate);
    alignment.clearState();
    alignment.setRequestedIndex (index);
    alignment.update();
}

// A drive stage as the circuits build one: both bases, one override of the shared protocol
// operations, and an inner chain handed to the oversampled loop.
template <OversampledOutput output, typename Chain>
class TestDriveStage final : public FxModuleBase,
                             public OversamplingBase2
{
public:
    explicit TestDriveStage (Chain c)
        : chainLeft (c)
        , chainRight (c)
    {
    }

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
        processOversampled<output> (BlockChannels<2> { { left, right } }, numSamples, [this] (SampleFrame<2>& frame)
                                    {
            chainLeft (frame[0]);
            chainRight (frame[1]); });
    }

    void processMono (float* samples, int numSamples) override
    {
        processOversampled<output> (BlockChannels<1> { { samples } }, numSamples, [this] (SampleFrame<1>& frame)
                                    { chainLeft (frame[0]); });
    }

    Chain chainLeft;
    Chain chainRight;
};

template <OversampledOutput output, typename Chain>
std::unique_ptr<TestDriveStage<output, Chain>> makeStage (Chain chain, float rate, int index)
{
    auto stage = std::make_unique<TestDriveStage<output, Chain>> (chain);
    stage->setSampleRate (rate);
    stage->setFactorIndex (index);
    stage->updateRate();
    stage->applyFactor();
    return stage;
}

struct Identity
{
    void operator() (double&) const {}
};
} // namespace

//==============================================================================
TEST (OversamplingLowpass, RealisedResponseMatchesTheDesignUpTo90PercentOfTheBaseNyquist)
{
    for (int index = 1; index <= 3; ++index)
    {
        const auto baseNyquist = pi / (1 << index);
        auto largest = 0.0;

        for (int i = 0; i <= 2000; ++i)
        {
            const auto w = 0.9 * baseNyquist * i / 2000.0;
            largest = std::max (largest, std::abs (decibels (realisedMagnitude (index, w)) - decibels (designedMagnitude (index, w))));
        }

        EXPECT_LT (largest, 0.01) << "factor " << (1 << index);
    }
}

TEST (OversamplingLowpass, AttenuatesEverythingFromTheBaseNyquistUpBy80dB)
{
    for (int index = 1; index <= 3; ++index)
    {
        const auto baseNyquist = pi / (1 << index);
        EXPECT_LT (decibels (designedMagnitude (index, baseNyquist)), -80.0);
        EXPECT_NEAR (decibels (designedMagnitude (index, baseNyquist)), decibels (realisedMagnitude (index, baseNyquist)), 1.0e-3);

        for (int i = 0; i <= 2000; ++i)
        {
            const auto w = baseNyquist + (pi - baseNyquist) * i / 2000.0;
            ASSERT_LT (decibels (realisedMagnitude (index, w)), -80.0) << "factor " << (1 << index) << " at " << w;
        }
    }
}

TEST (OversamplingLowpass, HasTheDesignedUnityGainAtDc)
{
    for (int index = 1; index <= 3; ++index)
    {
        const auto designed = (double) designedDcGain (index);
        EXPECT_NEAR (1.0, designed, 1.0e-4);
        EXPECT_NEAR (designed, realisedMagnitude (index, 0.0), 1.0e-13);
    }
}

TEST (OversamplingLowpass, NumeratorIsSymmetricAndIndexZeroIsEmpty)
{
    for (int index = 1; index <= 3; ++index)
    {
        EXPECT_EQ (1.0, OversamplingLowpass::getDenominator (index, 0));

        for (int k = 0; k <= 14; ++k)
            EXPECT_EQ (OversamplingLowpass::getNumerator (index, k), OversamplingLowpass::getNumerator (index, 14 - k));
    }

    for (int k = 0; k < OversamplingLowpass::numSections; ++k)
        EXPECT_EQ (0.0, OversamplingLowpass::getSections (0).a1[k]);
}

//==============================================================================
TEST (OversamplingAlignment, SettlesOnTheDcGainForAConstantInput)
{
    for (int index = 1; index <= 3; ++index)
    {
        OversamplingAlignment alignment;
        prepare (alignment, 44100.0f, index);
        std::vector<float> left (4096, 1.0f), right (4096, 1.0f), mono (4096, 1.0f);
        alignment.processStereo (left.data(), right.data(), 4096);

        OversamplingAlignment monoAlignment;
        prepare (monoAlignment, 44100.0f, index);
        monoAlignment.processMono (mono.data(), 4096);

        // Interpolation and decimation each contribute the filter's DC gain; the images of the
        // zero-stuffed constant, attenuated twice by 90 dB or more, add less than 1e-9.
        const auto dc = (double) (designedDcGain (index) * designedDcGain (index));
        auto largest = 0.0;

        for (size_t i = 2048; i < 4096; ++i)
        {
            largest = std::max (largest, std::abs (left[i] - dc));
            largest = std::max (largest, std::abs (right[i] - dc));
            largest = std::max (largest, std::abs (mono[i] - dc));
        }

        EXPECT_LT (largest, 1.0e-6) << "factor " << (1 << index);
    }
}

TEST (OversamplingAlignment, SineFollowsTheDesignedFiltersToBelowMinus120dBc)
{
    for (int index = 1; index <= 3; ++index)
    {
        const auto input = sine (2048, 1000.0, 44100.0, 1.0f);
        auto output = input;
        OversamplingAlignment alignment;
        prepare (alignment, 44100.0f, index);
        alignment.processMono (output.data(), (int) output.size());

        const auto expected = referenceOversampled (index, input, [] (std::vector<Reference>&) {});
        double error = 0.0, power = 0.0;

        for (size_t i = 0; i < input.size(); ++i)
        {
            const auto e = (double) ((Reference) output[i] - expected[i]);
            error += e * e;
            power += (double) (expected[i] * expected[i]);
        }

        EXPECT_LT (10.0 * std::log10 (error / power), -120.0) << "factor " << (1 << index);
    }
}

TEST (OversamplingAlignment, LeavesTheBuffersUntouchedWithoutOversampling)
{
    const float unusualValues[] = { 1.0f, -0.0f, 1.0e-40f, 3.0e38f, -7.5f, std::numeric_limits<float>::quiet_NaN(), 0.25f };

    const struct
    {
        float rate;
        int index;
    } cases[] = { { 44100.0f, 0 }, { 384000.0f, 3 }, { 272400.0f, 1 } };

    for (const auto& c : cases)
    {
        OversamplingAlignment alignment;
        prepare (alignment, c.rate, c.index);
        EXPECT_EQ (0, alignment.getActiveIndex());

        float left[7], right[7], mono[7];
        std::memcpy (left, unusualValues, sizeof (unusualValues));
        std::memcpy (right, unusualValues, sizeof (unusualValues));
        std::memcpy (mono, unusualValues, sizeof (unusualValues));
        alignment.processStereo (left, right, 7);
        alignment.processMono (mono, 7);
        EXPECT_EQ (0, std::memcmp (left, unusualValues, sizeof (unusualValues)));
        EXPECT_EQ (0, std::memcmp (right, unusualValues, sizeof (unusualValues)));
        EXPECT_EQ (0, std::memcmp (mono, unusualValues, sizeof (unusualValues)));
    }

    OversamplingAlignment unloaded;
    prepare (unloaded, 44100.0f, 2);
    unloaded.initParameters();
    auto samples = noise (64, 1.0f, 1);
    const auto original = samples;
    unloaded.processMono (samples.data(), 64);
    EXPECT_EQ (original, samples);
}

TEST (OversamplingAlignment, CapsTheIndexByItsSampleRate)
{
    const struct
    {
        float rate;
        int requested;
        int active;
    } cases[] = { { 44100.0f, 3, 3 }, { 96000.0f, 3, 2 }, { 96000.0f, 1, 1 }, { 136100.0f, 2, 2 }, { 136200.0f, 2, 1 }, { 192000.0f, 3, 1 }, { 384000.0f, 1, 0 } };

    for (const auto& c : cases)
    {
        OversamplingAlignment alignment;
        prepare (alignment, c.rate, c.requested);
        EXPECT_EQ (c.active, alignment.getActiveIndex()) << c.rate << " Hz, index " << c.requested;
    }
}

TEST (OversamplingAlignment, MonoUsesTheLeftMemoriesAndChannelsAreIndependent)
{
    const auto first = noise (300, 1.0f, 2);
    const auto secondLeft = noise (300, 1.0f, 3);
    const auto secondRight = noise (300, 1.0f, 4);
    OversamplingAlignment monoThenStereo, stereoOnly, otherRight;

    for (auto* alignment : { &monoThenStereo, &stereoOnly, &otherRight })
        prepare (*alignment, 48000.0f, 3);

    auto mono = first;
    monoThenStereo.processMono (mono.data(), 300);
    auto left = first;
    std::vector<float> silence (300, 0.0f);
    stereoOnly.processStereo (left.data(), silence.data(), 300);
    EXPECT_EQ (mono, left);

    auto left1 = secondLeft, right1 = secondRight, left2 = secondLeft, right2 = secondRight;
    monoThenStereo.processStereo (left1.data(), right1.data(), 300);
    stereoOnly.processStereo (left2.data(), right2.data(), 300);
    EXPECT_EQ (left1, left2);
    EXPECT_EQ (right1, right2);

    auto left3 = first;
    auto right3 = noise (300, 1.0f, 5);
    otherRight.processStereo (left3.data(), right3.data(), 300);
    EXPECT_EQ (mono, left3);
}

//==============================================================================
TEST (OversamplingBase2, UpdateRateCapsTheIndexByTheBaseRate)
{
    const struct
    {
        float rate;
        int requested;
        int index;
        float oversampledRate;
    } cases[] = {
        { 44100.0f, 3, 3, 352800.0f },
        { 48000.0f, 2, 2, 192000.0f },
        { 68000.0f, 3, 3, 544000.0f },
        { 68100.0f, 3, 2, 272400.0f },
        { 96000.0f, 3, 2, 384000.0f },
        { 96000.0f, 1, 1, 192000.0f },
        { 136100.0f, 2, 2, 544400.0f },
        { 136200.0f, 2, 1, 272400.0f },
        { 192000.0f, 2, 1, 384000.0f },
        { 192000.0f, 3, 1, 384000.0f },
        { 272400.0f, 1, 0, 272400.0f },
        { 384000.0f, 3, 0, 384000.0f },
        { 384000.0f, 0, 0, 384000.0f },
    };

    for (const auto& c : cases)
    {
        OversamplingBase2 engine;
        engine.setBaseRate (c.rate);
        engine.setFactorIndex (c.requested);
        engine.updateRate();
        EXPECT_EQ (c.index, engine.getRequestedIndex()) << c.rate << " Hz, index " << c.requested;
        EXPECT_EQ (c.oversampledRate, engine.getOversampledRate()) << c.rate << " Hz, index " << c.requested;
        EXPECT_EQ (0, engine.getActiveIndex()); // nothing is applied yet
    }
}

// The drive stages, the dry-path alignment and the table readers cap the factor by one rule,
// so at every rate and index, the edges of the bands included, they agree on it.
TEST (OversamplingBase2, DriveStagesAlignmentAndTableReadersCapAlike)
{
    struct RateRecorder : TS9TableReader
    {
        const float* takeTable (const juce::String& tablePrefix, float rate) override
        {
            if (firstRate < 0.0f)
                firstRate = rate;

            return TS9TableReader::takeTable (tablePrefix, rate);
        }

        float firstRate = -1.0f;
    };

    for (const auto rate : { 22050.0f, 44100.0f, 68099.99f, 68100.0f, 96000.0f, 136199.99f, 136200.0f, 192000.0f, 272399.97f, 272400.0f, 384000.0f })
    {
        for (int index = 0; index <= 3; ++index)
        {
            SCOPED_TRACE (std::to_string (rate) + " Hz, index " + std::to_string (index));
            OversamplingBase2 engine;
            engine.setBaseRate (rate);
            engine.setFactorIndex (index);
            engine.updateRate();

            OversamplingAlignment alignment;
            prepare (alignment, rate, index);
            EXPECT_EQ (engine.getRequestedIndex(), alignment.getActiveIndex());

            // The reader is handed the uncapped index here; its first read asks for its rate.
            RateRecorder reader;
            reader.setSampleRate (rate);
            ASSERT_TRUE (reader.loadTables ("PDRD1", false));
            reader.setOversamplingIndex (index);
            reader.update();
            EXPECT_EQ (engine.getOversampledRate(), reader.firstRate);
        }
    }
}

TEST (OversamplingBase2, ApplyFactorActivatesTheRequestedIndexAndClearsTheMemories)
{
    OversamplingBase2 engine;
    EXPECT_EQ (0, engine.getActiveIndex());
    EXPECT_EQ (1, engine.getActiveFactor());
    EXPECT_FALSE (engine.areFiltersEnabled());
    EXPECT_EQ (44100.0f, engine.getOversampledRate());

    engine.setFactorIndex (2);
    EXPECT_EQ (0, engine.getActiveIndex());
    engine.applyFactor();
    EXPECT_EQ (2, engine.getActiveIndex());
    EXPECT_EQ (4, engine.getActiveFactor());
    EXPECT_TRUE (engine.areFiltersEnabled());

    engine.setFactorIndex (0);
    engine.applyFactor();
    EXPECT_FALSE (engine.areFiltersEnabled());

    // A switch starts from zeroed memories: the output matches a stage that never ran.
    auto used = makeStage<OversampledOutput::replaceInput> (Identity {}, 44100.0f, 3);
    auto scratch = noise (500, 1.0f, 6);
    used->processMono (scratch.data(), 500);
    used->applyFactor();

    auto fresh = makeStage<OversampledOutput::replaceInput> (Identity {}, 44100.0f, 3);
    auto fromUsed = noise (500, 1.0f, 7);
    auto fromFresh = fromUsed;
    used->processMono (fromUsed.data(), 500);
    fresh->processMono (fromFresh.data(), 500);
    EXPECT_EQ (fromFresh, fromUsed);
}

//==============================================================================
TEST (OversamplingFilters, AtIndexZeroRunsTheChainOncePerSampleWithoutFiltering)
{
    std::vector<double> seen;
    auto record = [&seen] (double& x)
    {
        seen.push_back (x);
        x *= 0.5;
    };

    const auto input = noise (64, 1.0f, 8);
    auto added = input, replaced = input;

    auto adding = makeStage<OversampledOutput::addToInput> (record, 44100.0f, 0);
    adding->processMono (added.data(), 64);
    ASSERT_EQ (64u, seen.size());

    for (size_t i = 0; i < input.size(); ++i)
    {
        EXPECT_EQ ((double) input[i], seen[i]);
        EXPECT_EQ (input[i] + (float) (0.5 * (double) input[i]), added[i]);
    }

    seen.clear();
    auto replacing = makeStage<OversampledOutput::replaceInput> (record, 44100.0f, 0);
    auto left = input, right = input;
    replacing->processStereo (left.data(), right.data(), 64);
    replacing->processMono (replaced.data(), 64);
    ASSERT_EQ (3u * 64u, seen.size());

    for (size_t i = 0; i < input.size(); ++i)
    {
        EXPECT_EQ ((float) (0.5 * (double) input[i]), replaced[i]);
        EXPECT_EQ (replaced[i], left[i]);
        EXPECT_EQ (replaced[i], right[i]);
    }
}

TEST (OversamplingFilters, RunsTheChainOnEverySubSample)
{
    for (int index = 1; index <= 3; ++index)
    {
        size_t calls = 0;
        auto count = [&calls] (double&)
        { ++calls; };
        auto stage = makeStage<OversampledOutput::replaceInput> (count, 44100.0f, index);
        auto left = noise (100, 1.0f, 9), right = noise (100, 1.0f, 10);
        stage->processStereo (left.data(), right.data(), 100);
        EXPECT_EQ ((size_t) 2 * 100 << index, calls);
    }
}

namespace
{
// A nonlinearity followed by a one-pole memory.
struct BentIntegrator
{
    double memory = 0.0;

    void operator() (double& x)
    {
        x = x + 0.1 * x * x;
        memory = x + 0.5 * memory;
        x = memory;
    }
};

std::vector<Reference> referenceBentIntegrator (int index, const std::vector<float>& input, bool addInterpolatedInput)
{
    return referenceOversampled (
        index, input, [] (std::vector<Reference>& signal)
        {
        for (auto& v : signal)
            v = v + (Reference) 0.1 * v * v;

        Reference memory = 0;

        for (auto& v : signal)
            v = memory = v + (Reference) 0.5 * memory; },
        addInterpolatedInput);
}

template <OversampledOutput output>
void expectFrameProcessedStageAfterStage (int index)
{
    const auto left = sine (1024, 997.0, 44100.0, 0.8f);
    const auto right = sine (1024, 3001.0, 44100.0, -0.6f);
    // Oversampled, a stage that adds its input adds it before decimation, so that the input
    // takes the same filter delay as the processed part; at 1x it adds in single precision.
    constexpr bool adds = output == OversampledOutput::addToInput;
    const auto expectedLeft = referenceBentIntegrator (index, left, adds && index > 0);
    const auto expectedRight = referenceBentIntegrator (index, right, adds && index > 0);

    auto stereo = makeStage<output> (BentIntegrator {}, 44100.0f, index);
    auto mono = makeStage<output> (BentIntegrator {}, 44100.0f, index);
    auto outLeft = left, outRight = right, outMono = left;
    stereo->processStereo (outLeft.data(), outRight.data(), 1024);
    mono->processMono (outMono.data(), 1024);

    const auto combined = [index] (float x, Reference y)
    {
        return adds && index == 0 ? x + (float) y : (float) y;
    };

    for (size_t i = 0; i < left.size(); ++i)
    {
        ASSERT_NEAR (combined (left[i], expectedLeft[i]), outLeft[i], 4.0e-7) << "factor " << (1 << index) << " sample " << i;
        ASSERT_NEAR (combined (right[i], expectedRight[i]), outRight[i], 4.0e-7) << "factor " << (1 << index) << " sample " << i;
        ASSERT_NEAR (combined (left[i], expectedLeft[i]), outMono[i], 4.0e-7) << "factor " << (1 << index) << " sample " << i;
    }
}
} // namespace

// The loop passes one sub-sample at a time through everything; it must agree with the frame
// processed stage after stage over whole signals.
TEST (OversamplingFilters, MatchesTheFrameProcessedStageAfterStage)
{
    for (int index = 0; index <= 3; ++index)
    {
        expectFrameProcessedStageAfterStage<OversampledOutput::addToInput> (index);
        expectFrameProcessedStageAfterStage<OversampledOutput::replaceInput> (index);
    }
}

// However a host splits the signal into blocks (one sample, odd sizes, empty blocks), every
// sub-sample the chain sees and every output is the same, at every factor, stereo and mono;
// that includes the decaying tail after a burst, where the filters' rounding of their
// memories against denormals decides the last bits.
TEST (OversamplingFilters, TheSameSamplesWhateverTheBlockSizes)
{
    constexpr int length = 4000;
    auto left = sine (length, 997.0, 44100.0, 0.8f);
    auto right = noise (length, 1.0f, 15);
    std::fill (left.begin() + 200, left.end(), 0.0f);
    std::fill (right.begin() + 300, right.end(), 0.0f);

    struct Recorder
    {
        std::vector<double>* seen;

        void operator() (double& x) const
        {
            seen->push_back (x);
            x = x + 0.1 * x * x;
        }
    };

    for (int index = 0; index <= 3; ++index)
    {
        struct Run
        {
            std::vector<double> seen, seenMono;
            std::vector<float> left, right, mono;
        };

        const auto run = [&] (bool split)
        {
            Run r { {}, {}, left, right, right };
            r.seen.reserve ((size_t) (2 * length) << index);
            r.seenMono.reserve ((size_t) length << index);
            auto stereo = makeStage<OversampledOutput::addToInput> (Recorder { &r.seen }, 44100.0f, index);
            auto mono = makeStage<OversampledOutput::addToInput> (Recorder { &r.seenMono }, 44100.0f, index);
            const int sizes[] = { 1, 2, 3, 0, 1, 7, 64, 5, 256, 1 };

            for (int start = 0, n = 0; start < length; ++n)
            {
                const auto size = split ? std::min (sizes[n % 10], length - start) : length;
                stereo->processStereo (r.left.data() + start, r.right.data() + start, size);
                mono->processMono (r.mono.data() + start, size);
                start += size;
            }

            return r;
        };

        const auto whole = run (false);
        const auto split = run (true);
        EXPECT_EQ (whole.seen, split.seen) << "index " << index;
        EXPECT_EQ (whole.seenMono, split.seenMono) << "index " << index;
        EXPECT_EQ (whole.left, split.left) << "index " << index;
        EXPECT_EQ (whole.right, split.right) << "index " << index;
        EXPECT_EQ (whole.mono, split.mono) << "index " << index;
    }
}

// Without the guard the slowest 8x pole takes a decaying tail into the denormal range after
// about 16000 host samples; with it the values stay on a grid far above that range.
TEST (OversamplingFilters, DecayingTailsNeverBecomeDenormal)
{
    struct Watch
    {
        int* denormals;

        void operator() (double& x) const
        {
            if (std::fpclassify (x) == FP_SUBNORMAL)
                ++*denormals;
        }
    };

    int denormals = 0;
    auto stage = makeStage<OversampledOutput::replaceInput> (Watch { &denormals }, 44100.0f, 3);
    std::vector<float> signal (20000, 0.0f);
    signal[0] = 1.0f;
    stage->processMono (signal.data(), (int) signal.size());
    EXPECT_EQ (0, denormals);

    for (const auto y : signal)
        ASSERT_NE (FP_SUBNORMAL, std::fpclassify (y));
}

TEST (OversamplingFilters, WithAnEmptyChainMatchesTheAlignmentExactly)
{
    for (int index = 1; index <= 3; ++index)
    {
        const auto left = noise (777, 1.0f, 11);
        const auto right = noise (777, 1.0f, 12);
        auto stage = makeStage<OversampledOutput::replaceInput> (Identity {}, 48000.0f, index);
        OversamplingAlignment alignment;
        prepare (alignment, 48000.0f, index);

        auto stageLeft = left, stageRight = right, alignedLeft = left, alignedRight = right;
        stage->processStereo (stageLeft.data(), stageRight.data(), 777);
        alignment.processStereo (alignedLeft.data(), alignedRight.data(), 777);
        EXPECT_EQ (alignedLeft, stageLeft);
        EXPECT_EQ (alignedRight, stageRight);

        stage->processMono (stageLeft.data(), 777);
        alignment.processMono (alignedLeft.data(), 777);
        EXPECT_EQ (alignedLeft, stageLeft);
    }
}

// A stage that adds its input passes that input through the same filter pair as its processed
// part: with nothing processed, what comes out is exactly the dry path's alignment, so the
// dry path stays aligned with the whole wet signal and no comb filter forms between the two
// terms. At 1x the input passes untouched.
TEST (OversamplingFilters, AddedInputTakesExactlyTheAlignmentDelay)
{
    const auto silence = [] (double& x)
    { x = 0.0; };

    for (int index = 0; index <= 3; ++index)
    {
        const auto left = noise (777, 1.0f, 13);
        const auto right = noise (777, 1.0f, 14);
        auto stage = makeStage<OversampledOutput::addToInput> (silence, 48000.0f, index);
        OversamplingAlignment alignment;
        prepare (alignment, 48000.0f, index);

        auto stageLeft = left, stageRight = right, alignedLeft = left, alignedRight = right;
        stage->processStereo (stageLeft.data(), stageRight.data(), 777);
        alignment.processStereo (alignedLeft.data(), alignedRight.data(), 777);
        EXPECT_EQ (alignedLeft, stageLeft) << "index " << index;
        EXPECT_EQ (alignedRight, stageRight) << "index " << index;

        stage->processMono (stageLeft.data(), 777);
        alignment.processMono (alignedLeft.data(), 777);
        EXPECT_EQ (alignedLeft, stageLeft) << "index " << index;

        if (index == 0)
        {
            EXPECT_EQ (right, stageRight);
        }
    }
}
