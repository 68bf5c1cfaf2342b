#include "CircuitReferences.h"
#include "CircuitTestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

using namespace CircuitTest;

namespace
{
using Circuit = PreparedCircuit<LittleGreenOverdrive>;

// The pre-clipper's prototype built from its circuit description: the 20 kOhm tone pot's
// side X and the drive network resistance R.
std::vector<long double> preClipperDenominator (long double r, long double x)
{
    return { 1.0L, 0.00144L + x + 1.0e-10L * r, 4.4e-7L + 4.4e-4L * x + 1.44e-13L * r + 1.0e-10L * x * r, 4.4e-17L * r + 4.4e-14L * x * r };
}

std::vector<long double> preClipperNumerator (long double r, long double x)
{
    return { 1.0L, 0.00144L + x + 1.2201e-6L * r, 4.4e-7L + 4.4e-4L * x + 6.60144e-10L * r + 2.201e-7L * x * r, 4.4e-17L * r + 4.4e-14L * x * r };
}
} // namespace

TEST (LittleGreenOverdrive, KnobEdges)
{
    const auto halfDrive = (std::sqrt (5.445000171661377L) - 1.0L) / 4.445000171661377L * 500000.0L + 5600.0L;

    struct Case
    {
        float drive, tone;
        long double resistance, toneSide, spread; // R, X and T (1 - T)
    };

    const Case cases[] = {
        { 0.0f, 0.0f, 5600.0L, 0.02L, 0.0L },
        { 0.5f, 0.5f, halfDrive, 0.01L, 0.25L },
        { 1.0f, 1.0f, 505600.0L, 0.0L, 0.0L },
    };

    for (const auto& c : cases)
    {
        LittleGreenPreClipperFilter preClipper;
        preClipper.drive = c.drive;
        preClipper.tone = c.tone;
        EXPECT_NEAR ((double) c.resistance, preClipper.getDriveResistance(), 1.0e-6 * (double) c.resistance) << c.drive;
        EXPECT_NEAR ((double) c.toneSide, preClipper.getToneTerm(), 1.0e-12) << c.tone;

        // What reaches the filter is the circuit's prototype for that R and X (R is computed in
        // single precision: about 1e-6).
        preClipper.setSampleRate (352800.0f);
        preClipper.update();
        expectTargets (preClipper.getFilter(), discretise (preClipperDenominator (c.resistance, c.toneSide), preClipperNumerator (c.resistance, c.toneSide), 352800.0L), "pre-clipper", 1.0e-6);

        // The tone network: {20000, 2.3218 + 18.8 T (1 - T), 0} over
        // {20000, 4.4418 + 18.8 T (1 - T), 8.836e-5 + 0.00376 T (1 - T)}.
        LittleGreenToneStage toneStage;
        toneStage.tone = c.tone;
        const auto [a, b] = toneStage.getPrototype();
        const auto spread = (double) c.spread;
        EXPECT_NEAR (20000.0, a[0], 1.0e-9);
        EXPECT_NEAR (4.4418 + 18.8 * spread, a[1], 1.0e-9) << c.tone;
        EXPECT_NEAR (8.836e-5 + 0.00376 * spread, a[2], 1.0e-15) << c.tone;
        EXPECT_NEAR (20000.0, b[0], 1.0e-9);
        EXPECT_NEAR (2.3218 + 18.8 * spread, b[1], 1.0e-9) << c.tone;
        EXPECT_EQ (0.0, b[2]);

        toneStage.setSampleRate (48000.0f);
        toneStage.update();
        const auto s = (long double) spread;
        expectTargets (toneStage.getFilter(), discretise ({ 20000.0L, 4.4418L + 18.8L * s, 8.836e-5L + 0.00376L * s }, { 20000.0L, 2.3218L + 18.8L * s, 0.0L }, 48000.0L), "tone stage");
    }
}

TEST (LittleGreenOverdrive, PreClipperAndToneStageKeepWhatInitParametersMustKeep)
{
    // The pre-clipper forgets Drive but keeps Tone; the tone stage forgets Tone and its
    // coefficients, so its next set is taken without a glide.
    LittleGreenPreClipperFilter preClipper;
    preClipper.drive = 0.8f;
    preClipper.tone = 0.3f;
    preClipper.initParameters();
    EXPECT_EQ (0.0f, preClipper.drive);
    EXPECT_EQ (0.3f, preClipper.tone);

    LittleGreenToneStage toneStage;
    toneStage.setSampleRate (44100.0f);
    toneStage.tone = 0.5f;
    toneStage.update();
    std::vector<float> block (4096, 0.5f);
    toneStage.processMono (block.data(), (int) block.size());
    toneStage.initParameters();
    EXPECT_EQ (0.0f, toneStage.tone);
    EXPECT_TRUE (toneStage.getFilter().firstSet);

    toneStage.update();
    const auto& f = toneStage.getFilter();
    EXPECT_EQ (f.target.b[0], f.getCurrent().b[0]) << "taken at once";
}

TEST (LittleGreenVolumeStage, GlidesFromSilenceToTheLevelAfterAReset)
{
    for (const auto& [rate, length] : { std::pair<float, int> { 44100.0f, 2048 }, { 96000.0f, 4096 }, { 192000.0f, 8192 }, { 32000.0f, 1024 } })
    {
        LittleGreenVolumeStage volume;
        volume.setSampleRate (rate);
        volume.targetGain = 0.5f * LittleGreenVolumeStage::levelToGain;
        volume.reset();

        std::vector<float> ones ((size_t) length + 100, 1.0f);
        volume.processMono (ones.data(), 300);
        volume.processMono (ones.data() + 300, (int) ones.size() - 300);

        // The gain is stepped in single precision: the steps add up to within 1e-5 of the
        // straight line.
        for (const auto i : { 0, length / 4, length / 2, length - 1 })
            EXPECT_NEAR (0.119 * (i + 1) / length, ones[(size_t) i], 1.0e-5) << rate << " Hz, sample " << i;

        EXPECT_NEAR (0.119f, ones.back(), 1.0e-5f);
        EXPECT_EQ (ones[(size_t) length - 1], ones.back()) << "the glide ends after its length";
    }
}

TEST (LittleGreenVolumeStage, LevelTakesEffectAtTheNextBlockWithoutParameterChanged)
{
    // Two circuits hear the same input; one of them gets a new Level without the
    // recomputation call.
    Circuit a (44100.0f, 0.5f, 0.5f, 0.5f), b (44100.0f, 0.5f, 0.5f, 0.5f);
    const auto input = sine (30000, 220.0, 44100.0, 0.25f);
    const std::vector<float> first (input.begin(), input.begin() + 10000);
    const std::vector<float> rest (input.begin() + 10000, input.end());

    a.run (first);
    b.run (first);
    EXPECT_NEAR (0.119f, a.model.volumeStage.getCurrentGain(), 1.0e-5f) << "the volume has risen from silence";

    a.model.setParameter (ModelParameters::level, 1.0f);
    const auto louder = a.run (rest);
    const auto same = b.run (rest);

    EXPECT_GT (std::abs (louder[1]), std::abs (same[1])) << "from the very next block";
    EXPECT_NEAR (0.238f, a.model.volumeStage.getCurrentGain(), 2.0e-5f);

    for (size_t i = 4096; i < louder.size(); i += 97)
        EXPECT_NEAR (2.0f * same[i], louder[i], 2.0e-4f * std::abs (same[i])) << i;
}

TEST (LittleGreenVolumeStage, RisesFromSilenceWithTheCircuitsFadeIn)
{
    Circuit c (44100.0f, 0.5f, 0.5f, 0.5f);
    EXPECT_EQ (0.0f, c.model.volumeStage.getCurrentGain());
    c.run (sine (1024, 220.0, 44100.0, 0.25f));
    EXPECT_NEAR (0.119f * 0.5f, c.model.volumeStage.getCurrentGain(), 1.0e-5f);
    c.run (sine (1024, 220.0, 44100.0, 0.25f));
    EXPECT_NEAR (0.119f, c.model.volumeStage.getCurrentGain(), 1.0e-5f);
    EXPECT_EQ (ModelFrame::fadeInFromSilence, c.model.getFrame().getFadeState()) << "the fade-in lasts twice as long";
}

TEST (LittleGreenBufferIn, HighPassesWorkAtEveryRateAndSurviveInitParameters)
{
    // Two first-order high-passes, at 33 and 16 Hz.
    expectHighPass<LittleGreenBufferIn> (
        { 8.0, 16.0, 33.0, 100.0, 1000.0 },
        [] (double rate, double f)
        { return warpedHighpassGain (rate, 33.0, f) * warpedHighpassGain (rate, 16.0, f); },
        0.6,
        2.0e-4,
        1,
        1.0e-6f);
}

//==============================================================================
TEST (LittleGreenOverdrive, OversamplingChangeThroughItsTimerWithDriveAndToneArrivingDuringTheRebuild)
{
    Circuit c (44100.0f, 0.5f, 0.5f, 0.5f);
    auto& model = c.model;
    auto& stage = model.driveStage;
    ASSERT_TRUE (c.warmUp());

    // 8x requested on the message thread; a quarter second down to silence.
    const auto fadeOut = c.fadeOutForRebuild (1.0f);
    EXPECT_GT (rms (fadeOut, 0, 1024), 0.1);
    EXPECT_LT (rms (fadeOut, 10900, 11025), 0.01);
    ASSERT_EQ (ModelFrame::Phase::silent, model.getFrame().getPhase());

    // The audio thread moves Drive and Tone while the timer owns the drive stage.
    const auto targetsBefore = stage.preClipper.getFilter().target;
    model.setParameter (ModelParameters::drive, 1.0f);
    model.parameterChanged (ModelParameters::drive);
    model.setParameter (ModelParameters::tone, 0.0f);
    model.parameterChanged (ModelParameters::tone);
    EXPECT_EQ (0.5f, stage.driveCopy);
    EXPECT_EQ (0.5f, stage.toneCopy);
    EXPECT_EQ (0.5f, stage.preClipper.tone);
    EXPECT_EQ (0, std::memcmp (&targetsBefore, &stage.preClipper.getFilter().target, sizeof (targetsBefore))) << "the pre-clipper is not recomputed";
    EXPECT_EQ (0.0f, model.toneStage.tone) << "the tone stage is not the timer's";

    c.expectStandingStill (stage.preClipper.getFilter(), model.toneStage.getFilter());

    // The rebuild, then the deferred values right after it.
    c.rebuild (3, 352800.0f);
    EXPECT_EQ (0.5f, stage.driveCopy) << "still waiting for the audio thread";

    const auto fadeIn = c.run (sine (11025 + 512, 220.0, 44100.0, 0.25f));
    EXPECT_EQ (1.0f, stage.driveCopy);
    EXPECT_EQ (0.0f, stage.toneCopy);
    EXPECT_EQ (1.0f, stage.preClipper.drive);
    EXPECT_EQ (0.0f, stage.preClipper.tone);
    expectTargets (stage.preClipper.getFilter(), discretise (preClipperDenominator (505600.0L, 0.02L), preClipperNumerator (505600.0L, 0.02L), 352800.0L), "after the rebuild");

    c.expectFadesBackIn (fadeIn);
}
