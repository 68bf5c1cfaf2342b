#include "models/ModelFrame.h"
#include "TestSignals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace TestSignals;

namespace
{
// A stand-in circuit: its stages double the signal, its drive stage is "rebuilt" by
// counting; running the stages while the timer owns them is recorded as a fault.
struct DoublingCircuit
{
    explicit DoublingCircuit (float rate, bool on = true)
    {
        frame.setSampleRate (rate);
        frame.setBlockSize (1024);
        frame.setRequestedOn (on);
        frame.beginStartFade();
    }

    std::vector<float> run (int numSamples, float value = 1.0f, bool stereo = true)
    {
        std::vector<float> left ((size_t) numSamples, value), right ((size_t) numSamples, value);
        frame.process (
            left.data(),
            stereo ? right.data() : nullptr,
            numSamples,
            [this] (float* l, float* r, int n)
            {
                if (frame.getPhase() == ModelFrame::Phase::silent || frame.getPhase() == ModelFrame::Phase::rebuilt)
                    ++stagesRunWhileRebuilding;

                for (int i = 0; i < n; ++i)
                {
                    l[i] *= 2.0f;
                    if (r != nullptr)
                        r[i] *= 2.0f;
                }
            },
            [this] (uint32_t mask)
            { appliedWork.push_back (mask); });

        if (stereo)
        {
            for (size_t i = 0; i < left.size(); ++i)
                EXPECT_EQ (left[i], right[i]);
        }

        return left;
    }

    bool tick()
    {
        return frame.timerTick ([this]
                                { ++rebuilds; });
    }

    // Runs blocks of one sample until the state changes; returns how many samples it took.
    int samplesUntilStateLeaves (int state, int limit = 200000)
    {
        int n = 0;
        while (frame.getFadeState() == state && n < limit)
        {
            run (1);
            ++n;
        }
        return n;
    }

    ModelFrame frame;
    int rebuilds = 0;
    int stagesRunWhileRebuilding = 0;
    std::vector<uint32_t> appliedWork;
};

} // namespace

TEST (ModelFrame, StartFadesInFromSilenceOverTheStartLength)
{
    const std::pair<float, int> cases[] = { { 32000.0f, 2048 }, { 44100.0f, 4096 }, { 48000.0f, 4096 }, { 88200.0f, 8192 }, { 96000.0f, 8192 }, { 176400.0f, 16384 }, { 192000.0f, 16384 } };

    for (const auto& [rate, length] : cases)
    {
        DoublingCircuit c (rate);
        EXPECT_EQ (ModelFrame::fadeInFromSilence, c.frame.getFadeState());

        const auto ramp = c.run (length);
        EXPECT_EQ (0.0f, ramp.front());
        EXPECT_NEAR (2.0f * (float) (length - 1) / (float) length, ramp.back(), 1e-4f);
        EXPECT_LE (largestStep (ramp), 2.0f / (float) length * 1.001f);

        EXPECT_EQ (1, c.samplesUntilStateLeaves (ModelFrame::fadeInFromSilence)) << rate;
        EXPECT_EQ (ModelFrame::active, c.frame.getFadeState());
        EXPECT_EQ (2.0f, c.run (16).back());
    }
}

TEST (ModelFrame, StartingOffStaysBypassed)
{
    DoublingCircuit c (48000.0f, false);
    EXPECT_EQ (ModelFrame::bypassed, c.frame.getFadeState());
    EXPECT_EQ (1.0f, c.run (64).back());
}

TEST (ModelFrame, BypassCrossfadesOverHalfTheStartLengthThenPassesUntouched)
{
    for (const auto& [rate, length] : { std::pair<float, int> { 44100.0f, 2048 }, { 96000.0f, 4096 }, { 192000.0f, 8192 }, { 22050.0f, 1024 } })
    {
        DoublingCircuit c (rate);
        c.run (20000);
        ASSERT_EQ (ModelFrame::active, c.frame.getFadeState());

        c.frame.setRequestedOn (false);
        c.frame.fadeCheck();
        EXPECT_EQ (ModelFrame::fadeOutToDry, c.frame.getFadeState());
        EXPECT_EQ (length, c.frame.getFadeLength());

        const auto fade = c.run (length);
        EXPECT_EQ (2.0f, fade.front());
        EXPECT_NEAR (1.0f, fade.back(), 2.0f / (float) length);
        EXPECT_EQ (1, c.samplesUntilStateLeaves (ModelFrame::fadeOutToDry));
        EXPECT_EQ (ModelFrame::bypassed, c.frame.getFadeState());
        EXPECT_EQ (1.0f, c.run (100).back());

        // And back on: a crossfade from the dry input.
        c.frame.setRequestedOn (true);
        c.frame.fadeCheck();
        EXPECT_EQ (ModelFrame::fadeInFromDry, c.frame.getFadeState());
        const auto back = c.run (length);
        EXPECT_EQ (1.0f, back.front());
        EXPECT_EQ (1, c.samplesUntilStateLeaves (ModelFrame::fadeInFromDry));
        EXPECT_EQ (2.0f, c.run (4).back());
    }
}

TEST (ModelFrame, OversamplingChangeWhileOnFadesOutWaitsForTheTimerAndFadesIn)
{
    DoublingCircuit c (44100.0f);
    c.run (10000);
    ASSERT_EQ (ModelFrame::active, c.frame.getFadeState());

    c.frame.requestOversamplingChange();
    EXPECT_FALSE (c.tick()) << "nothing is rebuilt while the audio path still plays";

    // A quarter second down to silence.
    const auto fade = c.run (11025);
    EXPECT_EQ (ModelFrame::fadeOutToSilence, c.frame.getFadeState());
    EXPECT_EQ (11025, c.frame.getFadeLength());
    EXPECT_EQ (2.0f, fade.front());
    EXPECT_LE (largestStep (fade), 2.0f / 11025.0f * 1.01f);
    c.samplesUntilStateLeaves (ModelFrame::fadeOutToSilence, 10);
    EXPECT_EQ (ModelFrame::silentState, c.frame.getFadeState());
    EXPECT_FALSE (c.tick()) << "the timer waits for a block produced in the silent state";

    const auto silence = c.run (512);
    EXPECT_EQ (0.0f, *std::max_element (silence.begin(), silence.end()));
    EXPECT_EQ (ModelFrame::Phase::silent, c.frame.getPhase());
    EXPECT_EQ (0, c.rebuilds);

    EXPECT_TRUE (c.tick());
    EXPECT_EQ (1, c.rebuilds);

    // A quarter second back up.
    const auto fadeIn = c.run (11025);
    EXPECT_EQ (0.0f, fadeIn.front());
    EXPECT_LE (largestStep (fadeIn), 2.0f / 11025.0f * 1.01f);
    c.run (16);
    EXPECT_EQ (ModelFrame::active, c.frame.getFadeState());
    EXPECT_EQ (0, c.stagesRunWhileRebuilding);
}

TEST (ModelFrame, OversamplingChangeWhileOffIsAppliedAtTheTickWithoutChangingTheOutput)
{
    DoublingCircuit c (48000.0f, false);
    c.frame.requestOversamplingChange();

    EXPECT_EQ (1.0f, c.run (256).back());
    EXPECT_EQ (ModelFrame::Phase::silent, c.frame.getPhase());
    EXPECT_TRUE (c.tick());
    EXPECT_EQ (1, c.rebuilds);

    const auto after = c.run (256);
    EXPECT_EQ (1.0f, *std::min_element (after.begin(), after.end()));
    EXPECT_EQ (ModelFrame::bypassed, c.frame.getFadeState());
    EXPECT_EQ (ModelFrame::Phase::idle, c.frame.getPhase());
}

TEST (ModelFrame, ASecondChangeNeverMakesTheLevelJump)
{
    // A second change arrives at a different moment each time: during the start fade-in,
    // during the fade-out, while silent, and after the rebuild before the audio resumed.
    struct Moment
    {
        const char* name;
        int samplesBefore; // after the first request
        bool tickBefore;
    };

    const Moment moments[] = { { "fading in at start", -1, false }, { "fading out", 3000, false }, { "silent", 12000, false }, { "rebuilt, not resumed", 12000, true } };

    for (const auto& m : moments)
    {
        DoublingCircuit c (44100.0f);
        std::vector<float> output;
        const auto append = [&output] (const std::vector<float>& v)
        { output.insert (output.end(), v.begin(), v.end()); };

        if (m.samplesBefore < 0)
        {
            append (c.run (1500));
            c.frame.requestOversamplingChange();
        }
        else
        {
            append (c.run (10000));
            c.frame.requestOversamplingChange();
            append (c.run (m.samplesBefore));

            if (m.tickBefore)
                c.tick();

            c.frame.requestOversamplingChange();
        }

        for (int block = 0; block < 200; ++block)
        {
            append (c.run (256));
            c.tick();
        }

        EXPECT_LE (largestStep (output), 2.0f / 4096.0f * 1.01f) << m.name;
        EXPECT_EQ (2.0f, output.back()) << m.name;
        EXPECT_EQ (0, c.stagesRunWhileRebuilding) << m.name;
        EXPECT_GE (c.rebuilds, 1) << m.name;
    }
}

TEST (ModelFrame, WorkArrivingDuringTheRebuildIsAppliedRightAfterIt)
{
    DoublingCircuit c (48000.0f);
    c.run (10000);
    EXPECT_FALSE (c.frame.deferWhileRebuilding (ModelFrame::route + 1)) << "normally the caller does the work itself";

    c.frame.requestOversamplingChange();
    c.run (20000);
    c.run (16); // the silent state begins with the next block
    ASSERT_EQ (ModelFrame::Phase::silent, c.frame.getPhase());

    EXPECT_TRUE (c.frame.deferWhileRebuilding (ModelFrame::route + 1));
    EXPECT_TRUE (c.frame.deferWhileRebuilding (ModelFrame::recompute + 1));
    EXPECT_TRUE (c.frame.deferWhileRebuilding (ModelFrame::clearHistory));
    EXPECT_TRUE (c.appliedWork.empty());

    c.tick();
    c.run (8);
    ASSERT_EQ (1u, c.appliedWork.size());
    EXPECT_EQ ((1u << (ModelFrame::route + 1)) | (1u << (ModelFrame::recompute + 1)) | (1u << ModelFrame::clearHistory), c.appliedWork[0]);

    c.run (8);
    EXPECT_EQ (1u, c.appliedWork.size()) << "applied once";
}

TEST (ModelFrame, BlocksLargerThanTheBlockSizeGrowTheDryBuffers)
{
    DoublingCircuit c (48000.0f);
    const auto big = c.run (5000);
    EXPECT_EQ (5000, c.frame.getBlockSize());
    EXPECT_NEAR (2.0f * 4095.0f / 4096.0f, big[4095], 1e-5f);
    EXPECT_EQ (2.0f, big.back());

    const auto mono = c.run (6000, 1.0f, false);
    EXPECT_EQ (2.0f, mono.back());
}

// The circuits of a processor share one pair of dry buffers: run one after the other, each
// fading against its own input, they give what circuits with buffers of their own give, also
// once a long block has grown the shared pair.
TEST (ModelFrame, FramesSharingDryBuffersFadeAsIfEachHadItsOwn)
{
    DoublingCircuit ownA (48000.0f), ownB (48000.0f, false), sharedA (48000.0f), sharedB (48000.0f, false);
    FadeBuffers shared;
    sharedA.frame.shareDryBuffers (shared);
    sharedB.frame.shareDryBuffers (shared);
    EXPECT_EQ (1024, shared.getCapacity());

    for (auto* c : { &ownA, &sharedA })
    {
        for (int i = 0; i < 10; ++i)
            c->run (1000);

        c->frame.setRequestedOn (false); // A fades out to its dry input...
        c->frame.fadeCheck();
    }

    for (auto* c : { &ownB, &sharedB })
    {
        c->frame.setRequestedOn (true); // ...while B fades in from its own
        c->frame.fadeCheck();
    }

    for (const auto size : { 100, 1024, 3000, 7 })
    {
        EXPECT_EQ (ownA.run (size, 1.0f), sharedA.run (size, 1.0f)) << size;
        EXPECT_EQ (ownB.run (size, 3.0f), sharedB.run (size, 3.0f)) << size;
    }

    EXPECT_EQ (3000, shared.getCapacity());
}

TEST (ModelFrame, AClearAskedForDuringTheRebuildSurvivesAReset)
{
    // The processor resets a circuit that stopped being heard while its timer held the stages:
    // the clear it asks for must still happen before the circuit plays again.
    DoublingCircuit c (48000.0f);
    c.run (10000);
    c.frame.requestOversamplingChange();
    c.run (20000);
    c.run (16);
    ASSERT_EQ (ModelFrame::Phase::silent, c.frame.getPhase());

    EXPECT_TRUE (c.frame.deferWhileRebuilding (ModelFrame::clearHistory));
    c.frame.initParameters();
    c.frame.beginStartFade();
    EXPECT_EQ (ModelFrame::Phase::idle, c.frame.getPhase());

    c.run (8);
    ASSERT_EQ (1u, c.appliedWork.size());
    EXPECT_EQ (1u << ModelFrame::clearHistory, c.appliedWork[0]);
}

TEST (ModelFrame, FadeGainsNeverPassTheirEnds)
{
    // A quarter second at 44.1 kHz is 11025 steps of a rounded 1/11025: the gains must still
    // stop exactly at 0 and 1, so no inverted remnant of the signal is left.
    DoublingCircuit c (44100.0f);
    c.run (10000);
    c.frame.requestOversamplingChange();

    float lowest = 1.0f;
    for (int i = 0; i < 12000; ++i)
    {
        const auto out = c.run (1);
        lowest = std::min (lowest, out[0]);
        EXPECT_GE (c.frame.getWetGain(), 0.0f);
        EXPECT_LE (c.frame.getDryGain(), 1.0f);
    }

    EXPECT_GE (lowest, 0.0f);
}
