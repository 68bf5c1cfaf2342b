// The pedal's window on a real display, with the real mouse pointer. The suite needs a display;
// CTest runs it under a private X server (see tests/CMakeLists.txt).

#include "editor/VardekoQX2710AudioProcessorEditor.h"
#include "presets/MolvekAlertComponent.h"
#include "processor/HostParameters.h"
#include "processor/ProductInfo.h"
#include "processor/VardekoQX2710AudioProcessor.h"

#include "JuceGuiTest.h"
#include "ProcessorTestHelpers.h"
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

    // A control as a screen reader meets it.
    juce::AccessibilityHandler& reader (const juce::String& name)
    {
        auto* handler = child (name).getAccessibilityHandler();

        if (handler == nullptr)
        {
            ADD_FAILURE() << name << " is not accessible";
            return *editor->getAccessibilityHandler();
        }

        return *handler;
    }

    static juce::String valueOf (juce::AccessibilityHandler& handler)
    {
        auto* value = handler.getValueInterface();
        return value != nullptr ? value->getCurrentValueAsString() : juce::String ("(none)");
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

TEST_F (EditorInAWindowTest, EveryControlHasATitleARoleAndAValueForScreenReaders)
{
    using Role = juce::AccessibilityRole;
    using HP = HostParameters;
    ProcessorTest::setValue (processor, HP::tone, 0.3f);
    ProcessorTest::setValue (processor, HP::overdriveType, HP::getModelValue (2));
    editor->timerCallback();

    const auto text = [this] (int index)
    { return HP::getText (index, ProcessorTest::getValue (processor, index)); };

    struct Row
    {
        const char* name;
        juce::String title;
        Role role;
        juce::String value;
    };

    const Row rows[] = {
        { "fileButton_", "File", Role::button, "(none)" },
        { "presetDecButton_", "Previous preset", Role::button, "(none)" },
        { "presetIncButton_", "Next preset", Role::button, "(none)" },
        { "presetMenu_", "Preset", Role::comboBox, "Init*" },
        { "inputMeter_", "Input level", Role::progressBar, "0 %" },
        { "inputPeak_", "Input clipping", Role::image, "No" },
        { "abButton_", "Channel", Role::toggleButton, "A" },
        { "abCopyButton_", "Copy channel A to B", Role::button, "(none)" },
        { "bypassButton_", "Effect", Role::toggleButton, ProcessorTest::getValue (processor, HP::onBypass) > 0.0f ? "On" : "Off" },
        { "inputVolKnob_", "Input volume", Role::slider, text (HP::inputVol) },
        { "overdriveKnob_", "Overdrive", Role::slider, text (HP::overdrive) },
        { "toneKnob_", "Tone", Role::slider, "3.00" },
        { "levelKnob_", "Level", Role::slider, text (HP::level) },
        { "dryWetKnob_", "Dry/wet mix", Role::slider, text (HP::dryWet) },
        { "overdriveTypeKnob_", "Circuit", Role::slider, HP::getModelName (2) },
        { "oversampling1xButton_", HP::getOversamplingName (0), Role::toggleButton, "On" },
        { "oversampling2xButton_", HP::getOversamplingName (1), Role::toggleButton, "Off" },
        { "oversampling4xButton_", HP::getOversamplingName (2), Role::toggleButton, "Off" },
        { "oversampling8xButton_", HP::getOversamplingName (3), Role::toggleButton, "Off" },
        { "aboutShowButton_", "About Vardeko QX2710", Role::button, "(none)" },
    };

    for (const auto& row : rows)
    {
        SCOPED_TRACE (row.name);
        auto& handler = reader (row.name);
        EXPECT_EQ (handler.getTitle(), row.title);
        EXPECT_EQ (handler.getRole(), row.role);
        EXPECT_EQ (valueOf (handler), row.value);
    }

    EXPECT_EQ (reader ("bypassButton_").getCurrentState().isChecked(), ProcessorTest::getValue (processor, HP::onBypass) > 0.0f);
    EXPECT_TRUE (reader ("oversampling1xButton_").getCurrentState().isChecked());
    EXPECT_FALSE (reader ("oversampling2xButton_").getCurrentState().isChecked());

    // What a screen reader walks through: the window by its product's name, then every control
    // by a title of words (never a component's internal name); the hidden panels are not there.
    auto* window = editor->getAccessibilityHandler();
    ASSERT_NE (window, nullptr);
    EXPECT_EQ (window->getTitle(), ProductInfo::name);
    juce::StringArray titles;

    for (auto* element : window->getChildren())
        titles.add (element->getTitle());

    juce::StringArray expected;

    for (const auto& row : rows)
        expected.add (row.title);

    titles.sort (true);
    expected.sort (true);
    EXPECT_EQ (titles.joinIntoString ("; "), expected.joinIntoString ("; "));
}

TEST_F (EditorInAWindowTest, AScreenReaderOperatesThePedal)
{
    using HP = HostParameters;

    // A knob set through its value: the host hears it, the text follows.
    reader ("toneKnob_").getValueInterface()->setValue (0.8);
    EXPECT_FLOAT_EQ (ProcessorTest::getValue (processor, HP::tone), 0.8f);
    EXPECT_EQ (valueOf (reader ("toneKnob_")), "8.00");

    reader ("overdriveTypeKnob_").getValueInterface()->setValue (1.0);
    EXPECT_EQ (HP::getModelIndex (ProcessorTest::getValue (processor, HP::overdriveType)), 4);
    EXPECT_EQ (valueOf (reader ("overdriveTypeKnob_")), HP::getModelName (4));

    // Buttons pressed and toggled as clicks are.
    const auto bypassBefore = ProcessorTest::getValue (processor, HP::onBypass);
    ASSERT_TRUE (reader ("bypassButton_").getActions().invoke (juce::AccessibilityActionType::toggle));
    pump();
    EXPECT_NE (ProcessorTest::getValue (processor, HP::onBypass), bypassBefore);

    ASSERT_TRUE (reader ("oversampling4xButton_").getActions().invoke (juce::AccessibilityActionType::press));
    pump();
    EXPECT_EQ (HP::getOversamplingIndex (ProcessorTest::getValue (processor, HP::oversampling)), 2);
    EXPECT_TRUE (reader ("oversampling4xButton_").getCurrentState().isChecked());
    EXPECT_FALSE (reader ("oversampling1xButton_").getCurrentState().isChecked());

    ASSERT_TRUE (reader ("abButton_").getActions().invoke (juce::AccessibilityActionType::press));
    pump();
    EXPECT_EQ (processor.getActiveChannel(), 1);
    EXPECT_EQ (valueOf (reader ("abButton_")), "B");
    EXPECT_EQ (reader ("abCopyButton_").getTitle(), "Copy channel B to A");

    // The preset bar opens its list.
    ASSERT_TRUE (reader ("presetMenu_").getActions().invoke (juce::AccessibilityActionType::press));
    pump (100);
    EXPECT_TRUE (juce::PopupMenu::dismissAllActiveMenus()) << "a menu was open";
    pump (100);

    // A message is a dialog titled with its text; its OK closes it.
    editor->performFileMenuItem (VardekoQX2710AudioProcessorEditor::userManualItem);
    auto& alert = reader ("alert_");
    EXPECT_EQ (alert.getRole(), juce::AccessibilityRole::dialogWindow);
    EXPECT_EQ (alert.getTitle(), static_cast<MolvekAlertComponent&> (child ("alert_")).getMessage());
    auto* ok = static_cast<MolvekAlertComponent&> (child ("alert_")).getOkButton().getAccessibilityHandler();
    ASSERT_NE (ok, nullptr);
    EXPECT_EQ (ok->getTitle(), "OK");
    ok->getActions().invoke (juce::AccessibilityActionType::press);
    pump();
    EXPECT_FALSE (child ("alert_").isVisible());

    // The save panel and the about screen are dialogs with titles of their own.
    editor->performFileMenuItem (VardekoQX2710AudioProcessorEditor::savePresetAsItem);
    EXPECT_EQ (reader ("savePresetBrowser_").getRole(), juce::AccessibilityRole::dialogWindow);
    EXPECT_EQ (reader ("savePresetBrowser_").getTitle(), "Save preset as");
}
