// The circuit switcher on its own: the heard circuit, the crossfade to a newly chosen one, the
// knobs that reach only the circuits being heard, the deferred changes offline, and a circuit
// that goes unstable.

#include "processor/CircuitSwitcher.h"
#include "models/ModelParameters.h"

#include "CircuitTestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace
{
constexpr float rate = 48000.0f;
constexpr int rampLength = 2048;
constexpr int capacity = 16384;

class CircuitSwitcherTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        values.set (HostParameters::overdriveType, HostParameters::getModelValue (1));
        switcher.prepare (rate, capacity, rampLength);
        switcher.reset();
    }

    // A guitar-like test signal, block after block.
    std::vector<float> nextBlock (int numSamples)
    {
        std::vector<float> block ((size_t) numSamples);

        for (auto& x : block)
        {
            x = 0.3f * (float) std::sin (phase);
            phase += 2.0 * juce::MathConstants<double>::pi * 196.0 / rate;
        }

        return block;
    }

    std::vector<float> processMono (int numSamples)
    {
        auto block = nextBlock (numSamples);
        switcher.process (block.data(), nullptr, numSamples);
        return block;
    }

    // Chooses a circuit as the host would, and lets the timer apply it.
    void choose (int circuit)
    {
        values.set (HostParameters::overdriveType, HostParameters::getModelValue (circuit));
        switcher.noteDeferredChange();
        switcher.applyDeferredChanges();
    }

    ParameterValues values;
    CircuitSwitcher switcher { values };
    double phase = 0.0;
};
} // namespace

TEST_F (CircuitSwitcherTest, TheHeardCircuitSoundsExactlyLikeThatCircuitOnItsOwn)
{
    ASSERT_EQ (1, switcher.getHeardModel());
    EXPECT_FALSE (switcher.isCrossfading());

    auto alone = CircuitBank::make (1);
    CircuitTest::prepare (*alone, rate, {}, capacity);

    for (int b = 0; b < 20; ++b)
    {
        auto heard = nextBlock (512);
        auto expected = heard;
        alone->processMono (expected.data(), 512);
        switcher.process (heard.data(), nullptr, 512);
        ASSERT_EQ (expected, heard) << "block " << b;
    }
}

TEST_F (CircuitSwitcherTest, ANewCircuitCrossfadesInOverTwiceTheRampLength)
{
    processMono (512);
    choose (3);

    // The timer only prepares it; the audio thread adopts it at its next block.
    EXPECT_EQ (1, switcher.getHeardModel());
    EXPECT_FALSE (switcher.isCrossfading());

    int samples = 0;

    while (samples < 4 * rampLength)
    {
        processMono (64);
        samples += 64;

        if (! switcher.isCrossfading())
            break;

        EXPECT_EQ (1, switcher.getHeardModel()) << "the outgoing circuit is still heard at " << samples;
    }

    EXPECT_EQ (2 * rampLength, samples);
    EXPECT_EQ (3, switcher.getHeardModel());

    // The same circuit again is no change.
    EXPECT_EQ (-1, switcher.applyDeferredChanges());
}

TEST_F (CircuitSwitcherTest, TheCircuitBeingFadedOutIsChosenAgainOnceTheCrossfadeHasEnded)
{
    choose (4);
    processMono (64);
    ASSERT_TRUE (switcher.isCrossfading());

    // Back to the circuit being faded out: it cannot be restarted while it is heard.
    choose (1);
    processMono (64);
    EXPECT_EQ (1, switcher.getHeardModel());

    for (int i = 0; i < 2 * rampLength / 64; ++i)
        processMono (64);

    ASSERT_FALSE (switcher.isCrossfading());
    ASSERT_EQ (4, switcher.getHeardModel());

    // The timer's next attempt now starts it.
    switcher.applyDeferredChanges();
    processMono (64);
    EXPECT_TRUE (switcher.isCrossfading());

    for (int i = 0; i <= 2 * rampLength / 64; ++i)
        processMono (64);

    EXPECT_EQ (1, switcher.getHeardModel());
}

TEST_F (CircuitSwitcherTest, KnobsReachOnlyTheCircuitsBeingHeard)
{
    values.set (HostParameters::overdrive, 0.9f);
    processMono (64);
    EXPECT_EQ (0.9f, switcher.getModel (1).getParameter (ModelParameters::drive));
    EXPECT_EQ (0.5f, switcher.getModel (3).getParameter (ModelParameters::drive)) << "not heard";

    // A circuit that is started takes the live values.
    choose (3);
    EXPECT_EQ (0.9f, switcher.getModel (3).getParameter (ModelParameters::drive));

    // Moves during the crossfade reach both.
    processMono (64);
    values.set (HostParameters::tone, 0.2f);
    processMono (64);
    EXPECT_EQ (0.2f, switcher.getModel (1).getParameter (ModelParameters::tone));
    EXPECT_EQ (0.2f, switcher.getModel (3).getParameter (ModelParameters::tone));
}

TEST_F (CircuitSwitcherTest, OfflineAChangeIsMadeAtTheSampleItFallsDue)
{
    switcher.setOffline (true);
    values.set (HostParameters::overdriveType, HostParameters::getModelValue (2));
    switcher.noteDeferredChange();

    // The message thread's ticks stand aside while the host renders offline.
    EXPECT_EQ (-1, switcher.pollDeferredChanges());

    const auto due = juce::roundToInt (rate * 0.05f);
    ASSERT_EQ (due, switcher.getSamplesBeforeDeferredChange());
    processMono (due - 100);
    switcher.advanceDeferredCountdown (due - 100);
    EXPECT_EQ (100, switcher.getSamplesBeforeDeferredChange());
    switcher.advanceDeferredCountdown (100);
    ASSERT_EQ (0, switcher.getSamplesBeforeDeferredChange());

    EXPECT_EQ (0, switcher.applyDueChange()) << "a circuit started: the dry path follows its factor";
    EXPECT_EQ (-1, switcher.getSamplesBeforeDeferredChange());
    processMono (64);
    EXPECT_TRUE (switcher.isCrossfading());

    // A factor change returns the new index, which the dry path follows.
    values.set (HostParameters::oversampling, HostParameters::getOversamplingValue (3));
    switcher.noteDeferredChange();
    switcher.advanceDeferredCountdown (switcher.getSamplesBeforeDeferredChange());
    EXPECT_EQ (3, switcher.applyDueChange());
}

TEST_F (CircuitSwitcherTest, ACircuitThatGoesUnstableIsHeardAsSilenceAndStartsAgain)
{
    processMono (512);

    std::vector<float> broken (512, 0.1f);
    broken[100] = std::numeric_limits<float>::quiet_NaN();
    switcher.process (broken.data(), nullptr, 512);

    for (auto x : broken)
        ASSERT_TRUE (std::isfinite (x));

    // Afterwards the circuit plays finite samples again from a clean history.
    const auto after = processMono (4096);

    for (auto x : after)
        ASSERT_TRUE (std::isfinite (x));

    EXPECT_GT (*std::max_element (after.begin(), after.end()), 0.0f);
}
