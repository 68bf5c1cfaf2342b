// The pedal's window on a real display, with the real mouse pointer. The suite needs a display;
// CTest runs it under a private X server (see tests/CMakeLists.txt).

#include "editor/VardekoQX2710AudioProcessorEditor.h"
#include "processor/VardekoQX2710AudioProcessor.h"

#include "JuceGuiTest.h"
#include "TemporaryHome.h"

#include <cstdlib>

namespace
{
class EditorInAWindowTest : public JuceGuiTest
{
protected:
    // JUCE installs its X error handlers for applications only; without them an X server with
    // no window manager (Xvfb) ends the program over window properties it cannot set.
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

    void SetUp() override
    {
        if (std::getenv ("DISPLAY") == nullptr)
            GTEST_SKIP() << "needs a display";

        editor = std::make_unique<VardekoQX2710AudioProcessorEditor> (processor);
        editor->setTopLeftPosition (40, 40);
        editor->addToDesktop (0);
        editor->setVisible (true);
        // The window has the focus, as a window the user works in does: JUCE shows tooltips
        // only for the application in front.
        editor->toFront (true);
        pump (100);
    }

    void TearDown() override { editor.reset(); }

    juce::Component& child (const juce::String& name)
    {
        for (auto* c : editor->getChildren())
            if (c->getName() == name)
                return *c;

        ADD_FAILURE() << "no child " << name;
        return *editor;
    }

    juce::TooltipWindow* tooltipWindow()
    {
        for (auto* c : editor->getChildren())
            if (auto* tip = dynamic_cast<juce::TooltipWindow*> (c))
                return tip;

        return nullptr;
    }

    // The pointer moved to a point of the window and left there while the messages flow. The
    // pointer is warped there, and the window hears of the move as from the X server.
    void hoverAt (juce::Point<int> local, int milliseconds)
    {
        juce::Desktop::setMousePosition (editor->localPointToGlobal (local));
        editor->getPeer()->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse,
                                             local.toFloat(),
                                             juce::ModifierKeys(),
                                             juce::MouseInputSource::defaultPressure,
                                             juce::MouseInputSource::defaultOrientation,
                                             juce::Time::currentTimeMillis());
        pump (milliseconds);
    }

    void hoverOver (juce::Component& c, int milliseconds)
    {
        hoverAt (editor->getLocalPoint (&c, c.getLocalBounds().getCentre()), milliseconds);
    }

    TemporaryHome home;
    VardekoQX2710AudioProcessor processor;
    std::unique_ptr<VardekoQX2710AudioProcessorEditor> editor;
};
} // namespace

TEST_F (EditorInAWindowTest, ATooltipAppearsOverAControlAfterAPause)
{
    auto* tip = tooltipWindow();
    ASSERT_NE (tip, nullptr) << "no tooltip window: tooltips would never show";
    EXPECT_FALSE (tip->isVisible());

    for (const auto* name : { "toneKnob_", "presetIncButton_", "oversampling4xButton_" })
    {
        SCOPED_TRACE (name);
        auto& control = child (name);
        ASSERT_TRUE (control.isShowing());

        hoverOver (control, VardekoQX2710AudioProcessorEditor::tooltipDelayMs / 3);
        EXPECT_FALSE (tip->isVisible()) << "not before the pause";

        pump (VardekoQX2710AudioProcessorEditor::tooltipDelayMs + 400);
        ASSERT_TRUE (tip->isVisible());
        EXPECT_EQ (tip->getTipFor (control), dynamic_cast<juce::TooltipClient&> (control).getTooltip());
        EXPECT_FALSE (tip->getTipFor (control).isEmpty());
        EXPECT_TRUE (editor->getLocalBounds().contains (tip->getBounds())) << "inside the window";
        EXPECT_EQ (editor->getChildren().getLast(), tip) << "above everything else";

        // Away from the controls (the bare background) the tip goes.
        hoverAt ({ 160, 150 }, 700);
        EXPECT_FALSE (tip->isVisible());
    }
}
