#pragma once

#include <juce_events/juce_events.h>

#include <functional>
#include <thread>

namespace MessageLoop
{
// Runs work on a thread of its own while the calling thread runs JUCE's message loop, as a
// host's message thread would (timers fire there); returns once work has returned.
inline void runWhileDispatching (const std::function<void()>& work)
{
    const juce::ScopedJuceInitialiser_GUI juce;
    auto* messages = juce::MessageManager::getInstance();

    std::thread worker ([&work, messages]
                        {
                            work();
                            messages->stopDispatchLoop(); });

    messages->runDispatchLoop();
    worker.join();
}
} // namespace MessageLoop
