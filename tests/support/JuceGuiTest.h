#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <memory>

namespace juce
{
// The framework's own step of its message loop (what runDispatchLoopUntil runs, which this
// build of the modules leaves out).
bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
} // namespace juce

// A fixture for tests of components: JUCE's message manager and desktop (with its mouse
// source) exist while the suite runs. No window is opened, so no display is needed.
class JuceGuiTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { initialiser = std::make_unique<juce::ScopedJuceInitialiser_GUI>(); }
    static void TearDownTestSuite() { initialiser.reset(); }

    // Delivers the messages posted meanwhile (async clicks, callAsync) for a while.
    static void pump (int milliseconds = 30)
    {
        const auto end = juce::Time::getMillisecondCounter() + (juce::uint32) milliseconds;

        while (juce::Time::getMillisecondCounter() < end)
            if (! juce::dispatchNextMessageOnSystemQueue (true))
                juce::Thread::sleep (1);
    }

    // A press, drag or release of the left mouse button at a position of the component.
    static juce::MouseEvent mouseAt (juce::Component& component, juce::Point<float> position, juce::Point<float> pressedAt, bool dragged = false)
    {
        const auto now = juce::Time::getCurrentTime();
        return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(),
                                 position,
                                 juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier),
                                 juce::MouseInputSource::defaultPressure,
                                 juce::MouseInputSource::defaultOrientation,
                                 juce::MouseInputSource::defaultRotation,
                                 juce::MouseInputSource::defaultTiltX,
                                 juce::MouseInputSource::defaultTiltY,
                                 &component,
                                 &component,
                                 now,
                                 pressedAt,
                                 now,
                                 1,
                                 dragged);
    }

private:
    static inline std::unique_ptr<juce::ScopedJuceInitialiser_GUI> initialiser;
};
