#include "presets/MolvekNewFolderComponent.h"

#include "presets/ModalPanel.h"
#include "presets/PanelArtwork.h"

MolvekNewFolderComponent::MolvekNewFolderComponent (const juce::String& panelName, juce::FileBrowserComponent* fileBrowser, const juce::String& prompt)
    : juce::Component (panelName)
    , background (PanelArtwork::panelBackground())
    , browser (fileBrowser)
{
    setSize (background.isEmpty() ? 325 : background.getFrameWidth(), background.isEmpty() ? 500 : background.getFrameHeight());

    promptLabel.setText (prompt, juce::dontSendNotification);
    setTitle (prompt);
    promptLabel.setJustificationType (juce::Justification::centred);
    promptLabel.setColour (juce::Label::textColourId, juce::Colour (PanelArtwork::textColour));
    promptLabel.setFont (juce::Font (15.0f));
    addAndMakeVisible (promptLabel);
    promptLabel.setBoundsRelative (0.0f, 0.3f, 1.0f, 0.3f);

    nameEditor.setBounds (23, 250, 280, 24);
    nameEditor.setFont (juce::Font (15.0f));
    nameEditor.setColour (juce::TextEditor::backgroundColourId, juce::Colour (0xff1b1b1d));
    nameEditor.setColour (juce::TextEditor::textColourId, juce::Colour (PanelArtwork::textColour));
    nameEditor.setColour (juce::TextEditor::outlineColourId, juce::Colour (0xff5a5a60));
    nameEditor.setColour (juce::TextEditor::focusedOutlineColourId, juce::Colour (0xffe0892b));
    nameEditor.setColour (juce::CaretComponent::caretColourId, juce::Colour (PanelArtwork::textColour));
    nameEditor.setIndents (6, 4);
    nameEditor.addListener (this);
    addAndMakeVisible (nameEditor);

    PanelArtwork::setButtonImage (okButton, 1);
    PanelArtwork::setButtonImage (cancelButton, 3);
    okButton.setBounds (16, 328, 132, 51);
    cancelButton.setBounds (179, 328, 132, 51);

    for (auto* button : { &okButton, &cancelButton })
    {
        button->setWantsKeyboardFocus (false);
        button->addListener (this);
        addAndMakeVisible (*button);
    }

    alertPanel.setBounds (0, 0, 325, 500);
    alertPanel.setRestoresParent (true);
    addChildComponent (alertPanel);
}

MolvekNewFolderComponent::~MolvekNewFolderComponent()
{
    stopTimer();
    exitModalState (0);
}

void MolvekNewFolderComponent::show()
{
    nameEditor.clear(); // and its undo history
    ModalPanel::open (*this, restoresParent);
    toFront (true);
    nameEditor.grabKeyboardFocus();
    timerCallback();
    startTimer (200);
}

void MolvekNewFolderComponent::hide()
{
    // The timer ends with the prompt, and the browser gets the modal state back.
    stopTimer();
    ModalPanel::close (*this, restoresParent);
}

void MolvekNewFolderComponent::timerCallback()
{
    updateOkButton();
}

void MolvekNewFolderComponent::updateOkButton()
{
    const auto hasText = nameEditor.getText().isNotEmpty();
    okButton.setEnabled (hasText);
    okButton.setAlpha (hasText ? 1.0f : 0.5f);
}

void MolvekNewFolderComponent::textEditorTextChanged (juce::TextEditor&)
{
    updateOkButton();
}

void MolvekNewFolderComponent::textEditorReturnKeyPressed (juce::TextEditor&)
{
    okButton.triggerClick();
}

void MolvekNewFolderComponent::textEditorEscapeKeyPressed (juce::TextEditor&)
{
    cancelButton.triggerClick();
}

void MolvekNewFolderComponent::buttonClicked (juce::Button* button)
{
    if (button == &okButton)
        createFolder();
    else if (button == &cancelButton)
        hide();
}

void MolvekNewFolderComponent::createFolder()
{
    const auto name = juce::File::createLegalFileName (nameEditor.getText());

    if (name.isEmpty() || browser == nullptr)
        return;

    // Only a folder directly in the one browsed: "~name" would name a home folder, ".." the
    // folder above.
    const auto folder = browser->getRoot().getChildFile (name);

    if (folder.getParentDirectory() != browser->getRoot())
    {
        alertPanel.setMessage (creationFailedMessage);
        alertPanel.show (1, MolvekAlertComponent::warningIcon);
        return;
    }

    if (folder.exists())
    {
        alertPanel.setMessage (nameTakenMessage);
        alertPanel.show (1, MolvekAlertComponent::warningIcon);
        return;
    }

    if (folder.createDirectory().failed() || ! folder.isDirectory())
    {
        alertPanel.setMessage (creationFailedMessage);
        alertPanel.show (1, MolvekAlertComponent::warningIcon);
        return;
    }

    browser->refresh();
    hide();
}

void MolvekNewFolderComponent::paint (juce::Graphics& g)
{
    PanelArtwork::dimBehind (g, getLocalBounds());
    background.drawFrame (g, 0, getLocalBounds());
}

std::unique_ptr<juce::AccessibilityHandler> MolvekNewFolderComponent::createAccessibilityHandler()
{
    return ModalPanel::createAccessibilityHandler (*this);
}
