#pragma once

#include "editor/FilmStrip.h"
#include "editor/Molvek2StateKickButton.h"
#include "presets/MolvekNewFolderComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>

// A file browser drawn over the pedal: the framework's browser between an image title and
// image buttons; in save mode also NEW FOLDER and its prompt. Modal while shown.
class MolvekFileBrowser : public juce::Component,
                          public juce::Button::Listener,
                          public juce::TextEditor::Listener,
                          public juce::FileBrowserListener,
                          public juce::Timer
{
public:
    enum Mode
    {
        openFileMode = 1,
        openFilesMode = 2,
        openFilesAndFoldersMode = 3,
        openFolderMode = 4,
        saveFileMode = 5
    };

    static constexpr const char* newFolderPrompt = "Please enter the name of the new folder:";

    MolvekFileBrowser (const juce::String& componentName,
                       const juce::String& titleText,
                       const juce::String& initialLocation,
                       const juce::String& filePattern,
                       int mode,
                       int titleImageCode,
                       int okImageCode);
    ~MolvekFileBrowser() override;

    virtual void show();
    virtual void hide();
    virtual void setUp (int browserFlags);
    virtual void onOk();
    virtual void onCancel();
    virtual void onNewFolder();
    virtual void setRestoresParent (bool shouldRestoreParent) { restoresParent = shouldRestoreParent; }

    void paint (juce::Graphics& g) override;
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;
    void buttonClicked (juce::Button* button) override;
    void fileDoubleClicked (const juce::File& file) override;
    void selectionChanged() override;
    void textEditorEscapeKeyPressed (juce::TextEditor& editor) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void fileClicked (const juce::File&, const juce::MouseEvent&) override {}
    void browserRootChanged (const juce::File&) override {}
    // Brings the buttons up to date with the name and the folder; also every 200 ms while shown.
    void timerCallback() override {}

    juce::FileBrowserComponent* getBrowser() noexcept { return browser.get(); }
    juce::TextEditor* getFileNameBox() noexcept { return fileNameBox; }
    juce::Button& getOkButton() noexcept { return okButton; }
    juce::Button& getCancelButton() noexcept { return cancelButton; }
    juce::Button* getNewFolderButton() noexcept { return newFolderButton.get(); }
    MolvekNewFolderComponent* getNewFolderPanel() noexcept { return newFolderPanel.get(); }

protected:
    juce::String filePattern;
    juce::String initialLocation;
    int mode = 0;
    int titleImageCode = 0;
    int okImageCode = 0;
    int cancelImageCode = 3;
    int newFolderImageCode = 8;
    bool restoresParent = false;
    FilmStrip background;
    FilmStrip titleImage;
    Molvek2StateKickButton okButton { "OK" };
    Molvek2StateKickButton cancelButton { "CANCEL" };
    std::unique_ptr<Molvek2StateKickButton> newFolderButton;
    std::unique_ptr<juce::WildcardFileFilter> filter;
    std::unique_ptr<juce::FileBrowserComponent> browser;
    juce::TextEditor* fileNameBox = nullptr; // the framework browser's own
    std::unique_ptr<MolvekNewFolderComponent> newFolderPanel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MolvekFileBrowser)
};
