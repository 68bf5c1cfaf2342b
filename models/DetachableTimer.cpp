#include "models/DetachableTimer.h"

#include <juce_events/juce_events.h>

#include <atomic>
#include <mutex>

class DetachableTimer::Core final : public juce::Timer
{
public:
    explicit Core (std::function<void()> function)
        : callback (std::move (function))
    {
    }

    void timerCallback() override
    {
        // Held while the callback runs, so that detach waits for it.
        const std::lock_guard<std::mutex> guard (lock);

        if (callback)
            callback();
    }

    void detach()
    {
        armedWithoutMessages = false;
        stopTimer();
        const std::lock_guard<std::mutex> guard (lock);
        callback = nullptr;
    }

    // Without a message manager (the renderer, most tests) no callback could ever come: the
    // timer only counts as running, and the owner or a test calls the callback itself.
    std::atomic<bool> armedWithoutMessages { false };

private:
    std::mutex lock;
    std::function<void()> callback;
};

DetachableTimer::DetachableTimer (std::function<void()> callback)
    : core (std::make_shared<Core> (std::move (callback)))
{
}

DetachableTimer::~DetachableTimer()
{
    detach();

    // The message thread may have picked this timer and not yet entered its callback: the core
    // lives until the message thread has let go of it. Without a message loop nothing calls it.
    if (auto* messages = juce::MessageManager::getInstanceWithoutCreating())
        if (! messages->isThisTheMessageThread())
            juce::MessageManager::callAsync ([keptAlive = core] {});
}

void DetachableTimer::startTimer (int intervalMs)
{
    if (juce::MessageManager::getInstanceWithoutCreating() == nullptr)
        core->armedWithoutMessages = true;
    else
        core->startTimer (intervalMs);
}

void DetachableTimer::stopTimer()
{
    core->armedWithoutMessages = false;
    core->stopTimer();
}

bool DetachableTimer::isTimerRunning() const
{
    return core->armedWithoutMessages || core->isTimerRunning();
}

void DetachableTimer::detach()
{
    core->detach();
}
