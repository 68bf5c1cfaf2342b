// "Blues Overdrive": the clipper that replaces its input with the clipped signal mixed with the
// clean one, the component-derived coefficients at the ends of the controls, the network's loss
// applied after rounding, Level 0, the oversampling change through the circuit's own timer, and
// clean behaviour at every rate and factor.

#include "CircuitReferences.h"
#include "CircuitTestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace CircuitTest;

TEST (BluesOverdrive, DiodeStageReplacesItsInputWithTheClippedMixAtEveryRateAndFactor)
{
    // A settled constant u gives limit (u * 0.68 + curve (rails (22 u))). The one curve serves
    // every rate, also those without a rate-dependent table (32 and 50 kHz).
    struct Case
    {
        float rate;
        int index;
    };

    const Case cases[] = { { 44100.0f, 0 }, { 44100.0f, 3 }, { 48000.0f, 1 }, { 96000.0f, 2 }, { 192000.0f, 1 }, { 32000.0f, 0 }, { 50000.0f, 3 } };

    for (const auto& c : cases)
    {
        for (const float u : { 1.0f, -1.0f, 0.01f, 0.1f })
        {
            BluesBreakerDiodeStage stage;
            stage.setSampleRate (c.rate);
            stage.setFactorIndex (c.index);
            stage.initParameters();
            stage.applyFactor();
            ASSERT_TRUE (stage.tableReader.hasActiveTable()) << c.rate;

            std::vector<float> left (8000, u), right (8000, u), mono (8000, u);
            stage.processStereo (left.data(), right.data(), (int) left.size());
            stage.reset();
            stage.processMono (mono.data(), (int) mono.size());

            const auto x = (long double) u;
            const auto expected = x * (long double) 0.68f + settledDiode (railLimited (22.0L * x), 2e-9L, 0.05L);

            // The oversampling filters' passband ripple leaves the settled level a few 1e-6 off.
            const auto tolerance = c.index == 0 ? 2e-6 : 2e-5 * std::abs ((double) expected);
            EXPECT_NEAR ((double) expected, left.back(), tolerance) << c.rate << " Hz, index " << c.index << ", u " << u;
            EXPECT_EQ (left.back(), right.back());
            EXPECT_EQ (left.back(), mono.back());
        }
    }

    // The figure to remember: 1.0 settles at about 1.775921, not 1.0 more.
    BluesBreakerDiodeStage stage;
    stage.setSampleRate (44100.0f);
    stage.applyFactor();
    std::vector<float> one (100, 1.0f);
    stage.processMono (one.data(), 100);
    EXPECT_NEAR (1.775921, one.back(), 1e-6);
}

TEST (BluesOverdrive, CoefficientsAtTheEndsOfTheControls)
{
    // R = 500 kOhm x Drive; U = 1 - (9^(1 - Tone) - 1) / 8, worked by hand (9^0.5 = 3). The
    // gain prototypes are the component polynomials multiplied out by hand for R = 0 and R = 500k.
    struct Row
    {
        float drive, tone, level;
        double r;
        float u;
        double filterA0;
        std::vector<double> filterNumerator, gainDenominator, gainNumerator;
    };

    const Row rows[] = {
        { 0.0f, 0.0f, 1.0f, 0.0, 0.0f, 132800.0, { 0.0, 10000.0, 0.0, 0.0 }, { 1.0, 0.010127, 1.271551e-6, 1.551e-11, 0.0 }, { 0.0, 0.01, 1.27e-6, 1.551e-11, 0.0 } },
        { 0.5f, 0.5f, 0.5f, 250000.0, 0.75f, 114050.0, { 0.0, 5000.0, 0.9375, 0.0 }, {}, {} },
        { 1.0f, 1.0f, 0.0f, 500000.0, 1.0f, 107800.0, { 0.0, 0.0, 0.0, 0.0 }, { 1.0, 0.0101505, 1.5095355e-6, 4.53914485e-11, 3.64485e-16 }, { 0.0, 0.01, 5.1505e-5, 4.045355e-9, 3.64485e-16 } },
    };

    BluesBreakerOverdrive circuit;
    prepare (circuit, 48000.0f, { 0.5f, 0.5f, 0.5f, 0 });

    for (const auto& row : rows)
    {
        circuit.setParameter (1, row.drive);
        circuit.setParameter (2, row.tone);
        circuit.setParameter (3, row.level);
        circuit.parameterChanged (1);
        circuit.parameterChanged (2);

        EXPECT_EQ (row.drive, circuit.gainStage.drive);
        EXPECT_EQ (row.tone, circuit.filterStage.tone) << "Tone reaches the stage untapered";
        EXPECT_EQ (row.u, BluesBreakerFilterStage::taper (row.tone)) << row.tone;
        EXPECT_DOUBLE_EQ (row.r, circuit.gainStage.getDriveResistance());

        const auto [a, b] = circuit.filterStage.getPrototype();
        EXPECT_NEAR (row.filterA0, a[0], 1e-9 * row.filterA0);

        for (size_t k = 0; k < 4; ++k)
            EXPECT_NEAR (row.filterNumerator[k], b[k], 1e-12 * (1.0 + std::abs (row.filterNumerator[k]))) << "b" << k;

        const auto [gainA, gainB] = circuit.gainStage.getPrototype();

        for (size_t k = 0; k < row.gainDenominator.size(); ++k)
        {
            EXPECT_NEAR (row.gainDenominator[k], gainA[k], 1e-12 * std::abs (row.gainDenominator[k])) << "drive " << row.drive << " a" << k;
            EXPECT_NEAR (row.gainNumerator[k], gainB[k], 1e-12 * std::abs (row.gainNumerator[k])) << "drive " << row.drive << " b" << k;
        }

        // The stages take exactly these prototypes.
        FxSZBase4 gainReference;
        gainReference.setSampleRate (48000.0f);
        gainReference.setAnalogCoefficients (gainA.data(), gainB.data());
        FxSZBase3 filterReference;
        filterReference.setSampleRate (48000.0f);
        filterReference.setAnalogCoefficients (a.data(), b.data());

        for (size_t k = 0; k < 5; ++k)
        {
            EXPECT_EQ (gainReference.getFilter().target.a[k], circuit.gainStage.getFilter().target.a[k]);
            EXPECT_EQ (gainReference.getFilter().target.b[k], circuit.gainStage.getFilter().target.b[k]);
        }

        for (size_t k = 0; k < 4; ++k)
        {
            EXPECT_EQ (filterReference.getFilter().target.a[k], circuit.filterStage.getFilter().target.a[k]);
            EXPECT_EQ (filterReference.getFilter().target.b[k], circuit.filterStage.getFilter().target.b[k]);
        }
    }
}

TEST (BluesOverdrive, NetworkLossIsAppliedAfterRoundingToFloat)
{
    // The same filter run in double precision beside the stage gives y; the stage must give
    // (float) y * 0.3f, which differs from (float) (y * 0.3) on a good share of samples.
    BluesBreakerFilterStage stage;
    stage.setSampleRate (44100.0f);
    stage.tone = 0.3f;
    stage.level = 0.8f;
    stage.update();

    const auto [a, b] = stage.getPrototype();
    SZFilter<3, true> reference;
    reference.setSampleRate (44100.0f);
    reference.setAnalogCoefficients (a.data(), b.data(), 44100.0f);
    reference.beginBlock();

    const auto signal = noise (4000, 1.0f);

    auto output = signal;
    stage.processMono (output.data(), (int) output.size());

    int scaledInDouble = 0;

    for (size_t i = 0; i < signal.size(); ++i)
    {
        reference.advanceGlide();
        const auto y = reference.processSample ((double) signal[i], reference.left);
        ASSERT_EQ ((float) y * 0.3f, output[i]) << i;

        if ((float) (y * (double) 0.3f) != output[i])
            ++scaledInDouble;
    }

    EXPECT_GT (scaledInDouble, 100) << "the two orders must be told apart by this signal";
}

TEST (BluesOverdrive, LevelZeroFadesToSilenceOverTheCoefficientGlide)
{
    BluesBreakerOverdrive circuit;
    prepare (circuit, 48000.0f, { 0.5f, 0.5f, 0.5f, 0 });

    const size_t change = 20000, glide = 2048;
    auto signal = sine (48000 * 2, 220.0, 48000.0f, 0.25f);
    runMono (circuit, signal, 0, change);
    const auto before = peak (signal, change - 5000, change);
    const auto stepBefore = largestStep (signal, change - 1000, change);
    ASSERT_GT (before, 0.1f);

    circuit.setParameter (3, 0.0f);
    circuit.parameterChanged (3);
    runMono (circuit, signal, change, signal.size());

    EXPECT_LE (peak (signal, change, signal.size()), 1.01f * before);
    EXPECT_LE (largestStep (signal, change - 1, change + glide), stepBefore);

    // The level falls window by window while the numerator glides to zero.
    for (size_t w = change; w + 512 <= change + glide; w += 512)
        EXPECT_LT (peak (signal, w + 512, w + 1024), peak (signal, w, w + 512)) << w - change;

    EXPECT_LT (peak (signal, change + glide, change + glide + 512), 0.02f * before);

    // What is left is the network's slowest pole (about 0.1 s) dying away.
    EXPECT_LT (peak (signal, signal.size() - 512, signal.size()), 1e-6f);
}

TEST (BluesOverdrive, OversamplingChangeFadesOutWaitsForTheTimerAndFadesInWithTheNewFactor)
{
    constexpr float rate = 44100.0f;
    constexpr size_t quarter = 11025;
    BluesBreakerOverdrive circuit, unchanged;
    prepare (circuit, rate, { 0.7f, 0.5f, 0.5f, 0 });
    prepare (unchanged, rate, { 0.7f, 0.5f, 0.5f, 0 });

    auto signal = sine (60000, 220.0, rate, 0.25f);
    auto reference = signal;
    const size_t request = 10000;
    runMono (circuit, signal, 0, request, 500);
    runMono (unchanged, reference, 0, request, 500);
    ASSERT_EQ (ModelFrame::active, circuit.getFrame().getFadeState());

    circuit.setParameter (4, 1.0f);
    circuit.parameterChanged (4);
    EXPECT_EQ (3, circuit.getOversamplingIndex());
    EXPECT_TRUE (circuit.isTimerRunning());

    circuit.timerCallback();
    EXPECT_EQ (0, circuit.diodeStage.getActiveIndex()) << "nothing is rebuilt while the circuit is heard";

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
    EXPECT_EQ (0.0f, peak (signal, request + quarter + 1, tick));
    EXPECT_EQ (0, circuit.diodeStage.getActiveIndex());

    circuit.timerCallback();
    EXPECT_FALSE (circuit.isTimerRunning());
    EXPECT_EQ (3, circuit.diodeStage.getActiveIndex());
    EXPECT_EQ (352800.0f, circuit.diodeStage.getOversampledRate());

    // A quarter second back up, then the circuit plays at 8x.
    runMono (circuit, signal, tick, signal.size(), 500);
    EXPECT_EQ (0.0f, signal[tick]);
    EXPECT_LE (largestStep (signal, tick, tick + quarter), 2.0f * largestStep (reference, 0, request));

    for (size_t w = tick; w + 2048 <= tick + quarter; w += 2048)
        EXPECT_LT (peak (signal, w, w + 1024), peak (signal, w + 1024, w + 2048) + 1e-4f) << w - tick;

    EXPECT_EQ (ModelFrame::active, circuit.getFrame().getFadeState());
    EXPECT_NEAR (peak (reference, request - 2000, request), peak (signal, signal.size() - 2000, signal.size()), 0.02f);
}

TEST (BluesOverdrive, OversamplingChangeWhileOffIsAppliedAtTheTickWithoutAnyChange)
{
    BluesBreakerOverdrive circuit;
    prepare (circuit, 48000.0f, { 0.5f, 0.5f, 0.5f, 0, false });

    circuit.setParameter (4, 2.0f / 3.0f);
    circuit.parameterChanged (4);

    auto signal = sine (4096, 220.0, 48000.0f, 0.25f);
    const auto input = signal;
    runMono (circuit, signal, 0, 2048);
    circuit.timerCallback();
    EXPECT_EQ (2, circuit.diodeStage.getActiveIndex());
    EXPECT_FALSE (circuit.isTimerRunning());
    runMono (circuit, signal, 2048, 4096);
    EXPECT_EQ (input, signal);
}

TEST (BluesOverdrive, HistoryClearDuringTheRebuildWaitsForItAndControlsDoNot)
{
    // While the timer rebuilds the diode stage, a clear of the histories from the audio thread
    // waits and is applied before the circuit resumes; Drive, Tone and Level, whose stages the
    // timer never touches, are applied at once.
    BluesBreakerOverdrive circuit;
    prepare (circuit, 44100.0f, { 0.5f, 0.5f, 0.5f, 0 });
    auto signal = sine (30000, 220.0, 44100.0f, 0.25f);
    runMono (circuit, signal, 0, 30000);

    circuit.setParameter (4, 1.0f / 3.0f);
    circuit.parameterChanged (4);
    signal = sine (12000, 220.0, 44100.0f, 0.25f);
    runMono (circuit, signal, 0, 12000);
    ASSERT_EQ (ModelFrame::Phase::silent, circuit.getFrame().getPhase());

    const auto& history = circuit.gainStage.getFilter().left;
    ASSERT_NE (0.0, history.y[0]);
    circuit.clearState();
    EXPECT_NE (0.0, history.y[0]) << "cleared while the timer owns the stages";

    const auto before = circuit.gainStage.getFilter().target.b[1];
    circuit.setParameter (1, 0.9f);
    circuit.parameterChanged (1);
    circuit.setParameter (3, 0.2f);
    circuit.parameterChanged (3);
    EXPECT_NE (before, circuit.gainStage.getFilter().target.b[1]);
    EXPECT_EQ (0.2f, circuit.filterStage.level);

    circuit.timerCallback();
    EXPECT_EQ (1, circuit.diodeStage.getActiveIndex());

    // Silence in gives exact silence out only from clean histories.
    std::vector<float> zeros (2048, 0.0f);
    circuit.processMono (zeros.data(), (int) zeros.size());
    EXPECT_LT (peak (zeros, 0, zeros.size()), 1e-7f);
    EXPECT_LT (std::abs (history.y[0]), 1e-7);
}

TEST (BluesOverdrive, NumOverSamplingSelectsFloorOfThreeTimesTheValue)
{
    // The product is formed in single precision. Near 1/3, 2/3 and 1 no float in 0..1 gives
    // a different floor than the exact product, so the expected index is the exact floor.
    BluesBreakerOverdrive circuit;
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
        EXPECT_EQ (v, circuit.getParameter (4));
    }

    // The host rate caps the factor when it is applied.
    const std::pair<float, int> caps[] = { { 44100.0f, 3 }, { 96000.0f, 2 }, { 192000.0f, 1 }, { 384000.0f, 0 } };

    for (const auto& [rate, index] : caps)
    {
        prepare (circuit, rate, { 0.5f, 0.5f, 0.5f, 3 });
        EXPECT_EQ (index, circuit.diodeStage.getActiveIndex()) << rate;
    }
}

TEST (BluesOverdrive, CleanAtEveryRateAndFactor)
{
    // Loud noise, then silence: finite and bounded, no denormal in the output or the filter
    // memories, and stereo with identical channels equal to mono, sample for sample.
    for (const float rate : { 44100.0f, 48000.0f, 96000.0f, 192000.0f })
    {
        for (int index = 0; index < 4; ++index)
        {
            BluesBreakerOverdrive stereo, mono;
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

            for (const auto* history : { &stereo.gainStage.getFilter().left, &stereo.gainStage.getFilter().right })
                for (size_t k = 0; k < 4; ++k)
                    subnormals += (std::fpclassify (history->x[k]) == FP_SUBNORMAL) + (std::fpclassify (history->y[k]) == FP_SUBNORMAL);

            for (const auto* history : { &stereo.filterStage.getFilter().left, &stereo.filterStage.getFilter().right })
                for (size_t k = 0; k < 3; ++k)
                    subnormals += (std::fpclassify (history->x[k]) == FP_SUBNORMAL) + (std::fpclassify (history->y[k]) == FP_SUBNORMAL);

            EXPECT_EQ (0, subnormals) << rate << " Hz, index " << index;
            EXPECT_LT (largest, 2.0f) << rate << " Hz, index " << index;
            EXPECT_GT (largest, 0.1f) << rate << " Hz, index " << index;
        }
    }
}
