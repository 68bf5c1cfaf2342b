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
#include "presets/FactoryPresets.h"
#include "presets/MolvekAlertComponent.h"
#include "presets/MolvekVardekoQX2710OverwriteComponent.h"
#include "presets/MolvekVardekoQX2710PresetBrowser.h"
#include "presets/MolvekVardekoQX2710PresetMenu.h"
#include "processor/HostParameters.h"
#include "processor/ProductInfo.h"
#include "processor/ProgramDocuments.h"
#include "processor/VardekoQX2710AudioProcessor.h"

#include <cmath>
#include <utility>

// The editor speaks the processor's indexed parameter interface, as hosts do.
JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")

namespace
{
juce::String presetFilePattern()
{
    return "*" + juce::String (ProductInfo::presetExtension);
}

const char* const oversamplingArtwork[] = { "oversampling_1x", "oversampling_2x", "oversampling_4x", "oversampling_8x" };
const char* const oversamplingNames[] = { "oversampling1xButton_", "oversampling2xButton_", "oversampling4xButton_", "oversampling8xButton_" };
} // namespace

VardekoQX2710AudioProcessorEditor::VardekoQX2710AudioProcessorEditor (VardekoQX2710AudioProcessor& p)
    : juce::AudioProcessorEditor (p)
    , processor (p)
    , background (MolvekArtwork ("background").getStrip (1))
{
    setLookAndFeel (&lookAndFeel);

    // The pedal's size, whether or not its picture decodes.
    setSize (PedalLayout::width, PedalLayout::height);
    setOpaque (true);

    createChildren();

    processor.parametersChanged = true;
    processor.channelChanged = true;
    processor.presetChanged = true;
    startTimer (timerIntervalMs);
}

VardekoQX2710AudioProcessorEditor::~VardekoQX2710AudioProcessorEditor()
{
    stopTimer();

    // The controls outlive this body; nothing they do while going may reach a half-destroyed
    // editor.
    for (const auto& [knob, index] : knobs)
        knob->removeListener (this);

    presetMenu_->removeListener (this);

    // A drag cut short by the window closing still ends its gesture at the host.
    for (int i = 0; i < (int) inGesture.size(); ++i)
        if (std::exchange (inGesture[(size_t) i], false))
            processor.endParameterChangeGesture (i);

    // The children, declared after it, go before the look-and-feel they draw with.
    setLookAndFeel (nullptr);
}

void VardekoQX2710AudioProcessorEditor::createChildren()
{
    const auto addButton = [this] (auto& button, const char* name, const char* artwork, PedalLayout::Box box)
    {
        button = std::make_unique<std::remove_reference_t<decltype (*button)>> (name);

        if (artwork != nullptr)
            button->setImage (MolvekArtwork (artwork));

        button->setBounds (box.toRectangle());
        button->addListener (this);
        addAndMakeVisible (*button);
    };

    addButton (fileButton_, "fileButton_", "file_button", PedalLayout::fileButton);
    addButton (presetDecButton_, "presetDecButton_", "arrow_left", PedalLayout::presetDecButton);
    addButton (presetIncButton_, "presetIncButton_", "arrow_right", PedalLayout::presetIncButton);
    fileButton_->setTooltip ("Save presets, open the user manual");
    presetDecButton_->setTooltip ("Previous preset");
    presetIncButton_->setTooltip ("Next preset");

    presetMenu_ = std::make_unique<MolvekVardekoQX2710PresetMenu> ("presetMenu_");
    presetMenu_->setRootFolder (VardekoQX2710AudioProcessor::getPresetFolder().getFullPathName());
    presetMenu_->setFilePattern (presetFilePattern());
    presetMenu_->setColour (juce::Label::textColourId, juce::Colour (0xff000000));
    presetMenu_->setFont (juce::Font (15.0f, juce::Font::bold));
    presetMenu_->setBounds (PedalLayout::presetMenu.toRectangle());
    presetMenu_->setScansInBackground (true);
    presetMenu_->setCurrentItem (processor.getCurrentPresetPath());
    presetMenu_->addListener (this);
    addAndMakeVisible (*presetMenu_);

    inputMeter_ = std::make_unique<MolvekImage> ("inputMeter_");
    inputMeter_->setImage (MolvekArtwork ("meter"), 11);
    inputMeter_->setBounds (PedalLayout::inputMeter.toRectangle());
    addAndMakeVisible (*inputMeter_);

    inputPeak_ = std::make_unique<MolvekImage> ("inputPeak_");
    inputPeak_->setImage (MolvekArtwork ("clip_light"), 2);
    inputPeak_->setBounds (PedalLayout::inputPeak.toRectangle());
    addAndMakeVisible (*inputPeak_);

    addButton (abButton_, "abButton_", "ab_switch", PedalLayout::abButton);
    addButton (abCopyButton_, "abCopyButton_", "copy_a_to_b", PedalLayout::abCopyButton);
    abButton_->setTooltip ("Channel A or B");
    abCopyButton_->setTooltip ("Copy this channel into the other one");

    addButton (bypassButton_, "bypassButton_", "foot_switch", PedalLayout::bypassButton);
    bypassButton_->setToggleState (processor.getParameter (HostParameters::onBypass) > 0.0f, juce::dontSendNotification);

    // step 0: continuous, with a double-click back to the default.
    const auto addKnob = [this] (auto& knob, const char* name, const char* artwork, PedalLayout::Box box, int parameterIndex, double step = 0.0)
    {
        knob = std::make_unique<std::remove_reference_t<decltype (*knob)>> (name);
        knob->setImage (MolvekArtwork (artwork));
        knob->setBounds (box.toRectangle());
        knob->setRange (0.0, 1.0, step);
        knob->setValue (getShownValue (parameterIndex), juce::dontSendNotification);
        knob->setDoubleClickReturnValue (step == 0.0, HostParameters::getDefaultValue (parameterIndex));
        knobs.emplace_back (knob.get(), parameterIndex);

        // While dragged, the value as the host shows it, in a bubble beside the knob.
        knob->textFromValueFunction = [parameterIndex] (double value)
        { return HostParameters::getText (parameterIndex, (float) value); };
        knob->setPopupDisplayEnabled (true, false, this);

        knob->addListener (this);
        addAndMakeVisible (*knob);
    };

    addKnob (inputVolKnob_, "inputVolKnob_", "knob_small", PedalLayout::inputVolKnob, HostParameters::inputVol);
    addKnob (overdriveKnob_, "overdriveKnob_", "knob_overdrive", PedalLayout::overdriveKnob, HostParameters::overdrive);
    addKnob (toneKnob_, "toneKnob_", "knob_tone", PedalLayout::toneKnob, HostParameters::tone);
    addKnob (levelKnob_, "levelKnob_", "knob_level", PedalLayout::levelKnob, HostParameters::level);
    addKnob (dryWetKnob_, "dryWetKnob_", "knob_small", PedalLayout::dryWetKnob, HostParameters::dryWet);
    // The selector moves in whole steps.
    addKnob (overdriveTypeKnob_, "overdriveTypeKnob_", "selector", PedalLayout::overdriveTypeKnob, HostParameters::overdriveType, HostParameters::getModelValue (1));

    for (int i = 0; i < PedalLayout::numSelectorPositions; ++i)
        overdriveTypeKnob_->setPositionLabel (PedalLayout::selectorCaptionTops[i], PedalLayout::selectorCaptionWidths[i], i);

    for (int i = 0; i < (int) oversamplingButtons.size(); ++i)
    {
        addButton (oversamplingButtons[(size_t) i], oversamplingNames[i], oversamplingArtwork[i], PedalLayout::oversamplingButtons[i]);
        oversamplingButtons[(size_t) i]->setTooltip (HostParameters::getOversamplingName (i));
    }

    refreshOversamplingLights();

    // An invisible hot spot over the product's logo.
    addButton (aboutShowButton_, "aboutShowButton_", nullptr, PedalLayout::aboutShowButton);
    aboutShowButton_->setMouseCursor (juce::MouseCursor::PointingHandCursor);

    aboutContainer_ = std::make_unique<MolvekSplashScreen> ("aboutContainer_");
    aboutContainer_->setBounds (getLocalBounds());
    addChildComponent (*aboutContainer_);

    const auto presetFolder = VardekoQX2710AudioProcessor::getPresetFolder().getFullPathName();
    savePresetBrowser_ = std::make_unique<MolvekVardekoQX2710PresetBrowser> ("savePresetBrowser_", "Save", presetFolder, presetFilePattern(), &processor, presetMenu_.get());
    savePresetBrowser_->setBounds (getLocalBounds());
    savePresetBrowser_->setRestoresParent (false);
    addChildComponent (*savePresetBrowser_);

    overwritePresetComponent_ = std::make_unique<MolvekVardekoQX2710OverwriteComponent> ("overwritePresetComponent_", &processor, presetMenu_.get());
    overwritePresetComponent_->setBounds (getLocalBounds());
    overwritePresetComponent_->setRestoresParent (false);
    addChildComponent (*overwritePresetComponent_);

    alert_ = std::make_unique<MolvekAlertComponent> ("alert_");
    alert_->setBounds (getLocalBounds());
    alert_->setRestoresParent (false);
    addChildComponent (*alert_);
}

void VardekoQX2710AudioProcessorEditor::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
    background.drawFrame (g, 0, getLocalBounds());
}

void VardekoQX2710AudioProcessorEditor::resized()
{
    if (getWidth() != PedalLayout::width || getHeight() != PedalLayout::height)
        setSize (PedalLayout::width, PedalLayout::height);
}

//==============================================================================
void VardekoQX2710AudioProcessorEditor::timerCallback()
{
    inputMeter_->setLevel (processor.meterLevel.load());
    inputPeak_->setLevel (processor.clipLight.load());

    if (processor.parametersChanged.exchange (false))
    {
        refreshControls();

        if (processor.channelChanged.exchange (false))
            refreshChannelControls();

        if (processor.presetChanged.exchange (false))
            refreshCount = 0;
        else
            presetMenu_->markModified();
    }

    // After a preset change the bar is re-labelled on three ticks in a row, so a file written
    // just then (a save, another instance) shows up with its true marker; the folder is
    // rescanned (in the background) only for a file that the last scan did not list.
    if (refreshCount < 3)
    {
        presetMenu_->setCurrentItem (processor.getCurrentPresetPath());
        presetMenu_->checkModified (&processor);
        ++refreshCount;
    }
}

void VardekoQX2710AudioProcessorEditor::refreshControls()
{
    bypassButton_->setToggleState (processor.getParameter (HostParameters::onBypass) > 0.0f, juce::dontSendNotification);

    for (const auto& [knob, index] : knobs)
    {
        // A knob in the user's hand is left alone; its value is the one being sent.
        if (! inGesture[(size_t) index])
            knob->setValue (getShownValue (index), juce::dontSendNotification);
    }

    refreshOversamplingLights();
}

void VardekoQX2710AudioProcessorEditor::refreshOversamplingLights()
{
    const auto lit = HostParameters::getOversamplingIndex (processor.getParameter (HostParameters::oversampling));

    for (int i = 0; i < (int) oversamplingButtons.size(); ++i)
        oversamplingButtons[(size_t) i]->setToggleState (i == lit, juce::dontSendNotification);
}

void VardekoQX2710AudioProcessorEditor::refreshChannelControls()
{
    const auto channelB = processor.getActiveChannel() != 0;
    abButton_->setToggleState (channelB, juce::dontSendNotification);
    abCopyButton_->setImage (MolvekArtwork (channelB ? "copy_b_to_a" : "copy_a_to_b"));
    abCopyButton_->repaint();
}

//==============================================================================
int VardekoQX2710AudioProcessorEditor::getParameterIndexOf (const juce::Component* control) const
{
    if (control == nullptr)
        return -1;

    for (const auto& [knob, index] : knobs)
        if (knob == control)
            return index;

    if (control == bypassButton_.get())
        return HostParameters::onBypass;

    for (const auto& light : oversamplingButtons)
        if (control == light.get())
            return HostParameters::oversampling;

    return -1;
}

float VardekoQX2710AudioProcessorEditor::getShownValue (int parameterIndex)
{
    const auto value = processor.getParameter (parameterIndex);

    // The selector points at the circuit that plays.
    if (parameterIndex == HostParameters::overdriveType)
        return HostParameters::getModelValue (HostParameters::getModelIndex (value));

    return value;
}

void VardekoQX2710AudioProcessorEditor::sendToHost (int parameterIndex, float value)
{
    const auto ownGesture = ! inGesture[(size_t) parameterIndex];

    if (ownGesture)
        processor.beginParameterChangeGesture (parameterIndex);

    processor.setParameterNotifyingHost (parameterIndex, value);

    if (ownGesture)
        processor.endParameterChangeGesture (parameterIndex);
}

void VardekoQX2710AudioProcessorEditor::sliderValueChanged (juce::Slider* slider)
{
    const auto index = getParameterIndexOf (slider);

    if (index < 0)
        return;

    auto value = (float) slider->getValue();

    // The selector's steps are exactly the values the processor reads as each circuit.
    if (index == HostParameters::overdriveType)
        value = HostParameters::getModelValue (juce::roundToInt (value * 4.0f));

    sendToHost (index, value);
}

void VardekoQX2710AudioProcessorEditor::sliderDragStarted (juce::Slider* slider)
{
    const auto index = getParameterIndexOf (slider);

    if (index >= 0 && ! inGesture[(size_t) index])
    {
        inGesture[(size_t) index] = true;
        processor.beginParameterChangeGesture (index);
    }
}

void VardekoQX2710AudioProcessorEditor::sliderDragEnded (juce::Slider* slider)
{
    const auto index = getParameterIndexOf (slider);

    if (index >= 0 && inGesture[(size_t) index])
    {
        inGesture[(size_t) index] = false;
        processor.endParameterChangeGesture (index);
    }
}

void VardekoQX2710AudioProcessorEditor::buttonClicked (juce::Button* button)
{
    if (button == fileButton_.get())
    {
        showFileMenu();
    }
    else if (button == presetDecButton_.get() || button == presetIncButton_.get())
    {
        // The list as it is on disk now, or as the last scan found it while a long one runs.
        presetMenu_->refreshListing();
        button == presetIncButton_.get() ? presetMenu_->selectNext() : presetMenu_->selectPrevious();
        loadChosenPreset();
    }
    else if (button == abButton_.get())
    {
        switchChannel();
    }
    else if (button == abCopyButton_.get())
    {
        copyChannel();
    }
    else if (button == bypassButton_.get())
    {
        sendToHost (HostParameters::onBypass, bypassButton_->getToggleState() ? 1.0f : 0.0f);
    }
    else if (button == aboutShowButton_.get())
    {
        showAbout();
    }
    else
    {
        for (int i = 0; i < (int) oversamplingButtons.size(); ++i)
        {
            if (button == oversamplingButtons[(size_t) i].get())
            {
                sendToHost (HostParameters::oversampling, HostParameters::getOversamplingValue (i));

                // The four lights act as one switch: exactly one is lit at once.
                refreshOversamplingLights();
            }
        }
    }
}

void VardekoQX2710AudioProcessorEditor::labelTextChanged (juce::Label* label)
{
    if (label == presetMenu_.get())
        loadChosenPreset();
}

//==============================================================================
void VardekoQX2710AudioProcessorEditor::loadChosenPreset()
{
    const auto chosen = presetMenu_->getCurrentItem();
    const auto result = chosen.isEmpty() ? (int) ProgramDocuments::presetUnreadable
                                         : presetMenu_->loadPreset (&processor, chosen);
    const auto applied = result == ProgramDocuments::presetLoaded || result == ProgramDocuments::presetFromNewerVersion;

    // Only a preset that was applied becomes the current one; otherwise the bar goes back to
    // the preset whose values are still in force.
    if (applied)
        processor.setCurrentPresetPath (chosen);
    else
        presetMenu_->setCurrentItem (processor.getCurrentPresetPath());

    if (result == ProgramDocuments::presetFromNewerVersion)
        showAlert (processor.getNewerVersionMessage(), 1, MolvekAlertComponent::warningIcon);
    else if (! applied && chosen.isNotEmpty())
        showAlert ("\"" + chosen + "\"\ncould not be loaded: it is not a preset of " + ProductInfo::name + ".", 1, MolvekAlertComponent::errorIcon);

    processor.presetChanged = true;
    processor.parametersChanged = true;
    processor.updateHostDisplay();
}

void VardekoQX2710AudioProcessorEditor::switchChannel()
{
    const auto channel = abButton_->getToggleState() ? 1 : 0;
    processor.setActiveChannel (channel);
    refreshChannelControls();
    presetMenu_->setCurrentItem (processor.getPresetPath (channel));

    // The live values and the host follow the channel.
    for (int i = 0; i < HostParameters::numParameters; ++i)
        sendToHost (i, processor.getParameter (i));

    processor.presetChanged = true;
    processor.parametersChanged = true;
    processor.updateHostDisplay();
}

void VardekoQX2710AudioProcessorEditor::copyChannel()
{
    // Only the values: the other channel's sound changes, the live one does not.
    const auto active = abButton_->getToggleState() ? 1 : 0;
    processor.copyChannel (active, 1 - active);
}

void VardekoQX2710AudioProcessorEditor::showAbout()
{
    aboutContainer_->setVersionText (juce::String (ProductInfo::version) + " (64bit)");
    aboutContainer_->show();
}

void VardekoQX2710AudioProcessorEditor::showAlert (const juce::String& message, int numButtons, int iconCode)
{
    alert_->setMessage (message);
    alert_->show (numButtons, iconCode);
}

//==============================================================================
juce::PopupMenu VardekoQX2710AudioProcessorEditor::createFileMenu()
{
    juce::PopupMenu menu;
    menu.addItem (savePresetItem, "Save Preset");
    menu.addItem (savePresetAsItem, "Save Preset As...");
    menu.addSeparator();
    menu.addItem (userManualItem, "User Manual");
    menu.addSeparator();
    menu.addItem (websiteItem, "Molvek Website");
    return menu;
}

void VardekoQX2710AudioProcessorEditor::showFileMenu()
{
    // Popup menus do not inherit their target's look. The choice arrives later; the window may
    // have closed by then.
    auto menu = createFileMenu();
    menu.setLookAndFeel (&lookAndFeel);
    menu.showMenuAsync (juce::PopupMenu::Options().withTargetComponent (fileButton_.get()),
                        [safeThis = SafePointer<VardekoQX2710AudioProcessorEditor> (this)] (int chosen)
                        {
                            if (safeThis != nullptr && chosen > 0)
                                safeThis->performFileMenuItem (chosen);
                        });
}

void VardekoQX2710AudioProcessorEditor::performFileMenuItem (int itemId)
{
    const auto presetFolder = VardekoQX2710AudioProcessor::getPresetFolder();

    switch (itemId)
    {
        case savePresetItem:
        {
            const auto current = presetMenu_->resolvePresetFile (processor.getCurrentPresetPath());

            if (current.existsAsFile())
            {
                overwritePresetComponent_->targetFile = current.getFullPathName();
                overwritePresetComponent_->setQuestionFor (current);
                overwritePresetComponent_->show (2, MolvekAlertComponent::warningIcon);
                break;
            }

            // No current preset file: choose one.
            presetFolder.createDirectory();
            savePresetBrowser_->show();
            break;
        }

        case savePresetAsItem:
            presetFolder.createDirectory();
            savePresetBrowser_->show();
            break;

        case userManualItem:
        {
            const auto manual = VardekoQX2710AudioProcessor::getUserManualFile();

            if (manual.existsAsFile())
                openDocument (manual);
            else
                showAlert ("User manual on: \"" + manual.getFullPathName() + "\" is not available.", 1, MolvekAlertComponent::errorIcon);

            break;
        }

        case websiteItem:
            openWebAddress (juce::URL (ProductInfo::website));
            break;

        default:
            break;
    }
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

// When the window first opens, not when the editor is made: build tools and hosts also make
// editors that never open (the LV2 description writer asks one for its size).
void VardekoQX2710AudioProcessorEditor::installFactoryPresetsOnceShown()
{
    if (factoryPresetsChecked || ! isShowing())
        return;

    factoryPresetsChecked = true;
    const auto problem = FactoryPresets::installOnEditorOpen (VardekoQX2710AudioProcessor::getPresetFolder());

    if (problem.isEmpty())
        return;

    // After the window has settled: the panel is modal within it.
    juce::MessageManager::callAsync ([safeThis = SafePointer<VardekoQX2710AudioProcessorEditor> (this), problem]
                                     {
                                         if (safeThis != nullptr)
                                             safeThis->showAlert (problem, 1, MolvekAlertComponent::errorIcon); });
}

JUCE_END_IGNORE_WARNINGS_GCC_LIKE
