#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <gtest/gtest.h>

#include <cstdlib>
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

    // A press, drag or release of the left mouse button at a position of the component (with
    // Shift held, for one).
    static juce::MouseEvent mouseAt (juce::Component& component, juce::Point<float> position, juce::Point<float> pressedAt, bool dragged = false, bool shift = false)
    {
        const auto now = juce::Time::getCurrentTime();
        return makeMouseEvent (component, position, juce::ModifierKeys::leftButtonModifier | (shift ? juce::ModifierKeys::shiftModifier : 0), now, pressedAt, 1, dragged);
    }

    // The wheel over the middle of a component, at a given time (a repeated time is a repeated
    // event), and the wheel's movement for some steps of it as the X server sends them.
    static juce::MouseEvent wheelAt (juce::Component& component, bool shift, juce::Time when)
    {
        const auto centre = component.getLocalBounds().getCentre().toFloat();
        return makeMouseEvent (component, centre, shift ? juce::ModifierKeys::shiftModifier : 0, when, centre, 0, false);
    }

    static juce::MouseWheelDetails wheelSteps (float steps)
    {
        juce::MouseWheelDetails wheel {};
        wheel.deltaY = steps * 50.0f / 256.0f;
        return wheel;
    }

private:
    static juce::MouseEvent makeMouseEvent (juce::Component& component, juce::Point<float> position, int modifiers, juce::Time when, juce::Point<float> pressedAt, int clicks, bool dragged)
    {
        return juce::MouseEvent (juce::Desktop::getInstance().getMainMouseSource(),
                                 position,
                                 juce::ModifierKeys (modifiers),
                                 juce::MouseInputSource::defaultPressure,
                                 juce::MouseInputSource::defaultOrientation,
                                 juce::MouseInputSource::defaultRotation,
                                 juce::MouseInputSource::defaultTiltX,
                                 juce::MouseInputSource::defaultTiltY,
                                 &component,
                                 &component,
                                 when,
                                 pressedAt,
                                 when,
                                 clicks,
                                 dragged);
    }

    static inline std::unique_ptr<juce::ScopedJuceInitialiser_GUI> initialiser;
};

// A fixture for tests that open real windows (under Xvfb). JUCE installs its X error handlers
// for applications only; without them an X server with no window manager ends the program over
// window properties it cannot set.
class JuceWindowTest : public JuceGuiTest
{
protected:
    static void SetUpTestSuite()
    {
        juce::JUCEApplicationBase::createInstance = []() -> juce::JUCEApplicationBase*
        { return nullptr; };
        JuceGuiTest::SetUpTestSuite();
    }

    static void TearDownTestSuite()
    {
        JuceGuiTest::TearDownTestSuite();
        juce::JUCEApplicationBase::createInstance = nullptr;
    }

    static bool hasDisplay() { return std::getenv ("DISPLAY") != nullptr; }
};
