#pragma once

#include <juce_core/juce_core.h>

#include <atomic>
#include <cstdint>
#include <thread>

// When a deferred change (the circuit or the oversampling factor) falls due. Every change
// restarts a wait of delayMs, like a one-shot timer, so that a burst of changes is applied once:
//   in real time the wait runs on the millisecond counter, and the message thread polls it on
//   every timer tick;
//   offline, where renders run faster than real time, it is counted in samples on the audio
//   thread, and the change is made at the sample it falls due, so that two renders of the same
//   automation are identical whatever the block sizes.
// An attempt that could not be completed (the other thread was applying a change, or the owner
// called retryLater) is made again: on the next tick, or retryMs of samples later.
//
// The owner's apply function runs under the clock's exclusion: one thread at a time, and the
// audio thread never waits for the other. noteChange may be called on any thread.
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
    void settle() noexcept;

    // Called by apply: the change could not be completed and is tried again.
    void retryLater() noexcept { retry = true; }

    //==============================================================================
    // Message thread, on every tick: applies once the last change is delayMs old or a retry is
    // due, and never while the host renders offline. Returns apply's result, or -1 when it did
    // not run.
    template <typename Apply>
    int poll (Apply&& apply)
    {
        return isDue() ? applyNow (apply) : -1;
    }

    // Message thread: applies now, unless the audio thread is applying an offline change (then
    // on the next tick).
    template <typename Apply>
    int applyNow (Apply&& apply)
    {
        if (! hold())
        {
            retry = true;
            return -1;
        }

        retry = false;
        const auto result = apply();
        letGo();
        return result;
    }

    // Waits until no other thread applies a change, then runs apply under the exclusion (an
    // offline render's reset, where waiting costs nothing audible).
    template <typename Apply>
    int applyWhenFree (Apply&& apply)
    {
        while (! hold())
            std::this_thread::yield();

        const auto result = apply();
        letGo();
        return result;
    }

    //==============================================================================
    // Audio thread, at the start of every piece of a block: whether the host renders offline
    // now. A change noted before the render counts from the render's start.
    void setOffline (bool isOffline) noexcept;

    bool isOffline() const noexcept { return offline.load (std::memory_order_relaxed); }

    // Offline, audio thread: the samples that can be processed before a change falls due (0:
    // apply it now with applyDue), or -1 when none is waiting.
    int getSamplesBeforeDue() noexcept;

    // Offline, audio thread: applies the change that fell due, unless the message thread is
    // applying one it started before the render (then retryMs later).
    template <typename Apply>
    int applyDue (Apply&& apply)
    {
        if (! hold())
        {
            offlineCountdown = retryIntervalSamples();
            return -1;
        }

        retry = false;
        const auto result = apply();
        offlineCountdown = retry ? retryIntervalSamples() : -1;
        retry = false;
        letGo();
        return result;
    }

    // Offline, audio thread: numSamples were processed.
    void advance (int numSamples) noexcept;

private:
    // Real time: the last change is delayMs old (and taken), or a retry is due.
    bool isDue() noexcept;

    // The exclusion between the threads that apply changes; the audio thread never waits.
    bool hold() noexcept { return ! applying.exchange (true, std::memory_order_acquire); }
    void letGo() noexcept { applying.store (false, std::memory_order_release); }

    // As often as the message thread's timer would try.
    int retryIntervalSamples() const noexcept;

    MillisecondCounter now;
    float sampleRate = 44100.0f;

    // Stamped on any thread.
    std::atomic<juce::uint32> changeStamp { 0 };
    std::atomic<juce::uint32> changeTimeMs { 0 };

    // Whoever holds applying.
    juce::uint32 appliedStamp = 0;
    bool retry = false;
    std::atomic<bool> applying { false };

    // Audio thread.
    std::atomic<bool> offline { false };
    juce::uint32 offlineSeenStamp = 0;
    int offlineCountdown = -1;
};
