// When a deferred circuit or oversampling change falls due: in real time on a millisecond
// counter (here a fake one the tests move), offline counted in samples, and again after an
// attempt that could not be completed.

#include "processor/DeferredChangeClock.h"

#include <gtest/gtest.h>

namespace
{
juce::uint32 fakeNow = 1000;
juce::uint32 readFakeNow() noexcept { return fakeNow; }

class DeferredChangeClockTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        fakeNow = 1000;
        clock.setSampleRate (48000.0f);
    }

    // An apply that counts its runs and returns the run's number.
    int apply()
    {
        return ++applied;
    }

    int poll()
    {
        return clock.poll (0, [this]
                           { return apply(); });
    }

    DeferredChangeClock clock { readFakeNow };
    int applied = 0;
};
} // namespace

TEST_F (DeferredChangeClockTest, ABurstOfChangesIsAppliedOnceItsLastChangeIsOld)
{
    EXPECT_EQ (-1, poll()) << "nothing noted";

    clock.noteChange();
    fakeNow += 30;
    clock.noteChange(); // restarts the wait
    fakeNow += 30;
    EXPECT_EQ (-1, poll()) << "30 ms after the last change";
    fakeNow += DeferredChangeClock::delayMs - 30 - 1;
    EXPECT_EQ (-1, poll()) << "1 ms early";
    fakeNow += 1;
    EXPECT_EQ (1, poll());

    fakeNow += 1000;
    EXPECT_EQ (-1, poll()) << "applied once";
    EXPECT_EQ (1, applied);
}

TEST_F (DeferredChangeClockTest, AnIncompleteChangeIsRetriedOnTheNextTickUntilItCompletes)
{
    int runs = 0;
    const auto applyTwiceIncomplete = [&]
    {
        if (++runs < 3)
            clock.retryLater();

        return runs;
    };

    clock.noteChange();
    fakeNow += DeferredChangeClock::delayMs;
    EXPECT_EQ (1, clock.poll (0, applyTwiceIncomplete));
    EXPECT_EQ (2, clock.poll (0, applyTwiceIncomplete)) << "retried without a new change";
    EXPECT_EQ (3, clock.poll (0, applyTwiceIncomplete));
    EXPECT_EQ (-1, clock.poll (0, applyTwiceIncomplete)) << "complete";
}

TEST_F (DeferredChangeClockTest, OfflineOnlyTheAudioThreadAppliesAndNobodyWaits)
{
    // An apply the message thread began before the render is still running when the render
    // starts: the render is told what it works on, and nothing waits for it.
    clock.noteChange();
    fakeNow += DeferredChangeClock::delayMs;
    int busyAtRenderStart = -2;
    EXPECT_EQ (1, clock.poll (3, [&]
                              {
                                  busyAtRenderStart = clock.beginRender();
                                  return apply(); }));
    EXPECT_EQ (3, busyAtRenderStart);

    // From then on the message thread backs out before applying anything, however often it
    // tries, and the audio thread applies at once, never told to try again because of it.
    fakeNow += 1000;
    EXPECT_EQ (-1, clock.applyNow (0, [this]
                                   { return apply(); }));
    EXPECT_EQ (-1, poll());
    EXPECT_EQ (1, applied);

    clock.noteChange();
    clock.advance (clock.getSamplesBeforeDue());
    ASSERT_EQ (0, clock.getSamplesBeforeDue());
    EXPECT_EQ (2, clock.applyDue ([this]
                                  { return apply(); }));
    EXPECT_EQ (-1, clock.getSamplesBeforeDue());

    // A render that starts while the message thread is idle finds nobody busy.
    DeferredChangeClock idle { readFakeNow };
    EXPECT_EQ (-1, idle.beginRender());

    // Back in real time the message thread applies again.
    clock.setOffline (false);
    EXPECT_EQ (3, clock.applyNow (0, [this]
                                  { return apply(); }));
}

TEST_F (DeferredChangeClockTest, OfflineTheWaitIsCountedInSamplesFromTheLastChange)
{
    // A change noted before the render counts from the render's start.
    clock.noteChange();
    clock.setOffline (true);
    EXPECT_EQ (2400, clock.getSamplesBeforeDue()) << "50 ms at 48 kHz";

    clock.advance (1000);
    EXPECT_EQ (1400, clock.getSamplesBeforeDue());

    // A new change restarts the wait.
    clock.noteChange();
    EXPECT_EQ (2400, clock.getSamplesBeforeDue());

    // The message thread's ticks do nothing while the host renders offline, whatever the time.
    fakeNow += 10000;
    EXPECT_EQ (-1, poll());

    clock.advance (5000);
    ASSERT_EQ (0, clock.getSamplesBeforeDue()) << "never below 0";
    EXPECT_EQ (1, clock.applyDue ([this]
                                  { return apply(); }));
    EXPECT_EQ (-1, clock.getSamplesBeforeDue()) << "nothing waits";

    // An incomplete change is tried again 10 ms of samples later.
    clock.noteChange();
    clock.advance (clock.getSamplesBeforeDue());
    clock.applyDue ([this]
                    {
                        clock.retryDueLater();
                        return apply(); });
    EXPECT_EQ (480, clock.getSamplesBeforeDue());
}

TEST_F (DeferredChangeClockTest, OfflineWaitsFollowTheSampleRate)
{
    struct Case
    {
        float rate;
        int delay, retry;
    };

    for (const auto c : { Case { 44100.0f, 2205, 441 }, Case { 96000.0f, 4800, 960 }, Case { 8000.0f, 400, 80 } })
    {
        DeferredChangeClock rated { readFakeNow };
        rated.setSampleRate (c.rate);
        rated.setOffline (true);
        rated.noteChange();
        EXPECT_EQ (c.delay, rated.getSamplesBeforeDue()) << c.rate;
        rated.advance (c.delay);
        rated.applyDue ([&]
                        {
                            rated.retryDueLater();
                            return 0; });
        EXPECT_EQ (c.retry, rated.getSamplesBeforeDue()) << c.rate;
    }
}

TEST_F (DeferredChangeClockTest, SettlingForgetsEveryChangeNotedSoFar)
{
    clock.noteChange();
    clock.retryLater();
    clock.settle();
    fakeNow += 1000;
    EXPECT_EQ (-1, poll()) << "neither the change nor the retry";
    EXPECT_EQ (0, applied);
}
