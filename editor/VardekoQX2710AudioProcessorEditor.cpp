#include "editor/VardekoQX2710AudioProcessorEditor.h"

#include "editor/Molvek2StateButton.h"
#include "editor/Molvek2StateKickButton.h"
#include "editor/Molvek4StateButton3PDT.h"
#include "editor/MolvekArtwork.h"
#include "editor/MolvekImage.h"
#include "editor/MolvekKnob.h"
#include "editor/MolvekSplashScreen.h"
#include "editor/MolvekVardekoKnob.h"
#include "editor/PedalLayout.h"
#include "presets/MolvekAlertComponent.h"
#include "presets/MolvekVardekoQX2710OverwriteComponent.h"
#include "presets/MolvekVardekoQX2710PresetBrowser.h"
#include "presets/MolvekVardekoQX2710PresetMenu.h"
#include "processor/HostParameters.h"
#include "processor/ProductInfo.h"
#include "processor/UserFolders.h"
#include "processor/VardekoQX2710AudioProcessor.h"

// The editor speaks the processor's indexed parameter interface, as hosts do.
JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")

namespace
{
const char* const oversamplingArtwork[] = { "oversampling_1x", "oversampling_2x", "oversampling_4x", "oversampling_8x" };
const char* const oversamplingNames[] = { "oversampling1xButton_", "oversampling2xButton_", "oversampling4xButton_", "oversampling8xButton_" };
} // namespace

VardekoQX2710AudioProcessorEditor::VardekoQX2710AudioProcessorEditor (VardekoQX2710AudioProcessor& p)
    : juce::AudioProcessorEditor (p)
    , processor (p)
    , background (MolvekArtwork ("background").getStrip (1))
    , controls (p)
    , history ([this] (int index, float value)
               {
                   controls[index].send (value);
                   controls.refresh();
               })
{
    setLookAndFeel (&lookAndFeel);

    // The pedal's size, whether or not its picture decodes.
    setSize (PedalLayout::width, PedalLayout::height);
    setOpaque (true);
    setTitle (ProductInfo::name);

    createChildren();

    presetBar = std::make_unique<PresetBarActions> (processor, *presetMenu_, *alert_);
    channels = std::make_unique<ChannelSwitch> (processor, *abButton_, *abCopyButton_, *presetMenu_, [this]
                                                {
                                                    controls.sendAll();
                                                    history.clear();
                                                });
    controls.recordIn (&history);
    fileMenu = std::make_unique<FileMenu> (processor, FileMenu::Panels { *presetMenu_, *savePresetBrowser_, *overwritePresetComponent_, *alert_ }, openDocument, openWebAddress);

    setUpKeyboard();
    addChildComponent (valueBubble);
    addChildComponent (valueEntry);
    tooltipWindow = std::make_unique<juce::TooltipWindow> (this, tooltipDelayMs);

    processor.editorOpened();
    startTimer (timerIntervalMs);
}

VardekoQX2710AudioProcessorEditor::~VardekoQX2710AudioProcessorEditor()
{
    stopTimer();

    // The controls outlive this body; nothing they do while going may reach a half-destroyed
    // editor. A drag cut short by the window closing still ends its gesture at the host.
    controls.recordIn (nullptr);
    controls.release (*this);
    presetMenu_->removeListener (this);
    removeMouseListener (this);
    keyboard.reset();

    // The children, declared after it, go before the look-and-feel they draw with.
    setLookAndFeel (nullptr);
}

void VardekoQX2710AudioProcessorEditor::installAsProcessorEditor() noexcept
{
    VardekoQX2710AudioProcessor::setEditorMaker ([] (VardekoQX2710AudioProcessor& p) -> juce::AudioProcessorEditor*
                                                 { return new VardekoQX2710AudioProcessorEditor (p); });
}

void VardekoQX2710AudioProcessorEditor::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
    background.drawFrame (g, 0, getLocalBounds());
}

//==============================================================================
template <typename Child>
Child& VardekoQX2710AudioProcessorEditor::addChild (std::unique_ptr<Child>& child, const char* name, juce::Rectangle<int> bounds)
{
    child = std::make_unique<Child> (name);
    child->setBounds (bounds);
    addAndMakeVisible (*child);
    return *child;
}

template <typename Button>
void VardekoQX2710AudioProcessorEditor::addButton (std::unique_ptr<Button>& button, const char* name, const char* artwork, PedalLayout::Box box, const juce::String& title, const juce::String& tooltip)
{
    addChild (button, name, box.toRectangle());

    if (artwork != nullptr)
        button->setImage (MolvekArtwork (artwork));

    button->setTitle (title);
    button->setTooltip (tooltip);
    button->addListener (this);
}

template <typename Knob>
void VardekoQX2710AudioProcessorEditor::addKnob (std::unique_ptr<Knob>& knob, const char* name, const char* artwork, PedalLayout::Box box, int parameterIndex, const juce::String& title, double step)
{
    // The title is also the tooltip: the knobs' captions are short already.
    addChild (knob, name, box.toRectangle()).setImage (MolvekArtwork (artwork));
    knob->setTitle (title);
    knob->setTooltip (title);
    controls.bind (*knob, parameterIndex, step);
    knob->addListener (this);
    knob->onContextMenu = [this, k = knob.get()] { showKnobMenu (*k); };
}

// The children in their stacking order: the controls, then the panels over them, which span the
// window, stay hidden until shown and hand no modal state to a parent.
void VardekoQX2710AudioProcessorEditor::createChildren()
{
    addButton (fileButton_, "fileButton_", "file_button", PedalLayout::fileButton, "File", "Save presets, open the user manual");
    addButton (presetDecButton_, "presetDecButton_", "arrow_left", PedalLayout::presetDecButton, "Previous preset", "Previous preset");
    addButton (presetIncButton_, "presetIncButton_", "arrow_right", PedalLayout::presetIncButton, "Next preset", "Next preset");

    PresetBarActions::setUp (addChild (presetMenu_, "presetMenu_", PedalLayout::presetMenu.toRectangle()), processor);
    presetMenu_->addListener (this);
    presetMenu_->setTitle ("Preset");

    addChild (inputMeter_, "inputMeter_", PedalLayout::inputMeter.toRectangle()).setImage (MolvekArtwork ("meter"), 11);
    addChild (inputPeak_, "inputPeak_", PedalLayout::inputPeak.toRectangle()).setImage (MolvekArtwork ("clip_light"), 2);
    describeMeter();

    addButton (abButton_, "abButton_", "ab_switch", PedalLayout::abButton, "Channel", "Channel A or B");
    abButton_->setStateTexts ("A", "B");
    addButton (abCopyButton_, "abCopyButton_", "copy_a_to_b", PedalLayout::abCopyButton, ChannelSwitch::getCopyTitle (false), "Copy this channel into the other one");
    addButton (bypassButton_, "bypassButton_", "foot_switch", PedalLayout::bypassButton, "Effect", "Effect on or off");
    controls.bindToggle (*bypassButton_, HostParameters::onBypass);

    addKnob (inputVolKnob_, "inputVolKnob_", "knob_small", PedalLayout::inputVolKnob, HostParameters::inputVol, "Input volume");
    addKnob (overdriveKnob_, "overdriveKnob_", "knob_overdrive", PedalLayout::overdriveKnob, HostParameters::overdrive, "Overdrive");
    addKnob (toneKnob_, "toneKnob_", "knob_tone", PedalLayout::toneKnob, HostParameters::tone, "Tone");
    addKnob (levelKnob_, "levelKnob_", "knob_level", PedalLayout::levelKnob, HostParameters::level, "Level");
    addKnob (dryWetKnob_, "dryWetKnob_", "knob_small", PedalLayout::dryWetKnob, HostParameters::dryWet, "Dry/wet mix");
    // The selector moves in whole steps.
    addKnob (overdriveTypeKnob_, "overdriveTypeKnob_", "selector", PedalLayout::overdriveTypeKnob, HostParameters::overdriveType, "Circuit", HostParameters::getModelValue (1));

    for (int i = 0; i < PedalLayout::numSelectorPositions; ++i)
        overdriveTypeKnob_->setPositionLabel (PedalLayout::selectorCaptionTops[i], PedalLayout::selectorCaptionWidths[i], i);

    for (int i = 0; i < (int) oversamplingButtons.size(); ++i)
    {
        addButton (oversamplingButtons[(size_t) i], oversamplingNames[i], oversamplingArtwork[i], PedalLayout::oversamplingButtons[i], HostParameters::getOversamplingName (i), HostParameters::getOversamplingName (i));
        controls.bindStep (*oversamplingButtons[(size_t) i], HostParameters::oversampling, i);
    }

    controls.refresh();

    // The keyboard's focus ring, over the controls.
    keyboard = std::make_unique<KeyboardControl> (*this, getNumChildComponents());

    // An invisible hot spot over the product's logo.
    addButton (aboutShowButton_, "aboutShowButton_", nullptr, PedalLayout::aboutShowButton, "About " + juce::String (ProductInfo::name), "");
    aboutShowButton_->setMouseCursor (juce::MouseCursor::PointingHandCursor);

    const auto window = getLocalBounds();
    const auto presetFolder = UserFolders::getPresetFolder().getFullPathName();
    aboutContainer_ = std::make_unique<MolvekSplashScreen> ("aboutContainer_");
    aboutContainer_->setTitle ("About " + juce::String (ProductInfo::name));
    savePresetBrowser_ = std::make_unique<MolvekVardekoQX2710PresetBrowser> ("savePresetBrowser_", "Save", presetFolder, PresetBarActions::getFilePattern(), &processor, presetMenu_.get());
    overwritePresetComponent_ = std::make_unique<MolvekVardekoQX2710OverwriteComponent> ("overwritePresetComponent_", &processor, presetMenu_.get());
    alert_ = std::make_unique<MolvekAlertComponent> ("alert_");

    for (juce::Component* panel : std::initializer_list<juce::Component*> { aboutContainer_.get(), savePresetBrowser_.get(), overwritePresetComponent_.get(), alert_.get() })
    {
        panel->setBounds (window);
        addChildComponent (*panel);
    }

    savePresetBrowser_->setRestoresParent (false);
    overwritePresetComponent_->setRestoresParent (false);
    alert_->setRestoresParent (false);
}

// The controls in reading order: the top bar, the upper panel, the knobs, the selector and the
// foot switch.
void VardekoQX2710AudioProcessorEditor::setUpKeyboard()
{
    const auto click = [] (juce::Button& button)
    { return [&button] { button.triggerClick(); }; };

    keyboard->addButton (*fileButton_, click (*fileButton_));
    keyboard->addButton (*presetMenu_, [this] { presetMenu_->showMenu(); });
    keyboard->addButton (*presetDecButton_, click (*presetDecButton_));
    keyboard->addButton (*presetIncButton_, click (*presetIncButton_));
    keyboard->addSwitch (*abButton_, abButton_->getLocalBounds().toFloat().expanded (2.0f), false, true);
    keyboard->addButton (*abCopyButton_, click (*abCopyButton_));
    keyboard->addKnob (*inputVolKnob_, PedalLayout::smallKnobRing.toRectangle(), [this, knob = inputVolKnob_.get()] { typeValueOf (*knob); });
    keyboard->addLights ({ oversamplingButtons[0].get(), oversamplingButtons[1].get(), oversamplingButtons[2].get(), oversamplingButtons[3].get() });
    keyboard->addKnob (*dryWetKnob_, PedalLayout::smallKnobRing.toRectangle(), [this, knob = dryWetKnob_.get()] { typeValueOf (*knob); });

    for (auto* knob : { overdriveKnob_.get(), toneKnob_.get(), levelKnob_.get() })
        keyboard->addKnob (*knob, PedalLayout::bigKnobRing.toRectangle(), [this, knob] { typeValueOf (*knob); });

    keyboard->addKnob (*overdriveTypeKnob_, PedalLayout::selectorRing.toRectangle(), [this, knob = overdriveTypeKnob_.get()] { typeValueOf (*knob); });
    keyboard->addSwitch (*bypassButton_, PedalLayout::footSwitchRing.toRectangle(), true, false);

    // The window takes the focus itself, so that Tab reaches it before any control has it.
    setWantsKeyboardFocus (true);
    addMouseListener (this, true);
}

void VardekoQX2710AudioProcessorEditor::describeMeter()
{
    // Ten bars: frame k lights k of them.
    juce::StringArray levels;

    for (int frame = 0; frame <= 10; ++frame)
        levels.add (juce::String (frame * 10) + " %");

    inputMeter_->setTitle ("Input level");
    inputMeter_->setAccessibleTexts (levels, juce::AccessibilityRole::progressBar);
    inputPeak_->setTitle ("Input clipping");
    inputPeak_->setAccessibleTexts ({ "No", "Yes" }, juce::AccessibilityRole::image);
}

void VardekoQX2710AudioProcessorEditor::resized()
{
    if (getWidth() != PedalLayout::width || getHeight() != PedalLayout::height)
        setSize (PedalLayout::width, PedalLayout::height);
}

//==============================================================================
bool VardekoQX2710AudioProcessorEditor::keyPressed (const juce::KeyPress& key)
{
    // Keys a control left alone reach the window too.
    const auto mods = key.getModifiers();

    if (juce::CharacterFunctions::toLowerCase ((juce::juce_wchar) key.getKeyCode()) == 'z' && mods.isCommandDown() && ! mods.isAltDown())
    {
        // Taken even with nothing to undo: the host's own undo is not the user's intent here.
        if (mods.isShiftDown())
            history.redo();
        else
            history.undo();

        return true;
    }

    // Only the window's own go to the keyboard.
    return keyboard != nullptr && hasKeyboardFocus (false) && keyboard->keyPressedInWindow (key);
}

void VardekoQX2710AudioProcessorEditor::focusGained (FocusChangeType cause)
{
    // The window going hands the focus back to it while its children are deleted.
    if (keyboard == nullptr)
        return;

    // Tabbed into from the host's or the app's own controls: on to the first control, or the
    // last one for Shift+Tab.
    if (cause == focusChangedByTabKey)
        keyboard->focusFirst (juce::ModifierKeys::currentModifiers.isShiftDown());
    else
        keyboard->focusChanged (cause);
}

void VardekoQX2710AudioProcessorEditor::focusOfChildComponentChanged (FocusChangeType cause)
{
    if (keyboard != nullptr)
        keyboard->focusChanged (cause);
}

void VardekoQX2710AudioProcessorEditor::mouseDown (const juce::MouseEvent&)
{
    if (keyboard != nullptr)
        keyboard->mousePressed();
}

std::unique_ptr<juce::ComponentTraverser> VardekoQX2710AudioProcessorEditor::createKeyboardFocusTraverser()
{
    return keyboard != nullptr ? keyboard->createTraverser() : juce::Component::createKeyboardFocusTraverser();
}

//==============================================================================
void VardekoQX2710AudioProcessorEditor::timerCallback()
{
    inputMeter_->setLevel (processor.meterLevel.load());
    inputPeak_->setLevel (processor.clipLight.load());

    if (processor.parametersChanged.exchange (false))
    {
        controls.refresh();

        if (processor.channelChanged.exchange (false))
            channels->refresh();

        // A new channel, preset or program: the steps so far belong to other values.
        const auto presetChanged = processor.presetChanged.exchange (false);

        if (presetChanged)
            history.clear();

        presetBar->parametersChanged (presetChanged);
    }

    presetBar->tick();
}

//==============================================================================
int VardekoQX2710AudioProcessorEditor::getParameterIndexOf (const juce::Component* control) const
{
    return controls.indexOf (control);
}

void VardekoQX2710AudioProcessorEditor::sliderValueChanged (juce::Slider* slider)
{
    controls.knobMoved (*slider);
    showValueOf (*slider);

    // A change outside a gesture (a key) stays in view for a moment; a gesture's (a drag, a
    // wheel step, a double-click) from its end.
    if (knobInGesture != slider)
        valueBubble.hideSoon();
}

void VardekoQX2710AudioProcessorEditor::sliderDragStarted (juce::Slider* slider)
{
    controls.dragStarted (*slider);
    knobInGesture = slider;
    showValueOf (*slider);
}

void VardekoQX2710AudioProcessorEditor::sliderDragEnded (juce::Slider* slider)
{
    controls.dragEnded (*slider);
    knobInGesture = nullptr;
    valueBubble.hideSoon();
}

void VardekoQX2710AudioProcessorEditor::showKnobMenu (juce::Slider& knob)
{
    juce::PopupMenu menu;
    menu.setLookAndFeel (&lookAndFeel);
    menu.addItem (juce::String::fromUTF8 ("Type a value\xe2\x80\xa6"), [safe = juce::Component::SafePointer<juce::Slider> (&knob), this]
                  {
                      if (safe != nullptr)
                          typeValueOf (*safe);
                  });
    menu.showMenuAsync (juce::PopupMenu::Options().withTargetComponent (&knob).withParentComponent (this));
}

void VardekoQX2710AudioProcessorEditor::typeValueOf (juce::Slider& knob)
{
    // The value goes through the knob's own notification: one host gesture and one undo step,
    // as a mouse move.
    const auto index = controls.indexOf (&knob);
    valueBubble.hide();
    valueEntry.open (knob, knob.getTextFromValue (knob.getValue()), [index] (const juce::String& text)
                     {
                         // Read as the host reads a value text; an empty field names nothing.
                         return text.trim().isEmpty() ? std::optional<float>() : std::optional<float> (HostParameters::getValueForText (index, text));
                     }, [safe = juce::Component::SafePointer<juce::Slider> (&knob)] (float value)
                     {
                         if (safe != nullptr)
                             safe->setValue (value, juce::sendNotificationSync);
                     });
}

void VardekoQX2710AudioProcessorEditor::showValueOf (juce::Slider& knob)
{
    const auto value = knob.getValue();
    valueBubble.showFor (knob, ValueBubble::textFor (controls.indexOf (&knob), (float) value, knob.getTextFromValue (value)));
}

void VardekoQX2710AudioProcessorEditor::buttonClicked (juce::Button* button)
{
    if (button == fileButton_.get())
        fileMenu->show (*fileButton_, lookAndFeel);
    else if (button == presetDecButton_.get() || button == presetIncButton_.get())
        presetBar->step (button == presetIncButton_.get());
    else if (button == abButton_.get())
        channels->switched();
    else if (button == abCopyButton_.get())
        channels->copy();
    else if (button == aboutShowButton_.get())
        showAbout();
    else
        controls.clicked (*button);
}

void VardekoQX2710AudioProcessorEditor::labelTextChanged (juce::Label* label)
{
    if (label == presetMenu_.get())
        presetBar->loadChosenPreset();
}

//==============================================================================
void VardekoQX2710AudioProcessorEditor::showAbout()
{
    aboutContainer_->setVersionText (juce::String (ProductInfo::version) + " (64bit)");
    aboutContainer_->show();
}

//==============================================================================
void VardekoQX2710AudioProcessorEditor::parentHierarchyChanged()
{
    installFactoryPresetsOnceShown();
}

void VardekoQX2710AudioProcessorEditor::visibilityChanged()
{
    installFactoryPresetsOnceShown();
}

void VardekoQX2710AudioProcessorEditor::installFactoryPresetsOnceShown()
{
    if (presetBar != nullptr && isShowing())
        presetBar->installFactoryPresetsOnce();
}

JUCE_END_IGNORE_WARNINGS_GCC_LIKE
