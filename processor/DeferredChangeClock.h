#pragma once

#include <juce_core/juce_core.h>

#include <atomic>
#include <cstdint>

// When a deferred change (the circuit or the oversampling factor) falls due. Every change
// restarts a wait of delayMs, like a one-shot timer, so that a burst of changes is applied once:
//   in real time the wait runs on the millisecond counter, and the message thread polls it on
//   every timer tick;
//   offline, where renders run faster than real time, it is counted in samples on the audio
//   thread, and the change is made at the sample it falls due, so that two renders of the same
//   automation are identical whatever the block sizes.
// An attempt that could not be completed (the owner called retryLater or retryDueLater, or the
// host went offline while the message thread was about to apply) is made again: on the next
// tick, or retryMs of samples later.
//
// Nobody ever waits. The message thread applies under an exclusion that names what it works on
// (the owner's tag) and backs out, before touching anything, once the host renders offline;
// offline only the audio thread applies. An apply the message thread began just before a render
// started may still be running when the render starts: beginRender says on what, so that the
// owner starts the render on something else. noteChange may be called on any thread.
class DeferredChangeClock
{
public:
    static constexpr int delayMs = 50;
    static constexpr int retryMs = 10;

    using MillisecondCounter = juce::uint32 (*)() noexcept;

    // Tests give a counter of their own.
    explicit DeferredChangeClock (MillisecondCounter counter = juce::Time::getMillisecondCounter) noexcept
        : now (counter)
    {
    }

    // The rate that offline waits are counted at.
    void setSampleRate (float rate) noexcept { sampleRate = rate; }
    float getSampleRate() const noexcept { return sampleRate; }

    // Any thread: a change was made.
    void noteChange() noexcept;

    // Every change noted so far counts as applied (the owner has applied the live values).
    // Not while the message thread may be applying (see beginRender).
    void settle() noexcept;

    // Called by the message thread's apply: the change could not be completed and is tried
    // again on a later tick.
    void retryLater() noexcept { retry = true; }

    //==============================================================================
    // Message thread, on every tick: applies once the last change is delayMs old or a retry is
    // due, and never while the host renders offline. tag names what apply works on. Returns
    // apply's result, or -1 when it did not run.
    template <typename Apply>
    int poll (int tag, Apply&& apply)
    {
        return isDue() ? applyNow (tag, apply) : -1;
    }

    // Message thread: applies now, unless the host renders offline (then the audio thread
    // applies at the sample the change falls due, and this backs out untouched).
    template <typename Apply>
    int applyNow (int tag, Apply&& apply)
    {
        if (! hold (tag))
        {
            retry = true;
            return -1;
        }

        retry = false;
        const auto result = apply();
        letGo();
        return result;
    }

    //==============================================================================
    // Audio thread, at the start of every piece of a block: whether the host renders offline
    // now. A change noted before the render counts from the render's start.
    void setOffline (bool isOffline) noexcept;

    bool isOffline() const noexcept { return offline.load (std::memory_order_relaxed); }

    // Audio thread, when an offline render starts: from here on the message thread applies
    // nothing. Returns the tag of an apply it began before and may still be running, or -1. Every
    // change noted so far counts as applied (the render starts from the live values).
    int beginRender() noexcept;

    // Offline, audio thread: the samples that can be processed before a change falls due (0:
    // apply it now with applyDue), or -1 when none is waiting.
    int getSamplesBeforeDue() noexcept;

    // Offline, audio thread: applies the change that fell due. Nothing else applies meanwhile.
    template <typename Apply>
    int applyDue (Apply&& apply)
    {
        dueRetry = false;
        const auto result = apply();
        offlineCountdown = dueRetry ? retryIntervalSamples() : -1;
        dueRetry = false;
        return result;
    }

    // Called by the audio thread's apply: the change is tried again retryMs of samples later.
    void retryDueLater() noexcept { dueRetry = true; }

    // Offline, audio thread: numSamples were processed.
    void advance (int numSamples) noexcept;

private:
    // Real time: the last change is delayMs old (and taken), or a retry is due.
    bool isDue() noexcept;

    // The message thread's exclusion, holding its tag. The audio thread never takes it: the
    // holder backs out when it finds the host rendering offline, and beginRender reads it after
    // marking the render, so that one of the two always sees the other.
    bool hold (int tag) noexcept
    {
        auto expected = -1;

        if (! holder.compare_exchange_strong (expected, tag))
            return false;

        if (offline.load())
        {
            letGo();
            return false;
        }

        return true;
    }

    void letGo() noexcept { holder.store (-1); }

    // As often as the message thread's timer would try.
    int retryIntervalSamples() const noexcept;

    MillisecondCounter now;
    float sampleRate = 44100.0f;

    // Stamped on any thread.
    std::atomic<juce::uint32> changeStamp { 0 };
    std::atomic<juce::uint32> changeTimeMs { 0 };

    // Message thread.
    juce::uint32 appliedStamp = 0;
    bool retry = false;
    std::atomic<int> holder { -1 };

    // Audio thread.
    std::atomic<bool> offline { false };
    juce::uint32 offlineSeenStamp = 0;
    int offlineCountdown = -1;
    bool dueRetry = false;
};
