#include "processor/DeferredChangeClock.h"

#include <algorithm>

void DeferredChangeClock::noteChange() noexcept
{
    changeTimeMs.store (now(), std::memory_order_relaxed);
    changeStamp.fetch_add (1, std::memory_order_release);
}

void DeferredChangeClock::settle() noexcept
{
    appliedStamp = changeStamp.load();
    retry = false;
    offlineSeenStamp = appliedStamp;
    offlineCountdown = -1;
}

bool DeferredChangeClock::isDue() noexcept
{
    if (offline.load (std::memory_order_relaxed))
        return false;

    const auto stamp = changeStamp.load (std::memory_order_acquire);

    if (stamp != appliedStamp)
    {
        const auto elapsed = now() - changeTimeMs.load (std::memory_order_relaxed);

        if (elapsed < (juce::uint32) delayMs)
            return false;

        appliedStamp = stamp;
        return true;
    }

    return retry;
}

void DeferredChangeClock::setOffline (bool isOffline) noexcept
{
    if (isOffline && ! offline.load (std::memory_order_relaxed))
    {
        offlineSeenStamp = changeStamp.load (std::memory_order_acquire) - 1;
        offlineCountdown = -1;
        dueRetry = false;
    }

    // Ordered against the holder's look at it (see hold).
    offline.store (isOffline);
}

int DeferredChangeClock::beginRender() noexcept
{
    setOffline (true);
    const auto busy = holder.load();

    // Only the audio thread's fields: the message thread's are its own while it may hold.
    offlineSeenStamp = changeStamp.load (std::memory_order_acquire);
    offlineCountdown = -1;
    dueRetry = false;
    return busy;
}

int DeferredChangeClock::getSamplesBeforeDue() noexcept
{
    const auto stamp = changeStamp.load (std::memory_order_acquire);

    if (stamp != offlineSeenStamp)
    {
        offlineSeenStamp = stamp;
        offlineCountdown = juce::roundToInt (sampleRate * (float) delayMs / 1000.0f);
    }

    return offlineCountdown;
}

void DeferredChangeClock::advance (int numSamples) noexcept
{
    if (offlineCountdown > 0)
        offlineCountdown = std::max (0, offlineCountdown - numSamples);
}

int DeferredChangeClock::retryIntervalSamples() const noexcept
{
    return std::max (1, juce::roundToInt (sampleRate * ((float) retryMs / 1000.0f)));
}
