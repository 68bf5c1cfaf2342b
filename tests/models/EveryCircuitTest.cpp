// Checks that hold for every circuit: typed tests that run for each of the five, and checks of
// the five against each other.

#include "CircuitTestHelpers.h"
#include "ProcessorTestHelpers.h"

#include <gtest/gtest.h>

#include <cfloat>

using namespace CircuitTest;

namespace
{
bool isDenormal (float x) { return x != 0.0f && std::abs (x) < FLT_MIN; }

// The loudest output that the hot noise (peaks of 4) of CleanAtEveryRateAndFactor may give.
// "Pro Overdrive" adds its clipped signal to the clean input and passes the input's peaks.
template <typename Circuit>
constexpr float cleanTestCeiling = 2.0f;

template <>
constexpr float cleanTestCeiling<TS9Overdrive> = 4.0f;

// What is left of the level one glide after Level went to 0, relative to before.
template <typename Circuit>
constexpr float levelLeftAfterTheGlide = 0.05f;

template <>
constexpr float levelLeftAfterTheGlide<BluesBreakerOverdrive> = 0.02f;

// What is still settling a second later: the slowest poles of the network, and in "Boutique"
// and "Mad" the coupling high-passes of the buffers after the level (4 Hz, and 16 and 33 Hz).
template <typename Circuit>
constexpr float residueASecondLater = 1e-6f;

template <>
constexpr float residueASecondLater<CJOverdrive> = 1e-4f;

template <>
constexpr float residueASecondLater<LittleGreenOverdrive> = 1e-5f;
} // namespace

template <typename Circuit>
class EveryCircuit : public ::testing::Test
{
};

TYPED_TEST_SUITE (EveryCircuit, Circuits, CircuitTypeNames);

TYPED_TEST (EveryCircuit, SilenceInGivesNoNaNAndNoDenormals)
{
    for (float rate : { 44100.0f, 96000.0f })
    {
        for (int index = 0; index < 4; ++index)
        {
            TypeParam circuit;
            prepare (circuit, rate, { 0.7f, 0.3f, 0.8f, index });

            // Some signal first, so the histories have something to decay from.
            runMono (circuit, noise (4096, 0.5f, 5));
            const auto out = runMono (circuit, std::vector<float> ((size_t) rate, 0.0f));

            for (size_t i = 0; i < out.size(); ++i)
            {
                ASSERT_TRUE (std::isfinite (out[i])) << " at " << i;
                ASSERT_FALSE (isDenormal (out[i])) << "rate " << rate << " index " << index << " at " << i << ": " << out[i];
            }

            EXPECT_LT (std::abs (out.back()), 1e-4f); // the slowest input coupling takes seconds to settle
        }
    }
}

TYPED_TEST (EveryCircuit, StartedAgainItSoundsLikeANewOne)
{
    // A circuit that played with other values, then forgot its coefficients and was reset and
    // started with new ones, is exactly a circuit built with the new ones: nothing of its past
    // (histories, coefficients it would glide from, its fade) reaches its output.
    const Settings wanted { 0.2f, 0.8f, 0.3f, 0 };

    struct Case
    {
        Settings played;
        bool atFullLevel, ran;
    };

    const Settings other { 0.9f, 0.1f, 0.8f, 2 };

    for (const auto& [played, atFullLevel, ran] : { Case { other, false, true }, Case { other, true, true }, Case { {}, true, false }, Case { {}, true, true } })
    {
        TypeParam used;
        prepare (used, 48000.0f, played);

        if (ran)
            runMono (used, noise (8192, 0.5f, 3));

        used.forgetCoefficients();
        prepare (used, 48000.0f, wanted);

        TypeParam fresh;
        prepare (fresh, 48000.0f, wanted);

        if (atFullLevel)
        {
            used.skipStartFade();
            fresh.skipStartFade();
        }

        const auto input = noise (6000, 0.5f, 4);
        const auto a = runMono (used, input);
        const auto b = runMono (fresh, input);

        for (size_t i = 0; i < a.size(); ++i)
            ASSERT_EQ (b[i], a[i]) << "sample " << i << (atFullLevel ? ", at full level" : "") << (ran ? ", after playing" : "") << ", from factor index " << played.oversamplingIndex;
    }
}

TYPED_TEST (EveryCircuit, NoiseInGivesBoundedAudibleOutput)
{
    for (int index = 0; index < 4; ++index)
    {
        for (float drive : { 0.0f, 1.0f })
        {
            TypeParam circuit;
            prepare (circuit, 48000.0f, { drive, 1.0f, 1.0f, index });
            const auto out = runMono (circuit, noise (48000, 1.0f, 7));

            for (auto v : out)
                ASSERT_TRUE (std::isfinite (v));

            EXPECT_LT (peak (out, 0, out.size()), 8.0f) << "index " << index << " drive " << drive;
            EXPECT_GT (rms (out, 24000), 1e-3) << "index " << index << " drive " << drive;
        }
    }
}

TYPED_TEST (EveryCircuit, StereoEqualsMonoOnIdenticalChannels)
{
    for (int index : { 0, 1, 3 })
    {
        TypeParam mono, stereo;
        prepare (mono, 48000.0f, { 0.8f, 0.4f, 0.6f, index });
        prepare (stereo, 48000.0f, { 0.8f, 0.4f, 0.6f, index });

        auto x = noise (10000, 0.7f, 3);
        auto left = x, right = x;
        const auto out = runMono (mono, x);

        for (size_t start = 0; start < left.size(); start += 512)
        {
            const auto n = (int) std::min<size_t> (512, left.size() - start);
            stereo.processStereo (left.data() + start, right.data() + start, n);
        }

        EXPECT_EQ (out, left) << "index " << index;
        EXPECT_EQ (out, right) << "index " << index;
    }
}

TYPED_TEST (EveryCircuit, CleanAtEveryRateAndFactor)
{
    // Loud noise, then silence: finite and bounded, no denormal in the output or the filter
    // memories, and stereo with identical channels equal to mono, sample for sample, in blocks
    // of every size.
    for (const float rate : { 44100.0f, 48000.0f, 96000.0f, 192000.0f })
    {
        for (int index = 0; index < 4; ++index)
        {
            TypeParam stereo, mono;
            prepare (stereo, rate, { 1.0f, 0.8f, 1.0f, index });
            prepare (mono, rate, { 1.0f, 0.8f, 1.0f, index });

            const auto noisy = (size_t) ModelFrame::startFadeLength (rate) + (size_t) (rate * 0.1f);
            const auto total = noisy + (size_t) (rate * 0.5f);
            auto left = noise ((int) noisy, 4.0f, 11);
            left.resize (total, 0.0f);

            auto right = left, single = left;

            for (size_t i = 0, n = 1; i < total; i += n, n = n % 700 + 37)
            {
                const auto count = (int) std::min (n, total - i);
                stereo.processStereo (left.data() + i, right.data() + i, count);
                mono.processMono (single.data() + i, count);
            }

            int subnormals = 0;

            for (size_t i = 0; i < total; ++i)
            {
                ASSERT_TRUE (std::isfinite (left[i]));
                ASSERT_EQ (left[i], right[i]) << rate << " Hz, index " << index << ", sample " << i;
                ASSERT_EQ (left[i], single[i]) << rate << " Hz, index " << index << ", sample " << i;
                subnormals += std::fpclassify (left[i]) == FP_SUBNORMAL ? 1 : 0;
            }

            EXPECT_EQ (0, subnormals + countSubnormalMemories (stereo)) << rate << " Hz, index " << index;
            EXPECT_LT (peak (left, 0, total), cleanTestCeiling<TypeParam>) << rate << " Hz, index " << index;
            EXPECT_GT (peak (left, 0, total), 0.1f) << rate << " Hz, index " << index;
        }
    }
}

TYPED_TEST (EveryCircuit, GlitchFreeAtEveryRateAndFactor)
{
    for (const auto rate : { 44100.0f, 48000.0f, 96000.0f, 192000.0f })
    {
        for (int index = 0; index < 4; ++index)
        {
            const auto n = (int) (rate * 0.15f);
            auto input = noise (n, 2.0f, (unsigned) index + 1);
            input.resize ((size_t) n * 3, 0.0f);

            PreparedCircuit<TypeParam> stereo (rate, 1.0f, 0.5f, 1.0f, index), mono (rate, 1.0f, 0.5f, 1.0f, index);
            const auto out = stereo.run (input);
            const auto outMono = mono.run (input, false, 300);

            ASSERT_EQ (0, std::memcmp (out.data(), outMono.data(), out.size() * sizeof (float))) << "mono matches stereo, " << rate << " Hz, index " << index;

            for (const auto v : out)
            {
                ASSERT_TRUE (std::isfinite (v));
                ASSERT_NE (FP_SUBNORMAL, std::fpclassify (v)) << rate << " Hz, index " << index;
            }

            EXPECT_LT (peak (out, 0, out.size()), 1.5f) << rate << " Hz, index " << index;
            EXPECT_GT (peak (out, 0, out.size()), 0.2f) << rate << " Hz, index " << index;

            // Silence in: nothing audible out, and nothing denormal.
            PreparedCircuit<TypeParam> quiet (rate, 1.0f, 0.5f, 1.0f, index);
            const auto zeros = quiet.run (std::vector<float> ((size_t) rate / 2, 0.0f));

            for (const auto v : zeros)
            {
                ASSERT_LT (std::abs (v), 1.0e-6f) << rate << " Hz, index " << index;
                ASSERT_NE (FP_SUBNORMAL, std::fpclassify (v));
            }
        }
    }
}

TYPED_TEST (EveryCircuit, LevelZeroFadesToSilenceOverTheCoefficientGlide)
{
    TypeParam circuit;
    prepare (circuit, 48000.0f, { 0.5f, 0.5f, 0.5f, 0 });

    const size_t change = 20000, glide = 2048;
    auto signal = sine (48000 * 2, 220.0, 48000.0f, 0.25f);
    runMono (circuit, signal, 0, change);
    const auto before = peak (signal, change - 5000, change);
    const auto stepBefore = largestStep (signal, change - 1000, change);
    ASSERT_GT (before, 0.1f);

    circuit.setParameter (ModelParameters::level, 0.0f);
    circuit.parameterChanged (ModelParameters::level);
    runMono (circuit, signal, change, signal.size());

    EXPECT_LE (peak (signal, change, signal.size()), 1.01f * before);
    EXPECT_LE (largestStep (signal, change - 1, change + glide), stepBefore);

    // The level falls window by window while the gain glides to zero.
    for (size_t w = change; w + 512 <= change + glide; w += 512)
        EXPECT_LT (peak (signal, w + 512, w + 1024), peak (signal, w, w + 512)) << w - change;

    EXPECT_LT (peak (signal, change + glide, change + glide + 512), levelLeftAfterTheGlide<TypeParam> * before);

    // What is left dies away.
    EXPECT_LT (peak (signal, signal.size() - 512, signal.size()), residueASecondLater<TypeParam>);
}

//==============================================================================
TYPED_TEST (EveryCircuit, OversamplingChangeFadesOutWaitsForTheTimerAndFadesInWithTheNewFactor)
{
    struct Case
    {
        float rate;
        int from, to;
        size_t quarter;
        size_t silentAfterFade; // samples after the fade from which the output is exactly 0
    };

    for (const auto& c : { Case { 44100.0f, 0, 3, 11025, 1 }, Case { 48000.0f, 1, 2, 12000, 100 } })
    {
        SCOPED_TRACE (std::to_string (c.rate) + " Hz, index " + std::to_string (c.from) + " to " + std::to_string (c.to));
        TypeParam circuit, unchanged;
        prepare (circuit, c.rate, { 0.7f, 0.5f, 0.5f, c.from });
        prepare (unchanged, c.rate, { 0.7f, 0.5f, 0.5f, c.from });
        EXPECT_EQ (c.from, circuit.getOversampledStage().getActiveIndex());

        auto signal = sine (60000, 220.0, c.rate, 0.25f);
        auto reference = signal;
        const size_t request = 10000;
        runMono (circuit, signal, 0, request, 500);
        runMono (unchanged, reference, 0, request, 500);
        ASSERT_EQ (ModelFrame::active, circuit.getFrame().getFadeState());

        circuit.setParameter (ModelParameters::numOverSampling, ModelParameters::toNumOverSampling (c.to));
        circuit.parameterChanged (ModelParameters::numOverSampling);
        EXPECT_EQ (c.to, circuit.getOversamplingIndex());
        EXPECT_TRUE (circuit.isTimerRunning());

        circuit.timerCallback();
        EXPECT_EQ (c.from, circuit.getOversampledStage().getActiveIndex()) << "nothing is rebuilt while the circuit is heard";

        // A quarter second down to silence, on the circuit's own output.
        runMono (circuit, signal, request, request + c.quarter + 100, 500);
        runMono (unchanged, reference, request, request + c.quarter, 500);
        EXPECT_EQ (c.quarter, (size_t) circuit.getFrame().getFadeLength());

        for (size_t i = 0; i < c.quarter; ++i)
        {
            // The gain is stepped in single precision: within a few 1e-4 of the straight line.
            const auto gain = 1.0f - (float) i / (float) c.quarter;
            ASSERT_NEAR (reference[request + i] * gain, signal[request + i], 2e-4f) << i;
        }

        // Zeros, however long the timer takes.
        ASSERT_EQ (ModelFrame::silentState, circuit.getFrame().getFadeState());
        const size_t silentFrom = request + c.quarter + 100, tick = silentFrom + 5000;
        runMono (circuit, signal, silentFrom, tick, 500);
        EXPECT_EQ (0.0f, peak (signal, request + c.quarter + c.silentAfterFade, tick));
        EXPECT_EQ (c.from, circuit.getOversampledStage().getActiveIndex());

        circuit.timerCallback();
        EXPECT_FALSE (circuit.isTimerRunning());
        EXPECT_EQ (c.to, circuit.getOversampledStage().getActiveIndex());
        EXPECT_EQ ((float) (1 << c.to) * c.rate, circuit.getOversampledStage().getOversampledRate());

        // A quarter second back up, then the circuit plays at the new factor.
        runMono (circuit, signal, tick, signal.size(), 500);
        EXPECT_EQ (0.0f, signal[tick]);
        EXPECT_LE (largestStep (signal, tick, tick + c.quarter), 2.0f * largestStep (reference, 0, request));

        for (size_t w = tick; w + 2048 <= tick + c.quarter; w += 2048)
            EXPECT_LT (peak (signal, w, w + 1024), peak (signal, w + 1024, w + 2048) + 1e-4f) << w - tick;

        EXPECT_EQ (ModelFrame::active, circuit.getFrame().getFadeState());
        EXPECT_NEAR (peak (reference, request - 2000, request), peak (signal, signal.size() - 2000, signal.size()), 0.02f);
    }
}

TYPED_TEST (EveryCircuit, OversamplingChangeWhileOffIsAppliedAtTheTickWithoutAnyChange)
{
    for (const auto& [rate, index] : { std::pair<float, int> { 48000.0f, 2 }, std::pair<float, int> { 44100.0f, 3 } })
    {
        TypeParam circuit;
        prepare (circuit, rate, { 0.5f, 0.5f, 0.5f, 0, false });

        circuit.setParameter (ModelParameters::numOverSampling, ModelParameters::toNumOverSampling (index));
        circuit.parameterChanged (ModelParameters::numOverSampling);

        auto signal = sine (4096, 220.0, rate, 0.25f);
        const auto input = signal;
        runMono (circuit, signal, 0, 2048);
        circuit.timerCallback();
        EXPECT_EQ (index, circuit.getOversampledStage().getActiveIndex()) << rate;
        EXPECT_FALSE (circuit.isTimerRunning());
        runMono (circuit, signal, 2048, 4096);
        EXPECT_EQ (input, signal) << rate;
    }
}

TYPED_TEST (EveryCircuit, NumOverSamplingSelectsFloorOfThreeTimesTheValue)
{
    // The exact floor of 3 v, also right next to 1/3, 2/3 and 1.
    TypeParam circuit;
    std::vector<float> values = { 0.0f, 0.2f, 0.5f, 0.9f, 1.0f };

    for (const float boundary : { 1.0f / 3.0f, 2.0f / 3.0f, 1.0f })
    {
        auto v = boundary;

        for (int i = 0; i < 300; ++i)
            v = std::nextafter (v, 0.0f);

        for (int i = 0; i < 600 && v <= 1.0f; ++i, v = std::nextafter (v, 2.0f))
            values.push_back (v);
    }

    for (const auto v : values)
    {
        circuit.setParameter (ModelParameters::numOverSampling, v);
        const auto exact = (int) std::floor ((long double) v * 3.0L);
        ASSERT_EQ (std::min (exact, 3), circuit.getOversamplingIndex()) << v;
        EXPECT_EQ (v, circuit.getParameter (ModelParameters::numOverSampling));
    }

    // The host rate caps the factor when it is applied.
    const std::pair<float, int> caps[] = { { 44100.0f, 3 }, { 48000.0f, 3 }, { 88200.0f, 2 }, { 96000.0f, 2 }, { 176400.0f, 1 }, { 192000.0f, 1 }, { 384000.0f, 0 } };

    for (const auto& [rate, index] : caps)
    {
        prepare (circuit, rate, { 0.5f, 0.5f, 0.5f, 3 });
        EXPECT_EQ (index, circuit.getOversampledStage().getActiveIndex()) << rate;
    }
}

//==============================================================================
// The circuits whose knobs all live in stages at the host rate, which the oversampling timer
// never holds.
template <typename Circuit>
class CircuitWithKnobsAtTheHostRate : public ::testing::Test
{
};

using CircuitsWithKnobsAtTheHostRate = ::testing::Types<BluesBreakerOverdrive, OCDOverdrive>;
TYPED_TEST_SUITE (CircuitWithKnobsAtTheHostRate, CircuitsWithKnobsAtTheHostRate);

TYPED_TEST (CircuitWithKnobsAtTheHostRate, HistoryClearDuringTheRebuildWaitsForItAndKnobsDoNot)
{
    // While the timer rebuilds the oversampled stage, a clear of the histories from the audio
    // thread waits and is applied before the circuit resumes; Drive, Tone and Level are
    // applied at once.
    TypeParam circuit;
    prepare (circuit, 44100.0f, { 0.5f, 0.5f, 0.5f, 0 });
    auto signal = sine (30000, 220.0, 44100.0f, 0.25f);
    runMono (circuit, signal, 0, 30000);

    circuit.setParameter (ModelParameters::numOverSampling, ModelParameters::toNumOverSampling (1));
    circuit.parameterChanged (ModelParameters::numOverSampling);
    signal = sine (12000, 220.0, 44100.0f, 0.25f);
    runMono (circuit, signal, 0, 12000);
    ASSERT_EQ (ModelFrame::Phase::silent, circuit.getFrame().getPhase());

    // The first stage takes Drive, the last Tone and Level.
    auto& driveStage = std::get<0> (circuit.stages());
    auto& levelStage = std::get<2> (circuit.stages());
    const auto& history = driveStage.getFilter().left;
    ASSERT_NE (0.0, history.y[0]);
    circuit.clearState();
    EXPECT_NE (0.0, history.y[0]) << "cleared while the timer owns the stages";

    const auto before = driveStage.getFilter().target.b[1];
    circuit.setParameter (ModelParameters::drive, 0.9f);
    circuit.parameterChanged (ModelParameters::drive);
    circuit.setParameter (ModelParameters::level, 0.2f);
    circuit.parameterChanged (ModelParameters::level);
    EXPECT_NE (before, driveStage.getFilter().target.b[1]);
    EXPECT_EQ (0.2f, levelStage.level);

    circuit.timerCallback();
    EXPECT_EQ (1, circuit.getOversampledStage().getActiveIndex());

    // Silence in gives exact silence out only from clean histories.
    std::vector<float> zeros (2048, 0.0f);
    circuit.processMono (zeros.data(), (int) zeros.size());
    EXPECT_LT (peak (zeros, 0, zeros.size()), 1e-7f);
    EXPECT_LT (std::abs (history.y[0]), 1e-7);
}

//==============================================================================
TEST (CircuitComparison, CircuitsSoundDifferent)
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

TEST (CircuitComparison, CrossfadesBetweenAnyTwoCircuitsAreSmooth)
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
            setValue (processor, HostParameters::overdriveType, HostParameters::getModelValue (from));
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
                    setValue (processor, HostParameters::overdriveType, HostParameters::getModelValue (to));
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
            const auto before = largestStep (y, 8192, (size_t) changeAt);
            const auto after = largestStep (y, (size_t) changeAt + 8192, (size_t) output.getNumSamples());
            const auto during = largestStep (y, (size_t) changeAt, (size_t) changeAt + 8192);
            EXPECT_LE (during, 1.5f * std::max (before, after) + 1e-3f) << from << " -> " << to;
        }
    }
}
