#include "CircuitTestHelpers.h"
#include "models/ToneTaper.h"

#include <gtest/gtest.h>

using namespace CircuitTest;

namespace
{
// Runs a constant through a drive stage until it has settled; returns the last output.
float settledDriveStageOutput (TS9DriveStageOS& stage, float x)
{
    std::vector<float> block (4096, x);
    float last = 0.0f;

    for (int round = 0; round < 8; ++round)
    {
        std::fill (block.begin(), block.end(), x);
        stage.processMono (block.data(), (int) block.size());
        last = block.back();
    }

    return last;
}

TS9DriveStageOS& preparedDriveStage (TS9DriveStageOS& stage, float rate, float drive, int index)
{
    stage.setSampleRate (rate);
    stage.setDrive (drive);
    stage.setFactorIndex (index);
    stage.initParameters();
    stage.applyFactor();
    return stage;
}
} // namespace

TEST (TS9Overdrive, DriveStageAddsItsResultToItsInput)
{
    // At DC the pre-clipper passes 1.0, the limiter too, and the diodes settle at 0.4067: the
    // stage gives the input plus that, not the clipped value alone.
    for (int index : { 0, 3 })
    {
        TS9DriveStageOS stage;
        preparedDriveStage (stage, 44100.0f, 0.5f, index);
        EXPECT_NEAR (1.40673f, settledDriveStageOutput (stage, 1.0f), 2e-5f) << "index " << index;
        EXPECT_NEAR (-1.40673f, settledDriveStageOutput (stage, -1.0f), 2e-5f) << "index " << index;
        EXPECT_NEAR (0.2f, settledDriveStageOutput (stage, 0.1f), 1e-4f) << "small signals pass the diodes";
    }
}

TEST (TS9Overdrive, DriveSurvivesResetAndAFactorChange)
{
    TS9DriveStageOS stage;
    preparedDriveStage (stage, 48000.0f, 1.0f, 0);
    EXPECT_EQ (551000.0f, stage.preClipper.getDriveResistance());

    stage.reset();
    EXPECT_EQ (0.0f, stage.preClipper.drive) << "the pre-clipper forgets";
    EXPECT_EQ (1.0f, stage.driveCopy);

    stage.setFactorIndex (2);
    stage.applyFactor();
    EXPECT_EQ (1.0f, stage.preClipper.drive);
    EXPECT_EQ (192000.0f, stage.getOversampledRate());
    EXPECT_EQ (192000.0f, stage.preClipper.getSampleRate());
}

TEST (TS9Overdrive, Coefficients)
{
    TS9PreClipperFilter preClipper;
    preClipper.drive = 0.0f;
    EXPECT_EQ (51000.0f, preClipper.getDriveResistance());
    preClipper.drive = 1.0f;
    EXPECT_EQ (551000.0f, preClipper.getDriveResistance());

    EXPECT_EQ (0.35f, ToneTaper::at (0.45f));
    EXPECT_EQ (1.0f, ToneTaper::at (1.0f));
    EXPECT_EQ (0.0f, ToneTaper::at (0.0f));
    EXPECT_EQ (0.5f, ToneTaper::at (0.5f));

    // The tone network from its component values: a 10 kOhm tone pot split T / (1 - T) and a
    // 100 kOhm level pot; at T = 0 and T = 1 the quadratic terms cancel in a3, and the level
    // scales the numerator only.
    struct Case
    {
        float tone, level;
        double a1, a3, b1, b2;
    };

    const Case cases[] = {
        { 0.0f, 1.0f, 11049323.9731, 0.106480003595, 9999999.97475, 484.00000756 },
        { 1.0f, 0.5f, 11049323.9731 + 220000.003992 - 242000.004391, 0.106480003595, 0.5 * 9999999.97475, 0.5 * (484.00000756 + 24200.000378 - 22000.0003437) },
        { 0.5f, 0.0f, 11049323.9731 + 110000.001996 - 60500.00109775, 0.106480003595 + 1.210000040857, 0.0, 0.0 },
    };

    for (const auto& c : cases)
    {
        TS9ToneStage stage;
        stage.tone = c.tone;
        stage.level = c.level;
        const auto [a, b] = stage.getPrototype();
        EXPECT_EQ (110000000.0, a[0]);
        EXPECT_NEAR (c.a1, a[1], 1e-6);
        EXPECT_NEAR (c.a3, a[3], 1e-12);
        EXPECT_NEAR (c.b1, b[1], 1e-6);
        EXPECT_NEAR (c.b2, b[2], 1e-9);
        EXPECT_EQ (0.0, b[0]);
        EXPECT_EQ (0.0, b[3]);
    }
}

TEST (TS9Overdrive, ToneStageGainIsAppliedAfterRoundingAndStaysOutOfTheHistory)
{
    // With level 1 and tone 0 the network passes mid frequencies at about -0.8 dB; the output
    // buffer adds 1.2 on top.
    TS9ToneStage stage;
    stage.setSampleRate (48000.0f);
    stage.tone = 0.0f;
    stage.level = 1.0f;
    stage.update();

    FxSZBase3 plain;
    plain.setSampleRate (48000.0f);
    const auto [a, b] = stage.getPrototype();
    plain.setAnalogCoefficients (a.data(), b.data());

    auto x = sine (4800, 1000.0, 48000.0, 0.5f);
    auto y = x;
    stage.processMono (x.data(), (int) x.size());
    plain.processMono (y.data(), (int) y.size());

    for (size_t i = 0; i < x.size(); ++i)
        ASSERT_EQ (y[i] * 1.2f, x[i]) << i;
}

TEST (TS9Overdrive, OversamplingChangeThroughTheCircuitsOwnTimer)
{
    auto circuit = makePrepared (4, 44100.0f);
    auto& ts9 = dynamic_cast<TS9Overdrive&> (*circuit);
    auto x = sine (44100, 220.0, 44100.0, 0.3f);
    runMono (ts9, x);
    ASSERT_EQ (ModelFrame::active, ts9.getFrame().getFadeState());

    ts9.setParameter (ModelParameters::numOverSampling, 1.0f);
    ts9.parameterChanged (ModelParameters::numOverSampling);
    EXPECT_TRUE (ts9.isTimerRunning());
    ts9.timerCallback();
    EXPECT_EQ (0, ts9.driveStage.getActiveIndex()) << "nothing changes while the output still plays";

    // A quarter second to silence, then zeros until the timer's next tick.
    const auto fade = runMono (ts9, sine (11025 + 512, 220.0, 44100.0, 0.3f));
    EXPECT_GT (std::abs (fade[100]), 0.0f);
    const auto silent = runMono (ts9, sine (2048, 220.0, 44100.0, 0.3f));
    EXPECT_EQ (0.0, rms (silent));
    EXPECT_EQ (0, ts9.driveStage.getActiveIndex());

    ts9.timerCallback();
    EXPECT_FALSE (ts9.isTimerRunning());
    EXPECT_EQ (3, ts9.driveStage.getActiveIndex());
    EXPECT_EQ (352800.0f, ts9.driveStage.getOversampledRate());
    EXPECT_EQ (352800.0f, ts9.driveStage.tableReader.getActiveTableRate());

    // And back up over a quarter second.
    const auto back = runMono (ts9, sine (11025 + 1024, 220.0, 44100.0, 0.3f));
    EXPECT_LT (rms (std::vector<float> (back.begin(), back.begin() + 2000)), rms (std::vector<float> (back.end() - 2000, back.end())));
    EXPECT_EQ (ModelFrame::active, ts9.getFrame().getFadeState());
}

TEST (TS9Overdrive, DriveChangedWhileTheDriveStageIsRebuiltArrivesAfterTheRebuild)
{
    auto circuit = makePrepared (4, 48000.0f, { 0.2f, 0.5f, 0.5f, 0 });
    auto& ts9 = dynamic_cast<TS9Overdrive&> (*circuit);
    runMono (ts9, sine (20000, 220.0, 48000.0, 0.3f));

    ts9.setParameter (ModelParameters::numOverSampling, ModelParameters::toNumOverSampling (2));
    ts9.parameterChanged (ModelParameters::numOverSampling);
    runMono (ts9, sine (12000 + 1024, 220.0, 48000.0, 0.3f));
    runMono (ts9, sine (512, 220.0, 48000.0, 0.3f));
    ASSERT_EQ (ModelFrame::Phase::silent, ts9.getFrame().getPhase());

    // The audio thread moves Drive while the timer owns the drive stage.
    ts9.setParameter (ModelParameters::drive, 0.9f);
    ts9.parameterChanged (ModelParameters::drive);
    EXPECT_EQ (0.2f, ts9.driveStage.driveCopy) << "the stage belongs to the timer now";

    ts9.timerCallback();
    runMono (ts9, sine (64, 220.0, 48000.0, 0.3f));
    EXPECT_EQ (0.9f, ts9.driveStage.driveCopy);
    EXPECT_EQ (0.9f, ts9.driveStage.preClipper.drive);
    EXPECT_EQ (2, ts9.driveStage.getActiveIndex());
}

TEST (TS9Overdrive, StartFadesInAndBypassCrossfades)
{
    for (auto [rate, length] : { std::pair<float, int> { 32000.0f, 2048 }, { 48000.0f, 4096 }, { 96000.0f, 8192 }, { 192000.0f, 16384 } })
    {
        auto circuit = makePrepared (4, rate);
        auto& ts9 = dynamic_cast<TS9Overdrive&> (*circuit);
        EXPECT_EQ (length, ts9.getFrame().getFadeLength());
        runMono (ts9, sine (length + 1, 220.0, rate, 0.3f));
        EXPECT_EQ (ModelFrame::active, ts9.getFrame().getFadeState()) << rate;

        ts9.setParameter (ModelParameters::bypass, 0.0f);
        ts9.parameterChanged (ModelParameters::bypass);
        EXPECT_EQ (length / 2, ts9.getFrame().getFadeLength());
        runMono (ts9, sine (length / 2 + 1, 220.0, rate, 0.3f));
        EXPECT_EQ (ModelFrame::bypassed, ts9.getFrame().getFadeState());

        const auto input = sine (1000, 220.0, rate, 0.3f);
        EXPECT_EQ (input, runMono (ts9, input)) << "untouched once bypassed";
    }
}
