#include "presets/MolvekFileBrowser.h"

#include "presets/ModalPanel.h"
#include "presets/PanelArtwork.h"

#include <functional>
#include <utility>

namespace
{
int browserFlagsFor (int mode)
{
    using Flags = juce::FileBrowserComponent;

    switch (mode)
    {
        case MolvekFileBrowser::openFileMode:
            return Flags::openMode | Flags::canSelectFiles;
        case MolvekFileBrowser::openFilesMode:
            return Flags::openMode | Flags::canSelectFiles | Flags::canSelectMultipleItems;
        case MolvekFileBrowser::openFilesAndFoldersMode:
            return Flags::openMode | Flags::canSelectFiles | Flags::canSelectDirectories | Flags::canSelectMultipleItems;
        case MolvekFileBrowser::openFolderMode:
            return Flags::openMode | Flags::canSelectDirectories;
        case MolvekFileBrowser::saveFileMode:
            return Flags::saveMode | Flags::canSelectFiles | Flags::warnAboutOverwriting;
        default:
            return 0;
    }
}

// The framework browser's parts in the panels' dark look. Its parts read their colours from
// themselves, not from the browser, so every part gets them.
void styleBrowser (juce::FileBrowserComponent& browser)
{
    const juce::Colour text (PanelArtwork::textColour);
    const juce::Colour field (0xff1b1b1d);
    const juce::Colour line (0xff4a4a50);
    const juce::Colour highlight (0xffc8661c);

    const std::pair<int, juce::Colour> colours[] = {
        { juce::Label::textColourId, text },
        { juce::FileBrowserComponent::currentPathBoxBackgroundColourId, field },
        { juce::FileBrowserComponent::currentPathBoxTextColourId, text },
        { juce::FileBrowserComponent::currentPathBoxArrowColourId, text },
        { juce::FileBrowserComponent::filenameBoxBackgroundColourId, field },
        { juce::FileBrowserComponent::filenameBoxTextColourId, text },
        { juce::ComboBox::backgroundColourId, field },
        { juce::ComboBox::textColourId, text },
        { juce::ComboBox::outlineColourId, line },
        { juce::ComboBox::arrowColourId, text },
        { juce::TextEditor::backgroundColourId, field },
        { juce::TextEditor::textColourId, text },
        { juce::TextEditor::outlineColourId, line },
        { juce::TextEditor::focusedOutlineColourId, highlight },
        { juce::TextEditor::highlightColourId, highlight.withAlpha (0.5f) },
        { juce::CaretComponent::caretColourId, text },
        { juce::ListBox::backgroundColourId, field },
        { juce::ListBox::outlineColourId, line },
        { juce::DirectoryContentsDisplayComponent::textColourId, text },
        { juce::DirectoryContentsDisplayComponent::highlightColourId, highlight },
        { juce::DirectoryContentsDisplayComponent::highlightedTextColourId, juce::Colours::white },
        { juce::ScrollBar::thumbColourId, line.brighter (0.3f) },
    };

    std::function<void (juce::Component&)> apply = [&] (juce::Component& component)
    {
        for (const auto& [id, colour] : colours)
            component.setColour (id, colour);

        for (auto* child : component.getChildren())
            apply (*child);
    };

    apply (browser);
    browser.sendLookAndFeelChange();
    apply (browser);
}
} // namespace

MolvekFileBrowser::MolvekFileBrowser (const juce::String& panelName,
                                      const juce::String&,
                                      const juce::String& location,
                                      const juce::String& pattern,
                                      int browserMode,
                                      int titleCode,
                                      int okCode)
    : juce::Component (panelName)
    , filePattern (pattern.trim().isEmpty() ? juce::String ("*") : pattern)
    , initialLocation (location)
    , mode (browserMode)
    , titleImageCode (titleCode)
    , okImageCode (okCode)
{
    if (const auto browserFlags = browserFlagsFor (mode); browserFlags != 0)
        setUp (browserFlags);
}

MolvekFileBrowser::~MolvekFileBrowser()
{
    stopTimer();
    exitModalState (0);

    if (fileNameBox != nullptr)
        fileNameBox->removeListener (this);

    if (browser != nullptr)
        browser->removeListener (this);
}

void MolvekFileBrowser::setUp (int browserFlags)
{
    using Flags = juce::FileBrowserComponent;
    const bool files = (browserFlags & Flags::canSelectFiles) != 0;
    const bool folders = (browserFlags & Flags::canSelectDirectories) != 0;
    filter = std::make_unique<juce::WildcardFileFilter> (files ? filePattern : juce::String(), folders ? "*" : "", "Presets");

    background = PanelArtwork::browserBackground();
    titleImage = PanelArtwork::title (titleImageCode);
    setTitle (PanelArtwork::titleCaption (titleImageCode));
    setSize (325, 500);
    setWantsKeyboardFocus (true);

    browser = std::make_unique<juce::FileBrowserComponent> (browserFlags, juce::File (initialLocation), filter.get(), nullptr);
    browser->setBounds (12, 80, 300, 275);
    browser->addListener (this);
    styleBrowser (*browser);
    addAndMakeVisible (*browser);

    // The name box keeps Escape to itself; the panel hears it through the box.
    for (auto* child : browser->getChildren())
        if (auto* box = dynamic_cast<juce::TextEditor*> (child); box != nullptr && fileNameBox == nullptr)
            fileNameBox = box;

    if (fileNameBox != nullptr)
        fileNameBox->addListener (this);

    PanelArtwork::setButtonImage (okButton, okImageCode);
    PanelArtwork::setButtonImage (cancelButton, cancelImageCode);
    okButton.setBounds (179, 357, 132, 51);
    cancelButton.setBounds (179, 407, 132, 51);

    for (auto* button : { &okButton, &cancelButton })
    {
        button->setWantsKeyboardFocus (false);
        button->addListener (this);
        addAndMakeVisible (*button);
    }

    if (mode == saveFileMode)
    {
        newFolderButton = std::make_unique<Molvek2StateKickButton> ("New Folder");
        PanelArtwork::setButtonImage (*newFolderButton, newFolderImageCode);
        newFolderButton->setBounds (16, 357, 132, 51);
        newFolderButton->setWantsKeyboardFocus (false);
        newFolderButton->addListener (this);
        addAndMakeVisible (*newFolderButton);

        newFolderPanel = std::make_unique<MolvekNewFolderComponent> ("newFolderComponent_", browser.get(), newFolderPrompt);
        newFolderPanel->setRestoresParent (true);
        addChildComponent (*newFolderPanel);
    }
}

void MolvekFileBrowser::show()
{
    ModalPanel::open (*this, restoresParent);

    if (browser != nullptr)
    {
        browser->refresh();
        browser->setFileName ({});
        browser->deselectAllFiles();
    }

    if (newFolderPanel != nullptr)
        newFolderPanel->setBounds (0, 0, 325, 500);

    toFront (true);
    timerCallback();
    startTimer (200);
}

void MolvekFileBrowser::hide()
{
    ModalPanel::close (*this, restoresParent);
    stopTimer();
}

void MolvekFileBrowser::onOk()
{
    hide();
}

void MolvekFileBrowser::onCancel()
{
    hide();
}

void MolvekFileBrowser::onNewFolder()
{
    if (browser != nullptr && newFolderPanel != nullptr && browser->getRoot().isDirectory())
        newFolderPanel->show();
}

void MolvekFileBrowser::buttonClicked (juce::Button* button)
{
    if (button == &okButton)
        onOk();
    else if (button == &cancelButton)
        onCancel();
    else if (button == newFolderButton.get())
        onNewFolder();
}

void MolvekFileBrowser::selectionChanged()
{
    // Typing a name enables OK at once, so Return right after typing is never lost.
    timerCallback();
}

void MolvekFileBrowser::fileDoubleClicked (const juce::File&)
{
    // Also Return in the name box: acts on the name as it is now, as OK would.
    timerCallback();

    if (isVisible() && okButton.isEnabled())
        onOk();
}

void MolvekFileBrowser::textEditorEscapeKeyPressed (juce::TextEditor&)
{
    if (isVisible())
        onCancel();
}

bool MolvekFileBrowser::keyPressed (const juce::KeyPress& key)
{
    // Escape closes the panel as it closes the window's other panels.
    if (key != juce::KeyPress::escapeKey)
        return false;

    onCancel();
    return true;
}

std::unique_ptr<juce::AccessibilityHandler> MolvekFileBrowser::createAccessibilityHandler()
{
    return ModalPanel::createAccessibilityHandler (*this);
}

void MolvekFileBrowser::paint (juce::Graphics& g)
{
    PanelArtwork::dimBehind (g, getLocalBounds());
    background.drawFrame (g, 0, getLocalBounds());

    if (! titleImage.isEmpty())
        titleImage.drawFrame (g, 0, { 0, 0, titleImage.getFrameWidth(), titleImage.getFrameHeight() });
}
