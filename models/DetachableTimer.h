#pragma once

#include <functional>
#include <memory>

// A message-thread timer that its owner may destroy on any thread. A juce::Timer destroyed
// away from the message thread can still be inside its callback, or just about to enter it;
// here the destructor waits out a running callback, guarantees that none starts afterwards,
// and leaves the deletion of the timer itself to the message thread.
//
// start and stop may be called on any thread, the callback runs on the message thread only.
class DetachableTimer
{
public:
    explicit DetachableTimer (std::function<void()> callback);
    ~DetachableTimer();

    void startTimer (int intervalMs);
    void stopTimer();
    bool isTimerRunning() const;

    // Stops the callbacks for good and waits for one that is running to return. The owner calls
    // this before any of the state the callback uses dies.
    void detach();

private:
    class Core;
    std::shared_ptr<Core> core;

    DetachableTimer (const DetachableTimer&) = delete;
    DetachableTimer& operator= (const DetachableTimer&) = delete;
};
