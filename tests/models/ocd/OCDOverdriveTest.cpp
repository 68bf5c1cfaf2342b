// "Modern Overdrive": the clipper that replaces its input with the clipped signal, the
// component-derived coefficients at the ends of the controls, the output's loss applied in
// double precision before rounding, Level 0, the oversampling change through the circuit's own
// timer, and clean behaviour at every rate and factor.

#include "CircuitReferences.h"
#include "CircuitTestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace CircuitTest;

TEST (ModernOverdrive, DiodeStageReplacesItsInputWithTheClippedSignal)
{
    // A settled constant x gives curve (rails (x)): small signals pass at unity (0.1 stays
    // 0.1, never 0.2), 1.0 gives about 0.61645 and 10 is held by the rails first.
    struct Case
    {
        float rate;
        int index;
    };

    const Case cases[] = { { 44100.0f, 0 }, { 44100.0f, 3 }, { 48000.0f, 1 }, { 96000.0f, 2 }, { 192000.0f, 1 } };

    for (const auto& c : cases)
    {
        for (const float x : { 1.0f, -1.0f, 0.1f, 10.0f })
        {
            OCDDiodeStageOS stage;
            stage.setSampleRate (c.rate);
            stage.setFactorIndex (c.index);
            stage.initParameters();
            stage.applyFactor();

            std::vector<float> left (8000, x), right (8000, x), mono (8000, x);
            stage.processStereo (left.data(), right.data(), (int) left.size());
            stage.reset();
            stage.processMono (mono.data(), (int) mono.size());

            const auto expected = settledDiode (railLimited ((long double) x), 1.5e-11L, 0.025L);

            // The table's grid leaves the settled curve about 2e-6 off; the oversampling
            // filters' passband ripple a few 1e-6 more.
            const auto tolerance = c.index == 0 ? 5e-6 : 2e-5 * std::abs ((double) expected);
            EXPECT_NEAR ((double) expected, left.back(), tolerance) << c.rate << " Hz, index " << c.index << ", x " << x;
            EXPECT_EQ (left.back(), right.back());
            EXPECT_EQ (left.back(), mono.back());
        }
    }

    OCDDiodeStageOS stage;
    stage.setSampleRate (44100.0f);
    stage.applyFactor();
    std::vector<float> one (100, 1.0f);
    stage.processMono (one.data(), 100);
    EXPECT_NEAR (0.61645, one.back(), 1e-5);
}

TEST (ModernOverdrive, CoefficientsAtTheEndsOfTheControls)
{
    // R = ((32^Drive - 1) / 31) 500 kOhm + 18 kOhm; Rt and Rv = (81^x - 1) / 80 times 25 kOhm
    // and 100 kOhm (81^0.5 = 9). The drive prototype is checked against the gain network's
    // components below; the tone prototypes are multiplied out by hand where given.
    struct Row
    {
        float drive, tone, level;
        long double r;
        double rt, rv;
        std::vector<double> toneDenominator, toneNumerator;
    };

    const auto rAt = [] (long double d)
    { return (std::pow (32.0L, d) - 1.0L) / 31.0L * 500000.0L + 18000.0L; };

    const Row rows[] = {
        { 0.0f, 0.0f, 0.0f, 18000.0L, 0.0, 0.0, { 1.0, 0.017133, 5.20443e-5, 1.69884e-9, 0.0 }, { 0.0, 0.0, 0.0, 0.0, 0.0 } },
        { 0.5f, 0.5f, 0.5f, rAt (0.5L), 2500.0, 10000.0, {}, {} },
        { 1.0f, 1.0f, 1.0f, 518000.0L, 25000.0, 100000.0, {}, {} },
        { 0.25f, 0.0f, 1.0f, rAt (0.25L), 0.0, 100000.0, { 1.0, 0.121833, 5.258694e-4, 2.5917705e-7, 7.984548e-12 }, { 0.0, 0.1, 1.8933e-3, 1.287e-8, 0.0 } },
        { 0.75f, 1.0f, 0.0f, rAt (0.75L), 25000.0, 0.0, { 1.0, 0.018308, 7.2175575e-5, 6.28508925e-8, 1.996137e-12 }, { 0.0, 0.0, 0.0, 0.0, 0.0 } },
    };

    // The op-amp stage: Cf = 220 pF, Cg = 68 nF and Rg Cg = 1.496e-4 s.
    constexpr double cf = 220e-12, cg = 68e-9, rgCg = 1.496e-4;

    OCDOverdrive circuit;
    prepare (circuit, 48000.0f, { 0.5f, 0.5f, 0.5f, 0 });

    for (const auto& row : rows)
    {
        circuit.setParameter (1, row.drive);
        circuit.setParameter (2, row.tone);
        circuit.setParameter (3, row.level);
        circuit.parameterChanged (1);
        circuit.parameterChanged (3);

        EXPECT_EQ (row.drive, circuit.driveStage.drive);
        EXPECT_EQ (row.tone, circuit.toneVolumeStage.tone);
        EXPECT_EQ (row.level, circuit.toneVolumeStage.level);

        // The tapers are worked in single precision: a few 1e-8 of the pot's value.
        const auto r = circuit.driveStage.getDriveResistance();
        EXPECT_NEAR ((double) row.r, r, 0.05) << "drive " << row.drive;
        EXPECT_NEAR (row.rt, circuit.toneVolumeStage.getToneResistance(), 0.01) << "tone " << row.tone;
        EXPECT_NEAR (row.rv, circuit.toneVolumeStage.getVolumeResistance(), 0.01) << "level " << row.level;

        // 1 + s R Cg / ((1 + s R Cf) (1 + s Rg Cg)) over one denominator.
        const double driveDenominator[] = { 1.0, r * cf + rgCg, r * cf * rgCg };
        const double driveNumerator[] = { 1.0, r * cg + r * cf + rgCg, r * cf * rgCg };
        const auto [a, b] = circuit.driveStage.getPrototype();

        for (size_t k = 0; k < 3; ++k)
        {
            EXPECT_NEAR (driveDenominator[k], a[k], 1e-12 * driveDenominator[k]) << "drive " << row.drive << " a" << k;
            EXPECT_NEAR (driveNumerator[k], b[k], 1e-12 * driveNumerator[k]) << "drive " << row.drive << " b" << k;
        }

        FxSZBase2 driveReference;
        driveReference.setSampleRate (48000.0f);
        driveReference.setAnalogCoefficients (a.data(), b.data());

        for (size_t k = 0; k < 3; ++k)
        {
            EXPECT_EQ (driveReference.getFilter().target.a[k], circuit.driveStage.getFilter().target.a[k]);
            EXPECT_EQ (driveReference.getFilter().target.b[k], circuit.driveStage.getFilter().target.b[k]);
        }

        const auto [toneA, toneB] = circuit.toneVolumeStage.getPrototype();

        for (size_t k = 0; k < row.toneDenominator.size(); ++k)
        {
            EXPECT_NEAR (row.toneDenominator[k], toneA[k], 1e-12 * row.toneDenominator[k]) << "tone " << row.tone << " a" << k;
            EXPECT_NEAR (row.toneNumerator[k], toneB[k], 1e-12 * row.toneNumerator[k]) << "tone " << row.tone << " b" << k;
        }

        FxSZBase4 toneReference;
        toneReference.setSampleRate (48000.0f);
        toneReference.setAnalogCoefficients (toneA.data(), toneB.data());

        for (size_t k = 0; k < 5; ++k)
        {
            EXPECT_EQ (toneReference.getFilter().target.a[k], circuit.toneVolumeStage.getFilter().target.a[k]);
            EXPECT_EQ (toneReference.getFilter().target.b[k], circuit.toneVolumeStage.getFilter().target.b[k]);
        }
    }
}

TEST (ModernOverdrive, OutputLossIsAppliedInDoublePrecisionBeforeRounding)
{
    // The same filter run in double precision beside the stage gives y; the stage must give
    // (float) (y * 0.238), which differs from (float) y * 0.238f on a good share of samples.
    OCDToneVolumeStage stage;
    stage.setSampleRate (44100.0f);
    stage.tone = 0.3f;
    stage.level = 0.8f;
    stage.update();

    const auto [a, b] = stage.getPrototype();
    SZFilter<4, true> reference;
    reference.setSampleRate (44100.0f);
    reference.setAnalogCoefficients (a.data(), b.data(), 44100.0f);
    reference.beginBlock();

    const auto signal = noise (4000, 1.0f);

    auto output = signal;
    stage.processMono (output.data(), (int) output.size());

    constexpr double gain = 0.23800000548362732;
    ASSERT_EQ (gain, (double) 0.238f);
    int scaledAfterRounding = 0;

    for (size_t i = 0; i < signal.size(); ++i)
    {
        reference.advanceGlide();
        const auto y = reference.processSample ((double) signal[i], reference.left);
        ASSERT_EQ ((float) (y * gain), output[i]) << i;

        if ((float) y * 0.238f != output[i])
            ++scaledAfterRounding;
    }

    EXPECT_GT (scaledAfterRounding, 100) << "the two orders must be told apart by this signal";
}

TEST (ModernOverdrive, LevelZeroFadesToSilenceOverTheCoefficientGlide)
{
    OCDOverdrive circuit;
    prepare (circuit, 48000.0f, { 0.5f, 0.5f, 0.5f, 0 });

    const size_t change = 20000, glide = 2048;
    auto signal = sine (48000 * 2, 220.0, 48000.0f, 0.25f);
    runMono (circuit, signal, 0, change);
    const auto before = peak (signal, change - 5000, change);
    const auto stepBefore = largestStep (signal, change - 1000, change);
    ASSERT_GT (before, 0.1f);

    circuit.setParameter (3, 0.0f);
    circuit.parameterChanged (3);
    EXPECT_EQ (0.0, circuit.toneVolumeStage.getVolumeResistance());
    runMono (circuit, signal, change, signal.size());

    EXPECT_LE (peak (signal, change, signal.size()), 1.01f * before);
    EXPECT_LE (largestStep (signal, change - 1, change + glide), stepBefore);

    for (size_t w = change; w + 512 <= change + glide; w += 512)
        EXPECT_LT (peak (signal, w + 512, w + 1024), peak (signal, w, w + 512)) << w - change;

    EXPECT_LT (peak (signal, change + glide, change + glide + 512), 0.05f * before);
    EXPECT_LT (peak (signal, signal.size() - 512, signal.size()), 1e-6f);
}

TEST (ModernOverdrive, OversamplingChangeFadesOutWaitsForTheTimerAndFadesInWithTheNewFactor)
{
    constexpr float rate = 48000.0f;
    constexpr size_t quarter = 12000;
    OCDOverdrive circuit, unchanged;
    prepare (circuit, rate, { 0.7f, 0.5f, 0.5f, 1 });
    prepare (unchanged, rate, { 0.7f, 0.5f, 0.5f, 1 });
    EXPECT_EQ (1, circuit.diodeStage.getActiveIndex());

    auto signal = sine (60000, 220.0, rate, 0.25f);
    auto reference = signal;
    const size_t request = 10000;
    runMono (circuit, signal, 0, request, 500);
    runMono (unchanged, reference, 0, request, 500);
    ASSERT_EQ (ModelFrame::active, circuit.getFrame().getFadeState());

    circuit.setParameter (4, 2.0f / 3.0f);
    circuit.parameterChanged (4);
    EXPECT_EQ (2, circuit.getOversamplingIndex());
    EXPECT_TRUE (circuit.isTimerRunning());

    circuit.timerCallback();
    EXPECT_EQ (1, circuit.diodeStage.getActiveIndex()) << "nothing is rebuilt while the circuit is heard";

    // A quarter second down to silence, on the circuit's own output.
    runMono (circuit, signal, request, request + quarter + 100, 500);
    runMono (unchanged, reference, request, request + quarter, 500);
    EXPECT_EQ (quarter, (size_t) circuit.getFrame().getFadeLength());

    for (size_t i = 0; i < quarter; ++i)
    {
        // The gain is stepped in single precision: within a few 1e-4 of the straight line.
        const auto gain = 1.0f - (float) i / (float) quarter;
        ASSERT_NEAR (reference[request + i] * gain, signal[request + i], 2e-4f) << i;
    }

    // Zeros, however long the timer takes.
    ASSERT_EQ (ModelFrame::silentState, circuit.getFrame().getFadeState());
    const size_t silentFrom = request + quarter + 100, tick = silentFrom + 5000;
    runMono (circuit, signal, silentFrom, tick, 500);
    EXPECT_EQ (0.0f, peak (signal, silentFrom, tick));
    EXPECT_EQ (1, circuit.diodeStage.getActiveIndex());

    circuit.timerCallback();
    EXPECT_FALSE (circuit.isTimerRunning());
    EXPECT_EQ (2, circuit.diodeStage.getActiveIndex());
    EXPECT_EQ (192000.0f, circuit.diodeStage.getOversampledRate());

    // A quarter second back up, then the circuit plays at 4x.
    runMono (circuit, signal, tick, signal.size(), 500);
    EXPECT_EQ (0.0f, signal[tick]);
    EXPECT_LE (largestStep (signal, tick, tick + quarter), 2.0f * largestStep (reference, 0, request));

    for (size_t w = tick; w + 2048 <= tick + quarter; w += 2048)
        EXPECT_LT (peak (signal, w, w + 1024), peak (signal, w + 1024, w + 2048) + 1e-4f) << w - tick;

    EXPECT_EQ (ModelFrame::active, circuit.getFrame().getFadeState());
    EXPECT_NEAR (peak (reference, request - 2000, request), peak (signal, signal.size() - 2000, signal.size()), 0.02f);
}

TEST (ModernOverdrive, OversamplingChangeWhileOffIsAppliedAtTheTickWithoutAnyChange)
{
    OCDOverdrive circuit;
    prepare (circuit, 44100.0f, { 0.5f, 0.5f, 0.5f, 0, false });

    circuit.setParameter (4, 1.0f);
    circuit.parameterChanged (4);

    auto signal = sine (4096, 220.0, 44100.0f, 0.25f);
    const auto input = signal;
    runMono (circuit, signal, 0, 2048);
    circuit.timerCallback();
    EXPECT_EQ (3, circuit.diodeStage.getActiveIndex());
    EXPECT_FALSE (circuit.isTimerRunning());
    runMono (circuit, signal, 2048, 4096);
    EXPECT_EQ (input, signal);
}

TEST (ModernOverdrive, HistoryClearDuringTheRebuildWaitsForItAndControlsDoNot)
{
    // While the timer rebuilds the diode stage, a clear of the histories from the audio thread
    // waits and is applied before the circuit resumes; Drive, Tone and Level, whose stages the
    // timer never touches, are applied at once.
    OCDOverdrive circuit;
    prepare (circuit, 44100.0f, { 0.5f, 0.5f, 0.5f, 0 });
    auto signal = sine (30000, 220.0, 44100.0f, 0.25f);
    runMono (circuit, signal, 0, 30000);

    circuit.setParameter (4, 1.0f / 3.0f);
    circuit.parameterChanged (4);
    signal = sine (12000, 220.0, 44100.0f, 0.25f);
    runMono (circuit, signal, 0, 12000);
    ASSERT_EQ (ModelFrame::Phase::silent, circuit.getFrame().getPhase());

    const auto& history = circuit.driveStage.getFilter().left;
    ASSERT_NE (0.0, history.y[0]);
    circuit.clearState();
    EXPECT_NE (0.0, history.y[0]) << "cleared while the timer owns the stages";

    const auto before = circuit.driveStage.getFilter().target.b[1];
    circuit.setParameter (1, 0.9f);
    circuit.parameterChanged (1);
    circuit.setParameter (3, 0.2f);
    circuit.parameterChanged (3);
    EXPECT_NE (before, circuit.driveStage.getFilter().target.b[1]);
    EXPECT_EQ (0.2f, circuit.toneVolumeStage.level);

    circuit.timerCallback();
    EXPECT_EQ (1, circuit.diodeStage.getActiveIndex());

    // Silence in gives exact silence out only from clean histories.
    std::vector<float> zeros (2048, 0.0f);
    circuit.processMono (zeros.data(), (int) zeros.size());
    EXPECT_LT (peak (zeros, 0, zeros.size()), 1e-7f);
    EXPECT_LT (std::abs (history.y[0]), 1e-7);
}

TEST (ModernOverdrive, NumOverSamplingSelectsFloorOfThreeTimesTheValue)
{
    // The product is formed in double precision: the exact floor of 3 v, also right next to
    // 1/3, 2/3 and 1.
    OCDOverdrive circuit;
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
        circuit.setParameter (4, v);
        const auto exact = (int) std::floor ((long double) v * 3.0L);
        ASSERT_EQ (std::min (exact, 3), circuit.getOversamplingIndex()) << v;
    }

    const std::pair<float, int> caps[] = { { 48000.0f, 3 }, { 88200.0f, 2 }, { 176400.0f, 1 }, { 384000.0f, 0 } };

    for (const auto& [rate, index] : caps)
    {
        prepare (circuit, rate, { 0.5f, 0.5f, 0.5f, 3 });
        EXPECT_EQ (index, circuit.diodeStage.getActiveIndex()) << rate;
    }
}

TEST (ModernOverdrive, CleanAtEveryRateAndFactor)
{
    // Loud noise, then silence: finite and bounded, no denormal in the output or the filter
    // memories, and stereo with identical channels equal to mono, sample for sample.
    for (const float rate : { 44100.0f, 48000.0f, 96000.0f, 192000.0f })
    {
        for (int index = 0; index < 4; ++index)
        {
            OCDOverdrive stereo, mono;
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

            float largest = 0.0f;
            int subnormals = 0;

            for (size_t i = 0; i < total; ++i)
            {
                ASSERT_TRUE (std::isfinite (left[i]));
                ASSERT_EQ (left[i], right[i]) << rate << " Hz, index " << index << ", sample " << i;
                ASSERT_EQ (left[i], single[i]) << rate << " Hz, index " << index << ", sample " << i;
                largest = std::max (largest, std::abs (left[i]));
                subnormals += std::fpclassify (left[i]) == FP_SUBNORMAL ? 1 : 0;
            }

            for (const auto* history : { &stereo.driveStage.getFilter().left, &stereo.driveStage.getFilter().right })
                for (size_t k = 0; k < 2; ++k)
                    subnormals += (std::fpclassify (history->x[k]) == FP_SUBNORMAL) + (std::fpclassify (history->y[k]) == FP_SUBNORMAL);

            for (const auto* history : { &stereo.toneVolumeStage.getFilter().left, &stereo.toneVolumeStage.getFilter().right })
                for (size_t k = 0; k < 4; ++k)
                    subnormals += (std::fpclassify (history->x[k]) == FP_SUBNORMAL) + (std::fpclassify (history->y[k]) == FP_SUBNORMAL);

            EXPECT_EQ (0, subnormals) << rate << " Hz, index " << index;
            EXPECT_LT (largest, 2.0f) << rate << " Hz, index " << index;
            EXPECT_GT (largest, 0.1f) << rate << " Hz, index " << index;
        }
    }
}
