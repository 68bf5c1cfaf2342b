// The pedal's window on a real display, with the real mouse pointer. The suite needs a display;
// CTest runs it under a private X server (see tests/CMakeLists.txt).

#include "editor/VardekoQX2710AudioProcessorEditor.h"
#include "presets/MolvekAlertComponent.h"
#include "processor/HostParameters.h"
#include "processor/ProductInfo.h"
#include "processor/VardekoQX2710AudioProcessor.h"

#include "HostRecorder.h"
#include "JuceGuiTest.h"
#include "ProcessorTestHelpers.h"
#include "TemporaryHome.h"

namespace
{
class EditorInAWindowTest : public JuceWindowTest
{
protected:
    void SetUp() override
    {
        if (! hasDisplay())
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

    // A key as the window system delivers it: to the control in focus, then up its parents.
    void press (const juce::KeyPress& key)
    {
        editor->getPeer()->handleKeyPress (key);
        pump (10);
    }

    juce::String focusedName() const
    {
        auto* focused = juce::Component::getCurrentlyFocusedComponent();
        return focused == nullptr ? juce::String ("(nothing)") : focused == editor.get() ? juce::String ("(window)") : focused->getName();
    }

    const juce::Component* ring()
    {
        for (auto* c : editor->getChildren())
            if (c->getName() == "focusRing")
                return c;

        return nullptr;
    }

    // The ring shows and lies around the control (its middle inside the control's bounds).
    bool ringIsAround (const juce::String& name)
    {
        const auto* r = ring();
        return r != nullptr && r->isVisible() && child (name).getBounds().contains (r->getBounds().getCentre());
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

namespace
{
using Key = juce::KeyPress;
const Key tab (Key::tabKey);
const Key shiftTab (Key::tabKey, juce::ModifierKeys::shiftModifier, 0);
} // namespace

TEST_F (EditorInAWindowTest, TabWalksTheControlsInReadingOrderWithAVisibleRing)
{
    ASSERT_NE (ring(), nullptr);
    EXPECT_EQ (focusedName(), "(window)") << "the window takes the focus itself, no control";
    EXPECT_FALSE (ring()->isVisible()) << "no ring until the keyboard is used";

    // The top bar, the upper panel (the oversampling lights one stop, at the lit one), the
    // knobs, the selector and the foot switch; then round again.
    const juce::StringArray order { "fileButton_", "presetMenu_", "presetDecButton_", "presetIncButton_", "abButton_", "abCopyButton_", "inputVolKnob_", "oversampling1xButton_", "dryWetKnob_", "overdriveKnob_", "toneKnob_", "levelKnob_", "overdriveTypeKnob_", "bypassButton_" };

    for (const auto& name : order)
    {
        press (tab);
        EXPECT_EQ (focusedName(), name);
        EXPECT_TRUE (ringIsAround (name)) << name;
    }

    press (tab);
    EXPECT_EQ (focusedName(), order[0]) << "round again";

    for (int i = order.size() - 1; i >= 0; --i)
    {
        press (shiftTab);
        EXPECT_EQ (focusedName(), order[i]);
        EXPECT_TRUE (ringIsAround (order[i])) << order[i];
    }

    // Shift+Tab from the window itself starts at the end.
    editor->grabKeyboardFocus();
    EXPECT_FALSE (ring()->isVisible());
    press (shiftTab);
    EXPECT_EQ (focusedName(), "bypassButton_");

    // A click anywhere takes the focus back to the window, and the ring goes, so that the
    // host's keys (Space for its transport) are not taken by a control.
    const auto at = child ("toneKnob_").getBounds().getCentre().toFloat();
    const auto now = juce::Time::currentTimeMillis();
    editor->getPeer()->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, at, juce::ModifierKeys (juce::ModifierKeys::leftButtonModifier), 1.0f, 0.0f, now);
    editor->getPeer()->handleMouseEvent (juce::MouseInputSource::InputSourceType::mouse, at, juce::ModifierKeys(), 1.0f, 0.0f, now + 10);
    pump (20);
    EXPECT_EQ (focusedName(), "(window)");
    EXPECT_FALSE (ring()->isVisible());
    EXPECT_FALSE (editor->keyPressed (Key (Key::spaceKey))) << "Space goes on to the host";

    // With a panel open the controls are out of reach: the keys go to the panel.
    child ("bypassButton_").grabKeyboardFocus();
    const auto bypass = ProcessorTest::getValue (processor, HostParameters::onBypass);
    editor->performFileMenuItem (VardekoQX2710AudioProcessorEditor::userManualItem);
    pump (20);
    ASSERT_TRUE (child ("alert_").isVisible());
    press (Key (Key::downKey));
    press (Key (Key::upKey));
    EXPECT_EQ (ProcessorTest::getValue (processor, HostParameters::onBypass), bypass);
}

TEST_F (EditorInAWindowTest, KeysMoveTheControlInFocusOneHostGesturePerStep)
{
    using HP = HostParameters;
    ProcessorTest::setValue (processor, HP::tone, 0.5f);
    ProcessorTest::setValue (processor, HP::overdriveType, HP::getModelValue (0));
    ProcessorTest::setValue (processor, HP::onBypass, 1.0f);
    ProcessorTest::setValue (processor, HP::oversampling, HP::getStepValue (HP::oversampling, 0));
    editor->timerCallback();

    const auto shift = juce::ModifierKeys::shiftModifier;
    const auto ctrl = juce::ModifierKeys::ctrlModifier;

    struct Step
    {
        const char* control; // focused before the key
        Key key;
        int parameter;
        float expected; // the parameter's value after the key
        int gestures; // the host's gestures for this key
        const char* focusAfter;
    };

    const auto model = [] (int i) { return HP::getModelValue (i); };
    const auto factor = [] (int i) { return HP::getStepValue (HP::oversampling, i); };

    const Step steps[] = {
        // A knob: small, fine and large steps, its ends; nothing at an end; Ctrl is the host's.
        { "toneKnob_", Key (Key::upKey), HP::tone, 0.51f, 1, "toneKnob_" },
        { "toneKnob_", Key (Key::rightKey), HP::tone, 0.52f, 1, "toneKnob_" },
        { "toneKnob_", Key (Key::downKey, shift, 0), HP::tone, 0.519f, 1, "toneKnob_" },
        { "toneKnob_", Key (Key::pageDownKey), HP::tone, 0.419f, 1, "toneKnob_" },
        { "toneKnob_", Key (Key::pageUpKey), HP::tone, 0.519f, 1, "toneKnob_" },
        { "toneKnob_", Key (Key::homeKey), HP::tone, 0.0f, 1, "toneKnob_" },
        { "toneKnob_", Key (Key::leftKey), HP::tone, 0.0f, 0, "toneKnob_" },
        { "toneKnob_", Key (Key::endKey), HP::tone, 1.0f, 1, "toneKnob_" },
        { "toneKnob_", Key (Key::downKey, ctrl, 0), HP::tone, 1.0f, 0, "toneKnob_" },
        // The selector: one circuit per key.
        { "overdriveTypeKnob_", Key (Key::upKey), HP::overdriveType, model (1), 1, "overdriveTypeKnob_" },
        { "overdriveTypeKnob_", Key (Key::pageUpKey), HP::overdriveType, model (2), 1, "overdriveTypeKnob_" },
        { "overdriveTypeKnob_", Key (Key::endKey), HP::overdriveType, model (4), 1, "overdriveTypeKnob_" },
        { "overdriveTypeKnob_", Key (Key::leftKey), HP::overdriveType, model (3), 1, "overdriveTypeKnob_" },
        { "overdriveTypeKnob_", Key (Key::homeKey), HP::overdriveType, model (0), 1, "overdriveTypeKnob_" },
        // The foot switch: down is off, up is on, Space and Return flip it.
        { "bypassButton_", Key (Key::downKey), HP::onBypass, 0.0f, 1, "bypassButton_" },
        { "bypassButton_", Key (Key::leftKey), HP::onBypass, 0.0f, 0, "bypassButton_" },
        { "bypassButton_", Key (Key::pageUpKey), HP::onBypass, 1.0f, 1, "bypassButton_" },
        { "bypassButton_", Key (Key::spaceKey), HP::onBypass, 0.0f, 1, "bypassButton_" },
        { "bypassButton_", Key (Key::returnKey), HP::onBypass, 1.0f, 1, "bypassButton_" },
        // The oversampling lights: the focus goes with the lit light.
        { "oversampling1xButton_", Key (Key::rightKey), HP::oversampling, factor (1), 1, "oversampling2xButton_" },
        { "oversampling2xButton_", Key (Key::endKey), HP::oversampling, factor (3), 1, "oversampling8xButton_" },
        { "oversampling8xButton_", Key (Key::upKey), HP::oversampling, factor (3), 0, "oversampling8xButton_" },
        { "oversampling8xButton_", Key (Key::downKey), HP::oversampling, factor (2), 1, "oversampling4xButton_" },
        { "oversampling4xButton_", Key (Key::homeKey), HP::oversampling, factor (0), 1, "oversampling1xButton_" },
    };

    for (const auto& step : steps)
    {
        SCOPED_TRACE (juce::String (step.control) + " " + step.key.getTextDescription());
        child (step.control).grabKeyboardFocus();
        ASSERT_EQ (focusedName(), step.control);
        HostRecorder host (processor);

        press (step.key);

        EXPECT_NEAR (ProcessorTest::getValue (processor, step.parameter), step.expected, 1.0e-5f);
        EXPECT_EQ (host.gesturesOf (step.parameter), step.gestures);

        if (step.gestures > 0)
        {
            EXPECT_EQ (host.shapeOf (step.parameter), juce::StringArray ({ "begin", "set", "end" }));
        }

        EXPECT_EQ (focusedName(), step.focusAfter);
        EXPECT_TRUE (ringIsAround (step.focusAfter)) << "a key shows where it acts";
    }

    // Ctrl+Z with a control in focus undoes the key steps one at a time, newest first.
    const Key undo ('z', juce::ModifierKeys::commandModifier, 0);
    press (undo);
    EXPECT_NEAR (ProcessorTest::getValue (processor, HP::oversampling), factor (2), 1.0e-5f);
    press (undo);
    EXPECT_NEAR (ProcessorTest::getValue (processor, HP::oversampling), factor (3), 1.0e-5f);

    // The A/B switch: right is B, Home is A, End is B, Space flips; the values follow the channel.
    const std::pair<Key, int> channelKeys[] = { { Key (Key::rightKey), 1 }, { Key (Key::homeKey), 0 }, { Key (Key::endKey), 1 }, { Key (Key::spaceKey), 0 } };

    for (const auto& [key, channel] : channelKeys)
    {
        SCOPED_TRACE (key.getTextDescription());
        child ("abButton_").grabKeyboardFocus();
        press (key);
        EXPECT_EQ (processor.getActiveChannel(), channel);
        EXPECT_EQ (valueOf (reader ("abButton_")), channel == 0 ? "A" : "B");
    }

    // Return on a button presses it: the next preset, the preset bar's list.
    child ("presetMenu_").grabKeyboardFocus();
    press (Key (Key::returnKey));
    pump (100);
    EXPECT_TRUE (juce::PopupMenu::dismissAllActiveMenus()) << "the preset list opened";
    pump (50);
}
