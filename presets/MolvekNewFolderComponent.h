#pragma once

#include "editor/FilmStrip.h"
#include "editor/Molvek2StateKickButton.h"
#include "presets/MolvekAlertComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

// Asks for a name and creates a folder of that name (made legal) in the browser's current
// folder. OK is enabled while the name field holds text; Return clicks OK, Escape CANCEL.
class MolvekNewFolderComponent : public juce::Component,
                                 public juce::Button::Listener,
                                 public juce::TextEditor::Listener,
                                 public juce::Timer
{
public:
    static constexpr const char* nameTakenMessage = "The folder name already exist! Try different name.";
    static constexpr const char* creationFailedMessage = "Couldn't create the folder! Try different name.";

    MolvekNewFolderComponent (const juce::String& componentName, juce::FileBrowserComponent* browser, const juce::String& prompt);
    ~MolvekNewFolderComponent() override;

    virtual void setRestoresParent (bool shouldRestoreParent) { restoresParent = shouldRestoreParent; }
    virtual void show();
    virtual void hide();

    void paint (juce::Graphics& g) override;
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;
    void buttonClicked (juce::Button* button) override;
    void textEditorTextChanged (juce::TextEditor& editor) override;
    void textEditorReturnKeyPressed (juce::TextEditor& editor) override;
    void textEditorEscapeKeyPressed (juce::TextEditor& editor) override;

    juce::TextEditor& getNameEditor() noexcept { return nameEditor; }
    juce::Button& getOkButton() noexcept { return okButton; }
    juce::Button& getCancelButton() noexcept { return cancelButton; }
    MolvekAlertComponent& getAlertPanel() noexcept { return alertPanel; }

    void timerCallback() override;

private:
    void updateOkButton();
    void createFolder();

    FilmStrip background;
    bool restoresParent = false;
    juce::Label promptLabel { "titleText_" };
    juce::TextEditor nameEditor { "textEditor_" };
    Molvek2StateKickButton okButton { "OK" };
    Molvek2StateKickButton cancelButton { "CANCEL" };
    MolvekAlertComponent alertPanel { "alertComponent_" };
    juce::FileBrowserComponent* browser = nullptr;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MolvekNewFolderComponent)
};
