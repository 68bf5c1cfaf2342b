#include "editor/VardekoQX2710AudioProcessorEditor.h"
#include "editor/FocusRing.h"
#include "editor/Molvek2StateButton.h"
#include "editor/Molvek2StateKickButton.h"
#include "editor/Molvek4StateButton3PDT.h"
#include "editor/MolvekImage.h"
#include "editor/MolvekKnob.h"
#include "editor/MolvekSplashScreen.h"
#include "editor/MolvekVardekoKnob.h"
#include "editor/ValueBubble.h"
#include "editor/ValueEntry.h"
#include "presets/MolvekAlertComponent.h"
#include "presets/MolvekFileBrowser.h"
#include "presets/MolvekVardekoQX2710OverwriteComponent.h"
#include "presets/MolvekVardekoQX2710PresetBrowser.h"
#include "presets/MolvekVardekoQX2710PresetMenu.h"
#include "processor/FactoryPresets.h"
#include "processor/HostParameters.h"
#include "processor/PatchDocument.h"
#include "processor/PresetPath.h"
#include "processor/ProductInfo.h"
#include "processor/UserFolders.h"
#include "processor/VardekoQX2710AudioProcessor.h"

#include "HostRecorder.h"
#include "JuceGuiTest.h"
#include "OpenerTestHelpers.h"
#include "ProcessorTestHelpers.h"
#include "TemporaryHome.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

using ProcessorTest::getValue;
using ProcessorTest::setValue;

namespace
{
class EditorTest : public JuceGuiTest
{
protected:
    void SetUp() override
    {
        editor = std::make_unique<VardekoQX2710AudioProcessorEditor> (processor);
        editor->openDocument = [this] (const juce::File& file)
        {
            openedDocuments.add (file.getFullPathName());
            return true;
        };
        editor->openWebAddress = [this] (const juce::URL& url)
        {
            openedAddresses.add (url.toString (false));
            return true;
        };
        tick();
    }

    void TearDown() override { editor.reset(); }

    template <typename Type = juce::Component>
    Type& child (const juce::String& name)
    {
        for (auto* c : editor->getChildren())
            if (c->getName() == name)
                if (auto* typed = dynamic_cast<Type*> (c))
                    return *typed;

        ADD_FAILURE() << "no child " << name << " of that class";
        static Type* none = nullptr;
        return *none;
    }

    void tick() { editor->timerCallback(); }

    // A click as the framework delivers one.
    void click (const juce::String& name)
    {
        child<juce::Button> (name).triggerClick();
        pump();
    }

    // A real drag of a knob: press, move up by some pixels (with Shift held, for one), release.
    void drag (const juce::String& name, float pixelsUp, bool shift = false)
    {
        auto& knob = child<juce::Slider> (name);
        const auto centre = knob.getLocalBounds().getCentre().toFloat();
        const auto to = centre.translated (0.0f, -pixelsUp);
        knob.mouseDown (mouseAt (knob, centre, centre));
        knob.mouseDrag (mouseAt (knob, centre.translated (0.0f, -pixelsUp * 0.5f), centre, true, shift));
        knob.mouseDrag (mouseAt (knob, to, centre, true, shift));
        knob.mouseUp (mouseAt (knob, to, centre, true, shift));
    }

    juce::String presetName() { return child<juce::Label> ("presetMenu_").getText(); }

    // A preset file in the (temporary) preset folder, holding these values over the defaults.
    juce::File addPreset (const juce::String& relativePath, std::initializer_list<std::pair<int, float>> values)
    {
        VardekoQX2710AudioProcessor source;

        for (const auto& [index, value] : values)
            setValue (source, index, value);

        juce::XmlElement document (PatchDocument::rootTag);
        source.createPatchDocument (document, true);
        const auto file = UserFolders::getPresetFolder().getChildFile (relativePath);
        file.getParentDirectory().createDirectory();
        file.replaceWithText (document.toString());
        return file;
    }

    TemporaryHome home;
    VardekoQX2710AudioProcessor processor;
    std::unique_ptr<VardekoQX2710AudioProcessorEditor> editor;
    juce::StringArray openedDocuments, openedAddresses;
};

template <typename Type>
bool isA (juce::Component& c)
{
    return dynamic_cast<Type*> (&c) != nullptr;
}

// The most derived class of a child, among the editor's own; subclasses come before their bases.
juce::String typeOf (juce::Component& c)
{
    const std::pair<const char*, bool (*) (juce::Component&)> types[] = {
        { "MolvekVardekoKnob", isA<MolvekVardekoKnob> },
        { "MolvekKnob", isA<MolvekKnob> },
        { "Molvek4StateButton3PDT", isA<Molvek4StateButton3PDT> },
        { "Molvek2StateKickButton", isA<Molvek2StateKickButton> },
        { "Molvek2StateButton", isA<Molvek2StateButton> },
        { "MolvekImage", isA<MolvekImage> },
        { "FocusRing", isA<FocusRing> },
        { "MolvekVardekoQX2710PresetMenu", isA<MolvekVardekoQX2710PresetMenu> },
        { "MolvekSplashScreen", isA<MolvekSplashScreen> },
        { "MolvekVardekoQX2710PresetBrowser", isA<MolvekVardekoQX2710PresetBrowser> },
        { "MolvekVardekoQX2710OverwriteComponent", isA<MolvekVardekoQX2710OverwriteComponent> },
        { "MolvekAlertComponent", isA<MolvekAlertComponent> },
        { "TooltipWindow", isA<juce::TooltipWindow> },
        { "ValueBubble", isA<ValueBubble> },
        { "ValueEntry", isA<ValueEntry> },
    };

    for (const auto& [name, is] : types)
        if (is (c))
            return name;

    return "?";
}
} // namespace

TEST_F (EditorTest, LaysOutEveryChildInItsPlaceAndStackingOrder)
{
    struct Row
    {
        const char* name;
        const char* type;
        juce::Rectangle<int> bounds;
        bool visible;
        int parameter; // -1 for none
    };

    // From bottom to top.
    const Row rows[] = {
        { "fileButton_", "Molvek2StateKickButton", { 6, 3, 58, 26 }, true, -1 },
        { "presetDecButton_", "Molvek2StateKickButton", { 263, 3, 29, 26 }, true, -1 },
        { "presetIncButton_", "Molvek2StateKickButton", { 292, 3, 29, 26 }, true, -1 },
        { "presetMenu_", "MolvekVardekoQX2710PresetMenu", { 67, 3, 192, 26 }, true, -1 },
        { "inputMeter_", "MolvekImage", { 5, 36, 77, 16 }, true, -1 },
        { "inputPeak_", "MolvekImage", { 75, 36, 7, 16 }, true, -1 },
        { "abButton_", "Molvek2StateButton", { 92, 35, 62, 23 }, true, -1 },
        { "abCopyButton_", "Molvek2StateKickButton", { 163, 30, 75, 25 }, true, -1 },
        { "bypassButton_", "Molvek4StateButton3PDT", { 222, 400, 90, 99 }, true, 0 },
        { "inputVolKnob_", "MolvekKnob", { 22, 66, 41, 42 }, true, 1 },
        { "overdriveKnob_", "MolvekKnob", { 17, 176, 96, 95 }, true, 3 },
        { "toneKnob_", "MolvekKnob", { 113, 176, 96, 95 }, true, 4 },
        { "levelKnob_", "MolvekKnob", { 209, 176, 96, 95 }, true, 5 },
        { "dryWetKnob_", "MolvekKnob", { 263, 66, 41, 42 }, true, 6 },
        { "overdriveTypeKnob_", "MolvekVardekoKnob", { 16, 288, 180, 136 }, true, 2 },
        { "oversampling1xButton_", "Molvek2StateButton", { 100, 107, 21, 14 }, true, 7 },
        { "oversampling2xButton_", "Molvek2StateButton", { 135, 107, 21, 14 }, true, 7 },
        { "oversampling4xButton_", "Molvek2StateButton", { 170, 107, 21, 14 }, true, 7 },
        { "oversampling8xButton_", "Molvek2StateButton", { 205, 107, 21, 14 }, true, 7 },
        { "focusRing", "FocusRing", {}, false, -1 },
        { "aboutShowButton_", "Molvek2StateKickButton", { 15, 425, 109, 58 }, true, -1 },
        { "aboutContainer_", "MolvekSplashScreen", { 0, 0, 325, 500 }, false, -1 },
        { "savePresetBrowser_", "MolvekVardekoQX2710PresetBrowser", { 0, 0, 325, 500 }, false, -1 },
        { "overwritePresetComponent_", "MolvekVardekoQX2710OverwriteComponent", { 0, 0, 325, 500 }, false, -1 },
        { "alert_", "MolvekAlertComponent", { 0, 0, 325, 500 }, false, -1 },
        { "valueBubble", "ValueBubble", {}, false, -1 },
        { "valueEntry", "ValueEntry", {}, false, -1 },
        { "tooltip", "TooltipWindow", {}, false, -1 },
    };

    EXPECT_EQ (editor->getWidth(), 325);
    EXPECT_EQ (editor->getHeight(), 500);

    const auto& children = editor->getChildren();
    ASSERT_EQ (children.size(), (int) std::size (rows));

    for (int i = 0; i < children.size(); ++i)
    {
        const auto& row = rows[i];
        auto* c = children[i];
        SCOPED_TRACE (row.name);
        EXPECT_EQ (c->getName(), juce::String (row.name));
        EXPECT_EQ (typeOf (*c), juce::String (row.type));
        EXPECT_EQ (c->getBounds(), row.bounds);
        EXPECT_EQ (c->isVisible(), row.visible);
        EXPECT_EQ (editor->getParameterIndexOf (c), row.parameter);
    }
}

TEST_F (EditorTest, KeepsItsDesignedSizeWhateverSizeAHostProposes)
{
    // A VST3 host that applies a size of its own (392 x 500 for this window) through the
    // wrapper, which sets the editor's bounds: the picture would be stretched while the
    // controls stay put. The editor takes its own size back, with every child in place.
    std::vector<juce::Rectangle<int>> before;

    for (auto* c : editor->getChildren())
        before.push_back (c->getBounds());

    for (const auto proposed : { juce::Rectangle<int> (0, 0, 392, 500), juce::Rectangle<int> (0, 0, 650, 1000), juce::Rectangle<int> (0, 0, 200, 300) })
    {
        editor->setBounds (proposed);
        EXPECT_EQ (editor->getWidth(), 325) << proposed.toString();
        EXPECT_EQ (editor->getHeight(), 500) << proposed.toString();

        for (int i = 0; i < editor->getChildren().size(); ++i)
            EXPECT_EQ (editor->getChildren()[i]->getBounds(), before[(size_t) i]) << editor->getChildren()[i]->getName();
    }

    EXPECT_FALSE (editor->isResizable());
}

TEST_F (EditorTest, ShowsTheProcessorsValuesWhenOpened)
{
    // The values of channel B of the current program.
    editor.reset();
    processor.setActiveChannel (1);
    const std::pair<int, float> values[] = { { HostParameters::onBypass, 0.0f }, { HostParameters::inputVol, 0.7f }, { HostParameters::overdriveType, 0.1f }, { HostParameters::overdrive, 0.2f }, { HostParameters::tone, 0.35f }, { HostParameters::level, 0.4f }, { HostParameters::dryWet, 0.6f }, { HostParameters::oversampling, 0.6666667f } };

    for (const auto& [index, value] : values)
        setValue (processor, index, value);

    SetUp();

    EXPECT_FALSE (child<juce::Button> ("bypassButton_").getToggleState());
    EXPECT_FLOAT_EQ ((float) child<juce::Slider> ("inputVolKnob_").getValue(), 0.7f);
    EXPECT_FLOAT_EQ ((float) child<juce::Slider> ("overdriveKnob_").getValue(), 0.2f);
    EXPECT_FLOAT_EQ ((float) child<juce::Slider> ("toneKnob_").getValue(), 0.35f);
    EXPECT_FLOAT_EQ ((float) child<juce::Slider> ("levelKnob_").getValue(), 0.4f);
    EXPECT_FLOAT_EQ ((float) child<juce::Slider> ("dryWetKnob_").getValue(), 0.6f);

    // 0.1 plays "Boutique Overdrive": the selector points there.
    EXPECT_DOUBLE_EQ (child<juce::Slider> ("overdriveTypeKnob_").getValue(), 0.25);

    const char* lights[] = { "oversampling1xButton_", "oversampling2xButton_", "oversampling4xButton_", "oversampling8xButton_" };
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ (child<juce::Button> (lights[i]).getToggleState(), i == 2) << lights[i];

    // Channel B is active: the switch and the copy direction show it after the first tick.
    EXPECT_TRUE (child<juce::Button> ("abButton_").getToggleState());
}

// Host values anywhere in 0..1 show the circuit and factor that really play.
TEST_F (EditorTest, SelectorAndLightsShowWhatPlaysForEveryHostValue)
{
    for (int i = 0; i <= 200; ++i)
    {
        const auto v = (float) i / 200.0f;
        setValue (processor, HostParameters::overdriveType, v);
        setValue (processor, HostParameters::oversampling, v);
        tick();

        const auto circuit = HostParameters::getModelIndex (v);
        EXPECT_EQ (juce::roundToInt (child<juce::Slider> ("overdriveTypeKnob_").getValue() * 4.0), circuit) << v;
        EXPECT_EQ (HostParameters::getText (HostParameters::overdriveType, (float) child<juce::Slider> ("overdriveTypeKnob_").getValue()),
                   HostParameters::getText (HostParameters::overdriveType, v))
            << v;

        const auto factor = HostParameters::getOversamplingIndex (v);
        const char* lights[] = { "oversampling1xButton_", "oversampling2xButton_", "oversampling4xButton_", "oversampling8xButton_" };
        for (int light = 0; light < 4; ++light)
            EXPECT_EQ (child<juce::Button> (lights[light]).getToggleState(), light == factor) << v << " " << lights[light];
    }
}

TEST_F (EditorTest, KnobDragsReachTheHostAsOneGesture)
{
    const std::pair<const char*, int> knobs[] = { { "inputVolKnob_", 1 }, { "overdriveKnob_", 3 }, { "toneKnob_", 4 }, { "levelKnob_", 5 }, { "dryWetKnob_", 6 }, { "overdriveTypeKnob_", 2 } };

    for (const auto& [name, index] : knobs)
    {
        SCOPED_TRACE (name);
        HostRecorder host (processor);
        auto& knob = child<juce::Slider> (name);
        const auto before = knob.getValue();

        drag (name, index == 2 ? 120.0f : -60.0f);

        EXPECT_NE (knob.getValue(), before);
        EXPECT_FLOAT_EQ (getValue (processor, index), (float) knob.getValue());
        EXPECT_EQ (host.shapeOf (index), juce::StringArray ({ "begin", "set", "end" }));

        // The bubble shows the value as the host does.
        EXPECT_EQ (knob.getTextFromValue (knob.getValue()), HostParameters::getText (index, (float) knob.getValue()));
    }
}

TEST (ValueBubbleTest, ShowsTheHostTextAndForALevelItsGainInDecibels)
{
    struct Case
    {
        int index;
        float value;
        juce::String expected;
    };

    const Case cases[] = {
        { HostParameters::inputVol, 0.5f, "5.00  0.0 dB" }, // unity gain
        { HostParameters::inputVol, 1.0f, "10.00  +6.0 dB" },
        { HostParameters::inputVol, 0.25f, "2.50  -6.0 dB" },
        { HostParameters::inputVol, 0.0f, "0.00  -inf dB" },
        { HostParameters::inputVol, 0.4999f, "5.00  0.0 dB" }, // never "-0.0 dB"
        { HostParameters::level, 1.0f, "10.00  0.0 dB" },
        { HostParameters::level, 0.5f, "5.00  -6.0 dB" },
        { HostParameters::level, 0.1f, "1.00  -20.0 dB" },
        { HostParameters::level, 0.0f, "0.00  -inf dB" },
        { HostParameters::tone, 0.5f, "5.00" },
        { HostParameters::overdrive, 0.5f, "5.00" },
        { HostParameters::dryWet, 0.25f, "75.00% Dry / 25.00% Wet" },
        { HostParameters::overdriveType, 1.0f, HostParameters::getModelName (4) },
    };

    for (const auto& c : cases)
        EXPECT_EQ (ValueBubble::textFor (c.index, c.value, HostParameters::getText (c.index, c.value)), c.expected) << c.index << " " << c.value;
}

// Every way of moving a knob shows its value in the bubble, wholly inside the window and
// pointing at the knob; it stays while a drag lasts and goes a moment after the change.
TEST_F (EditorTest, TheValueBubbleShowsEveryChangeInsideTheWindow)
{
    auto& bubble = child<ValueBubble> ("valueBubble");
    EXPECT_FALSE (bubble.isVisible());
    const auto window = editor->getLocalBounds().reduced (ValueBubble::margin);

    const auto expectShownFor = [&] (juce::Slider& knob, int index)
    {
        ASSERT_TRUE (bubble.isVisible());
        EXPECT_EQ (bubble.getTarget(), &knob);
        EXPECT_EQ (bubble.getText(), ValueBubble::textFor (index, (float) knob.getValue(), HostParameters::getText (index, (float) knob.getValue())));
        EXPECT_TRUE (window.contains (bubble.getBounds())) << bubble.getBounds().toString();
        EXPECT_GE (bubble.getWidth(), ValueBubble::getFont().getStringWidth (bubble.getText())) << "the text is cut";
        // Touching the knob's top or bottom edge, and over or under it.
        const auto knobArea = knob.getBounds();
        EXPECT_TRUE (bubble.getBottom() == knobArea.getY() || bubble.getY() == knobArea.getBottom()) << bubble.getBounds().toString();
        EXPECT_TRUE (bubble.getX() <= knobArea.getCentreX() && knobArea.getCentreX() <= bubble.getRight());
    };

    const auto expectGoneAfterAMoment = [&]
    {
        pump (ValueBubble::lingerMs / 3);
        EXPECT_TRUE (bubble.isVisible()) << "gone before it could be read";
        pump (ValueBubble::lingerMs);
        EXPECT_FALSE (bubble.isVisible());
    };

    const std::pair<const char*, int> knobs[] = { { "inputVolKnob_", HostParameters::inputVol }, { "overdriveKnob_", HostParameters::overdrive }, { "toneKnob_", HostParameters::tone }, { "levelKnob_", HostParameters::level }, { "dryWetKnob_", HostParameters::dryWet }, { "overdriveTypeKnob_", HostParameters::overdriveType } };

    for (const auto& [name, index] : knobs)
    {
        SCOPED_TRACE (name);
        auto& knob = child<juce::Slider> (name);
        const auto centre = knob.getLocalBounds().getCentre().toFloat();
        // How long it stays is timed on the first knob only; the others move it on at once.
        const auto first = index == HostParameters::inputVol;

        // A drag: shown from the press, following the value, kept however long the hand rests.
        knob.mouseDown (mouseAt (knob, centre, centre));
        expectShownFor (knob, index);
        knob.mouseDrag (mouseAt (knob, centre.translated (0.0f, -40.0f), centre, true));
        expectShownFor (knob, index);

        if (first)
        {
            pump (ValueBubble::lingerMs + 200);
            expectShownFor (knob, index);
        }

        knob.mouseUp (mouseAt (knob, centre.translated (0.0f, -40.0f), centre, true));
        expectShownFor (knob, index);

        if (first)
            expectGoneAfterAMoment();

        // A wheel step: the bubble follows the new value.
        knob.mouseWheelMove (wheelAt (knob, false, juce::Time::getCurrentTime()), wheelSteps (-1.0f));
        expectShownFor (knob, index);

        if (first)
            expectGoneAfterAMoment();

        // A double-click back to the default (the selector has none).
        if (index != HostParameters::overdriveType)
        {
            knob.setValue (0.9, juce::dontSendNotification);
            knob.mouseDoubleClick (mouseAt (knob, centre, centre));
            EXPECT_FLOAT_EQ ((float) knob.getValue(), HostParameters::getDefaultValue (index));
            expectShownFor (knob, index);

            if (first)
                expectGoneAfterAMoment();
        }
    }

    // The widest text near the window's edge: DRY/WET's whole text, kept inside.
    auto& dryWet = child<juce::Slider> ("dryWetKnob_");
    dryWet.setValue (0.333, juce::sendNotificationSync);
    expectShownFor (dryWet, HostParameters::dryWet);
    EXPECT_EQ (bubble.getText(), "66.70% Dry / 33.30% Wet");
    EXPECT_EQ (bubble.getRight(), editor->getWidth() - ValueBubble::margin);
}

// A typed value is read as the host reads a value text, and reaches the host as one gesture and
// the undo history as one step; an empty field, or Escape, changes nothing.
TEST_F (EditorTest, ATypedValueIsOneGestureAndOneUndoStep)
{
    auto& entry = child<ValueEntry> ("valueEntry");
    const auto undo = juce::KeyPress ('z', juce::ModifierKeys::commandModifier, 0);

    struct Case
    {
        const char* knob;
        int index;
        const char* typed;
        juce::KeyPress key;
        float expected; // the value after the key
        bool staysOpen;
    };

    const auto returnKey = juce::KeyPress (juce::KeyPress::returnKey);
    const auto escapeKey = juce::KeyPress (juce::KeyPress::escapeKey);

    const Case cases[] = {
        { "toneKnob_", HostParameters::tone, "7.5", returnKey, 0.75f, false },
        { "toneKnob_", HostParameters::tone, "  ", returnKey, 0.75f, true },
        { "toneKnob_", HostParameters::tone, "2", escapeKey, 0.75f, false },
        { "dryWetKnob_", HostParameters::dryWet, "30% dry", returnKey, 0.7f, false },
        { "overdriveTypeKnob_", HostParameters::overdriveType, "pro", returnKey, 1.0f, false },
        { "levelKnob_", HostParameters::level, "12", returnKey, 1.0f, false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (juce::String (c.knob) + " " + c.typed);
        auto& knob = child<juce::Slider> (c.knob);
        const auto before = getValue (processor, c.index);
        HostRecorder host (processor);

        editor->typeValueOf (knob);
        ASSERT_TRUE (entry.isVisible());
        EXPECT_EQ (entry.getText(), HostParameters::getText (c.index, (float) knob.getValue())) << "opens on the value as the host shows it";
        EXPECT_TRUE (editor->getLocalBounds().contains (entry.getBounds()));

        entry.setText (c.typed, false);
        entry.keyPressed (c.key);
        pump();

        EXPECT_EQ (entry.isVisible(), c.staysOpen);
        EXPECT_FLOAT_EQ (getValue (processor, c.index), c.expected);
        EXPECT_FLOAT_EQ ((float) knob.getValue(), c.expected);
        EXPECT_EQ (host.shapeOf (c.index), before != c.expected ? juce::StringArray ({ "begin", "set", "end" }) : juce::StringArray());

        if (c.staysOpen)
            entry.keyPressed (escapeKey);

        pump();
        EXPECT_FALSE (entry.isVisible());
    }

    // The typed changes undo one at a time, newest first.
    editor->keyPressed (undo);
    EXPECT_FLOAT_EQ (getValue (processor, HostParameters::level), HostParameters::getDefaultValue (HostParameters::level));
    editor->keyPressed (undo);
    EXPECT_FLOAT_EQ (getValue (processor, HostParameters::overdriveType), HostParameters::getDefaultValue (HostParameters::overdriveType));
    editor->keyPressed (undo);
    editor->keyPressed (undo);
    EXPECT_FLOAT_EQ (getValue (processor, HostParameters::tone), HostParameters::getDefaultValue (HostParameters::tone));
}

TEST_F (EditorTest, ClicksReachTheHostAsGestures)
{
    struct Case
    {
        const char* button;
        int index;
        float expected;
    };

    const Case cases[] = {
        { "bypassButton_", 0, 0.0f },
        { "bypassButton_", 0, 1.0f },
        { "oversampling8xButton_", 7, 1.0f },
        { "oversampling2xButton_", 7, 0.33333334f },
        { "oversampling2xButton_", 7, 0.33333334f }, // the lit light again: stays
        { "oversampling4xButton_", 7, 0.6666667f },
        { "oversampling1xButton_", 7, 0.0f },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.button);
        HostRecorder host (processor);
        click (c.button);

        EXPECT_FLOAT_EQ (getValue (processor, c.index), c.expected);
        EXPECT_EQ (host.shapeOf (c.index), juce::StringArray ({ "begin", "set", "end" }));

        if (c.index == 7)
        {
            // One light lit, at once and after the tick.
            for (int pass = 0; pass < 2; ++pass)
            {
                const char* lights[] = { "oversampling1xButton_", "oversampling2xButton_", "oversampling4xButton_", "oversampling8xButton_" };
                for (int light = 0; light < 4; ++light)
                    EXPECT_EQ (child<juce::Button> (lights[light]).getToggleState(), light == HostParameters::getOversamplingIndex (c.expected));
                tick();
            }
        }
        else
        {
            EXPECT_EQ (child<juce::Button> ("bypassButton_").getToggleState(), c.expected > 0.0f);
        }
    }

    // A caption of the selector picks its circuit in one gesture too.
    HostRecorder host (processor);
    auto& selector = child<juce::Slider> ("overdriveTypeKnob_");
    const juce::Point<float> boutique (114.0f + 10.0f, 17.0f + 5.0f);
    selector.mouseDown (mouseAt (selector, boutique, boutique));
    selector.mouseUp (mouseAt (selector, boutique, boutique));
    pump();
    EXPECT_FLOAT_EQ (getValue (processor, 2), 0.25f);
    EXPECT_EQ (host.shapeOf (2), juce::StringArray ({ "begin", "set", "end" }));
}

TEST_F (EditorTest, FineDragsAndWheelStepsReachTheHostAsOneGestureEach)
{
    using HP = HostParameters;
    setValue (processor, HP::tone, 0.5f);
    tick();
    auto& knob = child<juce::Slider> ("toneKnob_");

    {
        HostRecorder host (processor);
        drag ("toneKnob_", 50.0f, true);
        EXPECT_NEAR (getValue (processor, HP::tone), 0.52f, 1.0e-5f) << "a tenth of a plain drag";
        EXPECT_EQ (host.shapeOf (HP::tone), juce::StringArray ({ "begin", "set", "end" }));
    }

    HostRecorder host (processor);
    auto when = juce::Time::getCurrentTime();

    for (int step = 1; step <= 3; ++step)
    {
        when += juce::RelativeTime::milliseconds (20);
        knob.mouseWheelMove (wheelAt (knob, true, when), wheelSteps (1.0f));
        EXPECT_NEAR (getValue (processor, HP::tone), 0.52f + step * 0.15f * 50.0f / 256.0f / 10.0f, 1.0e-5f);
    }

    EXPECT_EQ (host.gesturesOf (HP::tone), 3);
    EXPECT_EQ (host.shapeOf (HP::tone).joinIntoString (" "), "begin set end begin set end begin set end");
}

TEST_F (EditorTest, CtrlZUndoesAndCtrlShiftZRedoesOneGestureAtATime)
{
    using HP = HostParameters;
    setValue (processor, HP::tone, 0.5f);
    setValue (processor, HP::onBypass, 1.0f);
    tick();

    const juce::KeyPress undo ('z', juce::ModifierKeys::commandModifier, 0);
    const juce::KeyPress redo ('Z', juce::ModifierKeys::commandModifier | juce::ModifierKeys::shiftModifier, 0);

    // A drag of several moves, then a click.
    drag ("toneKnob_", 50.0f);
    const auto dragged = getValue (processor, HP::tone);
    ASSERT_NEAR (dragged, 0.7f, 1.0e-5f);
    click ("bypassButton_");
    ASSERT_EQ (getValue (processor, HP::onBypass), 0.0f);

    struct Step
    {
        const char* what;
        juce::KeyPress key;
        float tone;
        float bypass;
        int changedParameter; // -1: nothing to undo or redo, the host hears nothing
    };

    const Step steps[] = {
        { "undo the click", undo, dragged, 1.0f, HP::onBypass },
        { "undo the whole drag", undo, 0.5f, 1.0f, HP::tone },
        { "nothing left to undo", undo, 0.5f, 1.0f, -1 },
        { "redo the drag", redo, dragged, 1.0f, HP::tone },
        { "redo the click", redo, dragged, 0.0f, HP::onBypass },
        { "nothing left to redo", redo, dragged, 0.0f, -1 },
    };

    for (const auto& step : steps)
    {
        SCOPED_TRACE (step.what);
        HostRecorder host (processor);

        EXPECT_TRUE (editor->keyPressed (step.key)) << "the key is the window's, never the host's";

        EXPECT_NEAR (getValue (processor, HP::tone), step.tone, 1.0e-5f);
        EXPECT_EQ (getValue (processor, HP::onBypass), step.bypass);
        EXPECT_NEAR (child<juce::Slider> ("toneKnob_").getValue(), step.tone, 1.0e-5) << "the knob shows it at once";
        EXPECT_EQ (child<juce::Button> ("bypassButton_").getToggleState(), step.bypass > 0.0f);

        // Each step reaches the host as one gesture of the parameter it changes.
        int gestures = 0;

        for (int i = 0; i < HP::numParameters; ++i)
            gestures += host.gesturesOf (i);

        EXPECT_EQ (gestures, step.changedParameter < 0 ? 0 : 1);

        if (step.changedParameter >= 0)
        {
            EXPECT_EQ (host.shapeOf (step.changedParameter), juce::StringArray ({ "begin", "set", "end" }));
        }
    }

    // A new gesture after an undo drops what could have been redone.
    editor->keyPressed (undo);
    ASSERT_EQ (getValue (processor, HP::onBypass), 1.0f);
    drag ("levelKnob_", 25.0f);
    editor->keyPressed (redo);
    EXPECT_EQ (getValue (processor, HP::onBypass), 1.0f);

    // A new channel brings other values: the steps before it are gone.
    click ("abButton_");
    tick();
    const auto level = getValue (processor, HP::level);
    HostRecorder host (processor);
    editor->keyPressed (undo);
    EXPECT_EQ (getValue (processor, HP::level), level);
    EXPECT_TRUE (host.events.empty());

    // Ctrl+Z is the window's, Alt+Ctrl+Z is not.
    EXPECT_FALSE (editor->keyPressed (juce::KeyPress ('z', juce::ModifierKeys::commandModifier | juce::ModifierKeys::altModifier, 0)));
}

TEST_F (EditorTest, FollowsTheHostWithinOneTick)
{
    const auto initialName = presetName();
    setValue (processor, HostParameters::onBypass, 0.0f);
    setValue (processor, HostParameters::overdrive, 0.9f);
    setValue (processor, HostParameters::dryWet, 0.25f);
    processor.meterLevel = 0.55f;
    processor.clipLight = 1.0f;
    tick();

    EXPECT_FALSE (child<juce::Button> ("bypassButton_").getToggleState());
    EXPECT_FLOAT_EQ ((float) child<juce::Slider> ("overdriveKnob_").getValue(), 0.9f);
    EXPECT_FLOAT_EQ ((float) child<juce::Slider> ("dryWetKnob_").getValue(), 0.25f);
    EXPECT_EQ (child<MolvekImage> ("inputMeter_").getCurrentFrame(), 6);
    EXPECT_EQ (child<MolvekImage> ("inputPeak_").getCurrentFrame(), 1);

    // Automation marks the preset as changed, once.
    const auto marked = initialName.endsWith ("*") ? initialName : initialName + "*";
    EXPECT_EQ (presetName(), marked);
    setValue (processor, HostParameters::tone, 0.1f);
    tick();
    EXPECT_EQ (presetName(), marked);
}

TEST_F (EditorTest, ABSwitchAndCopy)
{
    setValue (processor, HostParameters::overdrive, 0.8f);
    setValue (processor, HostParameters::level, 0.3f);

    // Copy A into B: nothing audible changes, nothing reaches the host.
    {
        HostRecorder host (processor);
        click ("abCopyButton_");
        EXPECT_TRUE (host.events.empty());
        EXPECT_EQ (processor.getActiveChannel(), 0);
    }

    setValue (processor, HostParameters::overdrive, 0.1f); // A moves on; B keeps 0.8

    HostRecorder host (processor);
    click ("abButton_");
    EXPECT_EQ (processor.getActiveChannel(), 1);
    EXPECT_FLOAT_EQ (getValue (processor, HostParameters::overdrive), 0.8f);
    EXPECT_FLOAT_EQ (getValue (processor, HostParameters::level), 0.3f);

    for (int i = 0; i < HostParameters::numParameters; ++i)
        EXPECT_EQ (host.shapeOf (i), juce::StringArray ({ "begin", "set", "end" })) << i;

    tick();
    EXPECT_FLOAT_EQ ((float) child<juce::Slider> ("overdriveKnob_").getValue(), 0.8f);
    EXPECT_TRUE (child<juce::Button> ("abButton_").getToggleState());

    // Back to A.
    click ("abButton_");
    EXPECT_EQ (processor.getActiveChannel(), 0);
    EXPECT_FLOAT_EQ (getValue (processor, HostParameters::overdrive), 0.1f);

    // A program change to a slot on channel B shows B after one tick.
    processor.setCurrentProgram (3);
    processor.setActiveChannel (1);
    processor.parametersChanged = true;
    processor.channelChanged = true;
    tick();
    EXPECT_TRUE (child<juce::Button> ("abButton_").getToggleState());
}

TEST_F (EditorTest, PresetArrowsStepPastFilesThatAreNotPresets)
{
    addPreset ("A/Crunch.mvkp", { { HostParameters::overdrive, 0.7f } });
    UserFolders::getPresetFolder().getChildFile ("B/Broken.mvkp").create();
    UserFolders::getPresetFolder().getChildFile ("B/Broken.mvkp").replaceWithText ("<not a preset/>");
    addPreset ("Lead.mvkp", { { HostParameters::tone, 0.9f } });
    auto& alert = static_cast<MolvekAlertComponent&> (child ("alert_"));

    // The arrow press, then where it landed and how often the refused file was named.
    const auto press = [&] (const char* arrow)
    {
        click (arrow);
        const juce::String name ("Broken.mvkp");
        const auto message = alert.isVisible() ? alert.getMessage() : juce::String();
        const auto named = (message.length() - message.replace (name, {}).length()) / name.length();
        alert.hide();
        return std::pair<juce::String, int> (processor.getCurrentPresetPath(), named);
    };

    // The list: A\Crunch, B\Broken, Lead. A press that meets Broken goes on to the next preset
    // and names Broken once; the list's order stands.
    const std::pair<const char*, std::pair<juce::String, int>> presses[] = {
        { "presetIncButton_", { "A\\Crunch.mvkp", 0 } },
        { "presetIncButton_", { "Lead.mvkp", 1 } },
        { "presetIncButton_", { "A\\Crunch.mvkp", 0 } },
        { "presetIncButton_", { "Lead.mvkp", 1 } },
        { "presetIncButton_", { "A\\Crunch.mvkp", 0 } },
        { "presetDecButton_", { "Lead.mvkp", 0 } },
        { "presetDecButton_", { "A\\Crunch.mvkp", 1 } },
    };

    for (const auto& [arrow, expected] : presses)
    {
        SCOPED_TRACE (arrow);
        EXPECT_EQ (press (arrow), expected);
        // The name is right at once, not only after the next tick.
        EXPECT_EQ (presetName(), PresetPath::displayName (expected.first));
        tick();
        EXPECT_EQ (presetName(), PresetPath::displayName (expected.first));
    }

    EXPECT_FLOAT_EQ (getValue (processor, HostParameters::overdrive), 0.7f);

    // Nothing else loads: the preset in force stays, values and name, and the user is told.
    UserFolders::getPresetFolder().getChildFile ("Lead.mvkp").deleteFile();
    setValue (processor, HostParameters::tone, 0.2f);
    tick();
    EXPECT_EQ (press ("presetIncButton_"), std::make_pair (juce::String ("A\\Crunch.mvkp"), 1));
    EXPECT_FLOAT_EQ (getValue (processor, HostParameters::overdrive), 0.7f);
    tick();
    EXPECT_EQ (presetName(), "Crunch");

    UserFolders::getPresetFolder().getChildFile ("A/Crunch.mvkp").deleteFile();
    setValue (processor, HostParameters::tone, 0.3f);
    EXPECT_EQ (press ("presetIncButton_"), std::make_pair (juce::String ("A\\Crunch.mvkp"), 1));
    EXPECT_FLOAT_EQ (getValue (processor, HostParameters::tone), 0.3f);
    tick();
    EXPECT_EQ (presetName(), "Crunch*");

    // "Save Preset" still offers the preset that is in force.
    editor->performFileMenuItem (VardekoQX2710AudioProcessorEditor::savePresetItem);
    EXPECT_TRUE (child ("savePresetBrowser_").isVisible()) << "its file is gone: a name is asked for";
}

TEST_F (EditorTest, ARefusedChoiceFromThePresetListNeverShowsItsName)
{
    addPreset ("A/Crunch.mvkp", { { HostParameters::overdrive, 0.7f } });
    UserFolders::getPresetFolder().getChildFile ("B/Broken.mvkp").create();
    UserFolders::getPresetFolder().getChildFile ("B/Broken.mvkp").replaceWithText ("<not a preset/>");
    auto& menu = child<MolvekVardekoQX2710PresetMenu> ("presetMenu_");
    auto& alert = static_cast<MolvekAlertComponent&> (child ("alert_"));

    click ("presetIncButton_");
    tick();
    ASSERT_EQ (presetName(), "Crunch");

    for (const bool modified : { false, true })
    {
        SCOPED_TRACE (modified ? "modified" : "as saved");

        if (modified)
        {
            setValue (processor, HostParameters::tone, 0.1f);
            tick();
        }

        const auto before = presetName();
        menu.rescan();
        const auto listing = menu.getListing();
        int broken = 0;

        for (size_t i = 0; i < listing->items.size(); ++i)
            if (listing->items[i].file.getFileName() == "Broken.mvkp")
                broken = (int) i + 1;

        ASSERT_GT (broken, 0);
        menu.chooseFromMenu (*listing, broken);

        EXPECT_EQ (presetName(), before) << "at once, not a tick later";
        EXPECT_EQ (processor.getCurrentPresetPath(), "A\\Crunch.mvkp");
        EXPECT_TRUE (alert.isVisible());
        EXPECT_TRUE (alert.getMessage().contains ("Broken.mvkp"));
        alert.hide();

        tick();
        EXPECT_EQ (presetName(), modified ? "Crunch*" : "Crunch");
        setValue (processor, HostParameters::tone, 0.15f);
        tick();
        EXPECT_EQ (presetName(), "Crunch*") << "one marker only";
        EXPECT_FLOAT_EQ (getValue (processor, HostParameters::overdrive), 0.7f);
    }
}

// Clicks to reach each entry of the preset list: one to open it, one per submenu on the way, one
// on the entry itself.
void countClicks (const juce::PopupMenu& menu, std::map<int, int>& clicksById, int clicks = 2)
{
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
    {
        const auto& item = it.getItem();

        if (item.subMenu != nullptr)
            countClicks (*item.subMenu, clicksById, clicks + 1);
        else if (item.itemID > 0)
            clicksById[item.itemID] = clicks;
    }
}

TEST_F (EditorTest, EveryFactoryPresetIsTwoClicksAwayAndLoadsFromTheList)
{
    ASSERT_TRUE (FactoryPresets::install (UserFolders::getPresetFolder()).wasOk());
    const auto warm = addPreset ("Mine/Warm.mvkp", { { HostParameters::tone, 0.3f } });
    const auto top = addPreset ("Top.mvkp", {});
    auto& menu = child<MolvekVardekoQX2710PresetMenu> ("presetMenu_");
    ASSERT_TRUE (menu.refreshListing() || menu.finishPendingScan (5000));
    const auto listing = menu.getListing();
    const auto list = menu.createMenu();

    std::map<int, int> clicksById;
    countClicks (list, clicksById);
    const auto clicksTo = [&] (const juce::File& file)
    {
        return clicksById[listing->findId (file)];
    };

    for (const auto& preset : FactoryPresets::getPresets())
        EXPECT_EQ (clicksTo (PresetPath::resolve (UserFolders::getPresetFolder(), FactoryPresets::getRelativePath (preset))), 2) << preset.name;

    EXPECT_EQ (clicksTo (top), 2);
    EXPECT_EQ (clicksTo (warm), 3) << "the user's folders stay submenus";

    // The circuits as headings, then the user's presets; two columns of at most 18 rows, so the
    // opened list stays within the window's height.
    juce::StringArray headings;
    int rows = 0, columns = 1, tallest = 0;

    for (juce::PopupMenu::MenuItemIterator it (list); it.next();)
    {
        if (it.getItem().isSectionHeader)
            headings.add (it.getItem().text);

        tallest = std::max (tallest, ++rows);

        if (it.getItem().shouldBreakAfter)
        {
            ++columns;
            rows = 0;
        }
    }

    EXPECT_EQ (headings, juce::StringArray ({ "Blues Overdrive", "Boutique Overdrive", "Mad Overdrive", "Modern Overdrive", "Pro Overdrive", "User Presets" }));
    EXPECT_EQ (columns, 2);
    EXPECT_LE (tallest, 18);

    // A pick in the list loads the preset by the same path as ever: its values, its name with no
    // marker, and the steps before it are not undone into it.
    drag ("toneKnob_", 40.0f);
    const auto* madLead = FactoryPresets::find ("Mad Lead");
    ASSERT_NE (madLead, nullptr);
    const auto id = listing->findId (PresetPath::resolve (UserFolders::getPresetFolder(), FactoryPresets::getRelativePath (*madLead)));
    menu.createMenuCallback() (id);
    tick();

    EXPECT_EQ (presetName(), "Mad Lead");
    EXPECT_EQ (processor.getCurrentPresetPath(), FactoryPresets::getRelativePath (*madLead));
    const auto values = FactoryPresets::getValues (*madLead);

    for (int i = 0; i < (int) values.size(); ++i)
        EXPECT_NEAR (getValue (processor, i), values[(size_t) i], 1.0e-5f) << "parameter " << i;

    editor->keyPressed (juce::KeyPress ('z', juce::ModifierKeys::commandModifier, 0));
    EXPECT_NEAR (getValue (processor, HostParameters::tone), values[(size_t) HostParameters::tone], 1.0e-5f);

    // A change marks it; picking it again brings the file's values back.
    setValue (processor, HostParameters::tone, 0.1f);
    tick();
    EXPECT_EQ (presetName(), "Mad Lead*");
    menu.createMenuCallback() (id);
    tick();
    EXPECT_EQ (presetName(), "Mad Lead");
    EXPECT_NEAR (getValue (processor, HostParameters::tone), values[(size_t) HostParameters::tone], 1.0e-5f);
}

TEST_F (EditorTest, PresetChangesNeverListThePresetFolderOnTheWindowsThread)
{
    // A folder of tens of thousands of presets takes seconds to list: the bar lists it on a
    // thread of its own, once for an arrow or the menu, and not at all for a preset it knows.
    for (int i = 0; i < 40; ++i)
        addPreset ("Folder " + juce::String (i / 10) + "/Preset " + juce::String (i) + ".mvkp", { { HostParameters::overdrive, 0.02f * (float) i } });

    auto& bar = child<MolvekVardekoQX2710PresetMenu> ("presetMenu_");
    ASSERT_TRUE (bar.scansInBackground());
    bar.refreshListing();
    ASSERT_TRUE (bar.finishPendingScan (10000));
    const auto scans = bar.getNumScans();

    click ("presetIncButton_");
    ASSERT_TRUE (bar.finishPendingScan (10000));
    EXPECT_EQ (processor.getCurrentPresetPath(), "Folder 0\\Preset 0.mvkp");

    for (int i = 0; i < 5; ++i)
        tick();

    EXPECT_EQ (presetName(), "Preset 0");
    EXPECT_EQ (bar.getNumScans(), scans + 1);

    // A host's program change to a slot whose preset is not on disk.
    processor.setCurrentProgram (5);
    ASSERT_FALSE (UserFolders::getPresetFolder().getChildFile (PresetPath::canonical (processor.getCurrentPresetPath()).replace ("\\", "/")).exists());

    for (int i = 0; i < 5; ++i)
        tick();

    EXPECT_EQ (presetName(), PresetPath::displayName (processor.getCurrentPresetPath()) + "*");
    EXPECT_EQ (bar.getNumScans(), scans + 1);
    EXPECT_EQ (bar.getNumScansOnMessageThread(), 0);
}

TEST_F (EditorTest, PresetFromANewerVersionIsAppliedWithAWarning)
{
    auto file = addPreset ("Future.mvkp", { { HostParameters::level, 0.2f } });
    file.replaceWithText (file.loadFileAsString().replace ("presetVersion=\"" + juce::String (ProductInfo::presetVersion) + "\"", "presetVersion=\"9.0\""));
    ASSERT_TRUE (file.loadFileAsString().contains ("9.0"));

    click ("presetIncButton_");
    EXPECT_EQ (processor.getCurrentPresetPath(), "Future.mvkp");
    EXPECT_FLOAT_EQ (getValue (processor, HostParameters::level), 0.2f);

    auto& alert = static_cast<MolvekAlertComponent&> (child ("alert_"));
    EXPECT_TRUE (alert.isVisible());
    EXPECT_EQ (alert.getIconCode(), MolvekAlertComponent::warningIcon);
    EXPECT_EQ (alert.getMessage(), "\"Future.mvkp\"\nwas made using a newer version of Vardeko QX2710.\nTo use this preset correctly, please install the newest version from: " + juce::String (ProductInfo::downloadsPage));
}

TEST_F (EditorTest, FileMenuEntriesAndActions)
{
    const auto menu = VardekoQX2710AudioProcessorEditor::createFileMenu();
    juce::StringArray entries;

    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
    {
        const auto& item = it.getItem();
        entries.add (item.isSeparator ? "-" : juce::String (item.itemID) + " " + item.text + (item.isEnabled ? "" : " (disabled)") + (item.isTicked ? " (ticked)" : ""));
    }

    EXPECT_EQ (entries, juce::StringArray ({ "1 Save Preset", "2 Save Preset As...", "-", "3 User Manual", "-", "4 Molvek Website" }));

    auto& browser = child ("savePresetBrowser_");
    auto& overwrite = static_cast<MolvekVardekoQX2710OverwriteComponent&> (child ("overwritePresetComponent_"));
    auto& alert = static_cast<MolvekAlertComponent&> (child ("alert_"));
    const auto presetFolder = UserFolders::getPresetFolder();

    // No file for the current preset ("Init.mvkp"): Save Preset asks for a name; the folder is made.
    presetFolder.deleteRecursively();
    editor->performFileMenuItem (VardekoQX2710AudioProcessorEditor::savePresetItem);
    EXPECT_TRUE (browser.isVisible());
    EXPECT_FALSE (overwrite.isVisible());
    EXPECT_TRUE (presetFolder.isDirectory());
    static_cast<MolvekFileBrowser&> (browser).hide();

    // An existing current preset: Save Preset asks before overwriting it.
    addPreset ("Crunch/Warm.mvkp", {});
    processor.setCurrentPresetPath ("Crunch\\Warm.mvkp");
    editor->performFileMenuItem (VardekoQX2710AudioProcessorEditor::savePresetItem);
    EXPECT_TRUE (overwrite.isVisible());
    EXPECT_FALSE (browser.isVisible());
    EXPECT_EQ (overwrite.getMessage(), "Are you sure you want to overwrite this preset?\n\n\"Crunch" + juce::String (juce::File::getSeparatorString()) + "Warm.mvkp\"");
    overwrite.onCancel();

    editor->performFileMenuItem (VardekoQX2710AudioProcessorEditor::savePresetAsItem);
    EXPECT_TRUE (browser.isVisible());
    static_cast<MolvekFileBrowser&> (browser).hide();

    // The manual: an error when it is missing, opened when it is there.
    const auto manual = UserFolders::getUserManualFile();
    editor->performFileMenuItem (VardekoQX2710AudioProcessorEditor::userManualItem);
    EXPECT_TRUE (alert.isVisible());
    EXPECT_EQ (alert.getIconCode(), MolvekAlertComponent::errorIcon);
    EXPECT_EQ (alert.getMessage(), "User manual on: \"" + manual.getFullPathName() + "\" is not available.");
    EXPECT_TRUE (openedDocuments.isEmpty());
    alert.hide();

    manual.getParentDirectory().createDirectory();
    manual.replaceWithText ("%PDF-1.7");
    editor->performFileMenuItem (VardekoQX2710AudioProcessorEditor::userManualItem);
    EXPECT_EQ (openedDocuments, juce::StringArray (manual.getFullPathName()));
    EXPECT_FALSE (alert.isVisible());

    editor->performFileMenuItem (VardekoQX2710AudioProcessorEditor::websiteItem);
    EXPECT_EQ (openedAddresses, juce::StringArray (ProductInfo::website));
}

TEST_F (EditorTest, WithNothingToOpenThemTheManualAndTheSiteAreNamedForTheUser)
{
    // The window's own openers, on a system without a desktop opener.
    editor->openDocument = SystemOpener::openDocument;
    editor->openWebAddress = SystemOpener::openWebAddress;
    const auto emptyBin = home.getFolder().getChildFile ("bin");
    emptyBin.createDirectory();
    const OpenerTest::ScopedSearchPath path (emptyBin);
    const auto before = OpenerTest::childrenOfThisProcess();

    const auto manual = UserFolders::getUserManualFile();
    manual.getParentDirectory().createDirectory();
    manual.replaceWithText ("%PDF-1.7");
    auto& alert = static_cast<MolvekAlertComponent&> (child ("alert_"));

    const std::pair<int, juce::String> cases[] = {
        { VardekoQX2710AudioProcessorEditor::userManualItem, manual.getFullPathName().quoted() },
        { VardekoQX2710AudioProcessorEditor::websiteItem, ProductInfo::website },
    };

    for (const auto& [item, what] : cases)
    {
        editor->performFileMenuItem (item);
        EXPECT_TRUE (alert.isVisible()) << what;
        EXPECT_TRUE (alert.getMessage().contains (what)) << alert.getMessage();
        alert.hide();
    }

    pump (100);
    EXPECT_EQ (OpenerTest::childrenOfThisProcess(), before) << "nothing left behind";
}

TEST_F (EditorTest, AboutScreenShowsTheVersionAndClosesOnAClickOnThePicture)
{
    click ("aboutShowButton_");
    auto& about = static_cast<MolvekSplashScreen&> (child ("aboutContainer_"));
    EXPECT_TRUE (about.isVisible());
    EXPECT_EQ (about.getVersionText(), juce::String (VARDEKO_PROJECT_VERSION) + " (64bit)") << "the project's version";

    // The version label takes clicks on its own area; anywhere else is the picture.
    EXPECT_NE (about.getComponentAt (MolvekSplashScreen::versionX + 5, MolvekSplashScreen::versionY + 5), &about);
    EXPECT_EQ (about.getComponentAt (20, 20), &about);
    EXPECT_EQ (about.getComponentAt (300, 480), &about);

    about.mouseDown (mouseAt (about, { 20.0f, 20.0f }, { 20.0f, 20.0f }));
    EXPECT_FALSE (about.isVisible());
}

TEST_F (EditorTest, EditorsComeAndGoWithoutLeavingGesturesOpen)
{
    HostRecorder host (processor);
    auto& knob = child<juce::Slider> ("toneKnob_");
    const auto centre = knob.getLocalBounds().getCentre().toFloat();
    knob.mouseDown (mouseAt (knob, centre, centre));
    knob.mouseDrag (mouseAt (knob, centre.translated (0.0f, -20.0f), centre, true));
    editor.reset();

    EXPECT_EQ (host.shapeOf (HostParameters::tone), juce::StringArray ({ "begin", "set", "end" }));
}
