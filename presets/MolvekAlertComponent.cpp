#include "presets/MolvekAlertComponent.h"

#include "presets/ModalPanel.h"
#include "presets/PanelArtwork.h"

MolvekAlertComponent::MolvekAlertComponent (const juce::String& panelName)
    : juce::Component (panelName)
    , background (PanelArtwork::panelBackground())
    , icon (PanelArtwork::icon (warningIcon))
{
    setSize (background.isEmpty() ? 325 : background.getFrameWidth(), background.isEmpty() ? 500 : background.getFrameHeight());
    setWantsKeyboardFocus (true);

    messageLabel.setJustificationType (juce::Justification::centred);
    messageLabel.setColour (juce::Label::textColourId, juce::Colour (PanelArtwork::textColour));
    messageLabel.setFont (juce::Font (15.0f));
    messageLabel.setMinimumHorizontalScale (1.0f);
    addAndMakeVisible (messageLabel);

    PanelArtwork::setButtonImage (okButton, okImageCode);
    PanelArtwork::setButtonImage (cancelButton, cancelImageCode);

    for (auto* button : { &okButton, &cancelButton })
    {
        button->setWantsKeyboardFocus (false);
        addAndMakeVisible (*button);
        button->addListener (this);
    }
}

MolvekAlertComponent::~MolvekAlertComponent()
{
    exitModalState (0);
}

void MolvekAlertComponent::setMessage (const juce::String& message)
{
    messageLabel.setText (message, juce::dontSendNotification);
    setTitle (message);
}

std::unique_ptr<juce::AccessibilityHandler> MolvekAlertComponent::createAccessibilityHandler()
{
    return ModalPanel::createAccessibilityHandler (*this);
}

void MolvekAlertComponent::show (int numButtons, int newIconCode)
{
    if (numButtons != 1 && numButtons != 2)
        return;

    ModalPanel::open (*this, restoresParent);

    if (newIconCode != iconCode)
    {
        iconCode = newIconCode;
        icon = PanelArtwork::icon (iconCode);
    }

    messageLabel.setBoundsRelative (0.1f, 0.3f, 0.8f, 0.4f);

    if (numButtons == 2)
    {
        okButton.setBounds (16, 328, 132, 51);
        cancelButton.setBounds (179, 328, 132, 51);
        cancelButton.setVisible (true);
    }
    else
    {
        okButton.setBounds (97, 328, 132, 51);
        cancelButton.setVisible (false);
    }

    toFront (true);
    repaint();
}

void MolvekAlertComponent::hide()
{
    ModalPanel::close (*this, restoresParent);
}

void MolvekAlertComponent::onOk()
{
    hide();
}

void MolvekAlertComponent::onCancel()
{
    hide();
}

void MolvekAlertComponent::buttonClicked (juce::Button* button)
{
    if (button == &okButton)
        onOk();
    else if (button == &cancelButton)
        onCancel();
}

bool MolvekAlertComponent::keyPressed (const juce::KeyPress& key)
{
    // Return answers OK; Escape answers CANCEL, or OK where OK is the only answer.
    if (key == juce::KeyPress::returnKey)
        okButton.triggerClick();
    else if (key == juce::KeyPress::escapeKey)
        (cancelButton.isVisible() ? cancelButton : okButton).triggerClick();
    else
        return false;

    return true;
}

void MolvekAlertComponent::paint (juce::Graphics& g)
{
    PanelArtwork::dimBehind (g, getLocalBounds());
    background.drawFrame (g, 0, getLocalBounds());

    if (! icon.isEmpty())
    {
        const auto x = juce::roundToInt (getWidth() / 2.0) - icon.getFrameWidth() / 2;
        icon.drawFrame (g, 0, { x, 12, icon.getFrameWidth(), icon.getFrameHeight() });
    }
}
