#include "CircuitReferences.h"
#include "CircuitTestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstring>
#include <vector>

using namespace CircuitTest;

namespace
{
using Circuit = PreparedCircuit<CJOverdrive>;

// The op-amp gain network 1 + s R Cg / ((1 + s R Cf)(1 + s Rg Cg)) with Cf = 51 pF,
// Cg = 220 nF and Rg Cg = 0.22 ms, multiplied out.
std::vector<long double> preClipperDenominator (long double r)
{
    return { 1.0L, r * 51.0e-12L + 2.2e-4L, r * 51.0e-12L * 2.2e-4L };
}

std::vector<long double> preClipperNumerator (long double r)
{
    return { 1.0L, r * 220.0e-9L + r * 51.0e-12L + 2.2e-4L, r * 51.0e-12L * 2.2e-4L };
}
} // namespace

TEST (CJOverdrive, KnobEdges)
{
    struct Case
    {
        float knob; // Drive, Tone and Level all at this position
        long double resistance, toneShare; // R and U
    };

    const Case cases[] = {
        { 0.0f, 10000.0L, 0.0L },
        { 0.5f, 110000.0L, 0.9L },
        { 1.0f, 1010000.0L, 1.0L },
    };

    for (const auto& c : cases)
    {
        CJPreClipperFilter preClipper;
        preClipper.drive = CJPreClipperFilter::taperDrive (c.knob);
        EXPECT_NEAR ((double) c.resistance, preClipper.getDriveResistance(), 1.0e-6 * (double) c.resistance) << c.knob;

        // The prototype is computed in single precision: about 1e-5 once discretised (the
        // transform subtracts terms of similar size).
        preClipper.setSampleRate (88200.0f);
        preClipper.update();
        expectTargets (preClipper.getFilter(), discretise (preClipperDenominator (c.resistance), preClipperNumerator (c.resistance), 88200.0L), "pre-clipper", 2.0e-5);

        EXPECT_NEAR ((double) c.toneShare, CJToneVolumeStage::taperTone (c.knob), 1.0e-6) << c.knob;

        // The tone and volume network at U and L: 25 kOhm tone pot, 1 MOhm volume pot.
        const auto u = c.toneShare, l = (long double) c.knob;
        const std::vector<long double> a { 25000.0L, 25037.21L + 132.0L * u - 137.5L * u * u, 12.2224762L + 132.16225L * u - 137.66775L * u * u, 0.0002664662L + 0.03028025L * u * (1.0L - u) };
        const std::vector<long double> b { 0.0L, 25000.0L * l, l * (1.21L + 143.0L * u - 137.5L * u * u), 0.0L };

        CJToneVolumeStage toneVolume;
        toneVolume.tone = c.knob;
        toneVolume.level = c.knob;
        const auto [da, db] = toneVolume.getPrototype();

        for (size_t k = 0; k < 4; ++k)
        {
            EXPECT_NEAR ((double) a[k], da[k], 1.0e-6 * std::fabs ((double) a[k])) << c.knob << " a" << k;
            EXPECT_NEAR ((double) b[k], db[k], 1.0e-6 * std::fabs ((double) b[k]) + 1.0e-12) << c.knob << " b" << k;
        }

        toneVolume.setSampleRate (44100.0f);
        toneVolume.update();
        expectTargets (toneVolume.getFilter(), discretise (a, b, 44100.0L), "tone and volume", 1.0e-6);
    }

    // The fixed input buffer.
    CJBufferIn buffer;
    buffer.setSampleRate (48000.0f);
    buffer.update();
    expectTargets (buffer.getFilter(), discretise ({ 1.0L, 1.793L, 0.185402L, 0.00141204L }, { 0.0L, 0.0L, 0.0L, 0.00141204L }, 48000.0L), "input buffer");
}

TEST (CJDriveStageOS, ApplyFactorTapersTheKnobPositionAgain)
{
    // The stage keeps the knob position, the pre-clipper the tapered value. Tapering twice
    // would give R = 16898 at Drive 0.5.
    CJDriveStageOS stage;
    stage.setSampleRate (44100.0f);
    stage.setDrive (0.5f);
    EXPECT_EQ (0.5f, stage.driveCopy);
    EXPECT_NEAR (0.1f, stage.preClipper.drive, 1.0e-8f);

    stage.reset();
    EXPECT_EQ (0.0f, stage.preClipper.drive);
    EXPECT_EQ (0.5f, stage.driveCopy);

    stage.setFactorIndex (2);
    stage.applyFactor();
    EXPECT_EQ (110000.0f, stage.preClipper.getDriveResistance());

    const auto& filter = stage.preClipper.getFilter();
    expectTargets (filter, discretise (preClipperDenominator (110000.0L), preClipperNumerator (110000.0L), 176400.0L), "R = 110000", 2.0e-5);

    const auto twice = discretise (preClipperDenominator (16898.0L), preClipperNumerator (16898.0L), 176400.0L);
    EXPECT_GT (std::fabs (filter.target.b[1] - (double) twice.b[1]), 1.0e-3 * std::fabs (filter.target.b[1]));

    // And through the circuit's start.
    Circuit c (44100.0f, 0.5f, 0.5f, 0.5f, 3);
    EXPECT_EQ (110000.0f, c.model.driveStage.preClipper.getDriveResistance());
}

TEST (CJToneVolumeStage, LevelZeroFadesTheCircuitToSilenceOverTheGlide)
{
    Circuit c (44100.0f, 0.5f, 0.5f, 0.5f);
    const auto input = sine (30000, 220.0, 44100.0, 0.25f);
    c.run ({ input.begin(), input.begin() + 20000 });
    ASSERT_EQ (ModelFrame::active, c.model.getFrame().getFadeState());

    c.model.setParameter (ModelParameters::level, 0.0f);
    c.model.parameterChanged (ModelParameters::level);
    const auto out = c.run ({ input.begin() + 20000, input.end() });

    // Level scales the whole numerator, so the output falls with the coefficients' glide over
    // 2048 samples at 44.1 kHz.
    const auto before = rms (out, 0, 200);
    EXPECT_GT (before, 0.1);
    EXPECT_NEAR (0.5, rms (out, 924, 1124) / before, 0.05);
    EXPECT_LT (rms (out, 1848, 2048), 0.1 * before);
    EXPECT_LT (rms (out, 2304, 10000), 0.02 * before);

    // What is left is a slow settling of the network's low poles and the output coupling,
    // far below the audio band. Its second difference, which weighs a sine by the square of
    // its frequency, shows no trace of the 220 Hz tone.
    std::vector<float> curvature (out.size(), 0.0f);

    for (size_t i = 2; i < out.size(); ++i)
        curvature[i] = out[i] - 2.0f * out[i - 1] + out[i - 2];

    EXPECT_LT (rms (curvature, 2304, 10000), 1.0e-4 * rms (curvature, 2, 200));
}

TEST (CJBufferOut, GainIsAppliedInDoubleBeforeRounding)
{
    // Reference: the high-pass as its bilinear difference equation in long double,
    // (1 + g) y[n] = x[n] - x[n-1] + (1 - g) y[n-1], then the gain, then one rounding.
    CJBufferOut buffer;
    buffer.setSampleRate (44100.0f);
    buffer.reset();

    const auto input = noise (20000, 1.0f, 11);
    auto output = input;
    buffer.processMono (output.data(), (int) output.size());

    const auto g = std::tan (longPi * 4.0L / 44100.0L);
    const auto gain = (long double) 0.24f;
    long double previousX = 0.0L, previousY = 0.0L;
    int roundedFirst = 0;

    for (size_t i = 0; i < input.size(); ++i)
    {
        const auto y = ((long double) input[i] - previousX + (1.0L - g) * previousY) / (1.0L + g);
        previousX = input[i];
        previousY = y;

        ASSERT_EQ ((float) (double) (y * gain), output[i]) << i;

        if ((float) y * 0.24f != output[i])
            ++roundedFirst;
    }

    EXPECT_GT (roundedFirst, 0) << "rounding before the gain would give other samples";
}

TEST (CJBufferOut, HighPassWorksAtEveryRateAndSurvivesInitParameters)
{
    expectHighPass<CJBufferOut> (
        { 2.0, 4.0, 8.0, 50.0, 1000.0 },
        [] (double rate, double f)
        { return 0.24 * warpedHighpassGain (rate, 4.0, f); },
        1.5,
        5.0e-5,
        2,
        1.0e-5f);
}

TEST (CJBufferIn, RemovesDcAndPassesHighFrequencies)
{
    for (const auto rate : { 44100.0f, 96000.0f })
    {
        CJBufferIn buffer;
        buffer.setSampleRate (rate);
        buffer.reset();
        buffer.update();

        // The analog 0.00141204 s^3 / (1 + 1.793 s + 0.185402 s^2 + 0.00141204 s^3) at the
        // frequency the bilinear transform maps f to.
        for (const auto f : { 5.0, 20.0, 100.0, 1000.0, 10000.0 })
        {
            const auto w = 2.0L * rate * std::tan (longPi * f / rate);
            const std::complex<long double> s (0.0L, w);
            const auto h = std::abs (0.00141204L * s * s * s / (1.0L + 1.793L * s + 0.185402L * s * s + 0.00141204L * s * s * s));

            buffer.clearState();
            EXPECT_NEAR ((double) h, measureGain (buffer, rate, f, 2.0), 2.0e-4) << rate << " Hz, " << f << " Hz";

            if (f >= 10000.0)
            {
                EXPECT_NEAR (1.0, (double) h, 1.0e-5);
            }
        }

        expectRemovesDc (buffer, rate, 3, 1.0e-4f);
    }
}

//==============================================================================
TEST (CJOverdrive, OversamplingChangeThroughItsTimerWithDriveArrivingDuringTheRebuild)
{
    Circuit c (44100.0f, 0.3f, 0.5f, 0.5f);
    auto& model = c.model;
    auto& stage = model.driveStage;
    ASSERT_TRUE (c.warmUp());

    // 4x requested on the message thread; a quarter second down to silence.
    const auto fadeOut = c.fadeOutForRebuild (ModelParameters::toNumOverSampling (2));
    EXPECT_GT (rms (fadeOut, 0, 1024), 0.05);
    ASSERT_EQ (ModelFrame::Phase::silent, model.getFrame().getPhase());

    // The audio thread moves Drive while the timer owns the drive stage.
    const auto targetsBefore = stage.preClipper.getFilter().target;
    model.setParameter (ModelParameters::drive, 0.5f);
    model.parameterChanged (ModelParameters::drive);
    EXPECT_EQ (0.3f, stage.driveCopy);
    EXPECT_EQ (CJPreClipperFilter::taperDrive (0.3f), stage.preClipper.drive);
    EXPECT_EQ (0, std::memcmp (&targetsBefore, &stage.preClipper.getFilter().target, sizeof (targetsBefore))) << "the pre-clipper is not recomputed";

    // Tone and Level are not the timer's.
    model.setParameter (ModelParameters::tone, 1.0f);
    model.parameterChanged (ModelParameters::tone);
    EXPECT_EQ (1.0f, model.toneVolumeStage.tone);

    c.expectStandingStill (stage.preClipper.getFilter(), model.inputBuffer.getFilter());

    // The rebuild tapers the old knob position again; the new one follows right after.
    c.rebuild (2, 176400.0f);
    EXPECT_EQ (CJPreClipperFilter::taperDrive (0.3f), stage.preClipper.drive);

    const auto fadeIn = c.run (sine (11025 + 512, 220.0, 44100.0, 0.25f));
    EXPECT_EQ (0.5f, stage.driveCopy);
    EXPECT_EQ (110000.0f, stage.preClipper.getDriveResistance());
    expectTargets (stage.preClipper.getFilter(), discretise (preClipperDenominator (110000.0L), preClipperNumerator (110000.0L), 176400.0L), "after the rebuild", 2.0e-5);

    c.expectFadesBackIn (fadeIn);
}
