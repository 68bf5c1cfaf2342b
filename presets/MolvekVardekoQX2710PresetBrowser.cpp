#include "presets/MolvekVardekoQX2710PresetBrowser.h"

#include "presets/MolvekVardekoQX2710PresetMenu.h"
#include "processor/PresetPath.h"
#include "processor/ProductInfo.h"
#include "processor/VardekoQX2710AudioProcessor.h"

MolvekVardekoQX2710PresetBrowser::MolvekVardekoQX2710PresetBrowser (const juce::String& panelName,
                                                                    const juce::String& titleText,
                                                                    const juce::String& initialFolder,
                                                                    const juce::String& pattern,
                                                                    VardekoQX2710AudioProcessor* p,
                                                                    MolvekVardekoQX2710PresetMenu* menu)
    : MolvekFileBrowser (panelName, titleText, initialFolder, pattern, saveFileMode, 1, 5)
    , presetMenu (menu)
    , processor (p)
    , overwritePanel ("overwriteComponent_", p, menu)
{
    for (auto* panel : { static_cast<MolvekAlertComponent*> (&overwritePanel), &alertPanel })
    {
        panel->setMessage ({});
        panel->setRestoresParent (true);
        addChildComponent (*panel);
    }
}

MolvekVardekoQX2710PresetBrowser::~MolvekVardekoQX2710PresetBrowser() = default;

juce::File MolvekVardekoQX2710PresetBrowser::getPresetFolder() const
{
    return presetMenu != nullptr ? presetMenu->getRootFolder() : juce::File();
}

juce::File MolvekVardekoQX2710PresetBrowser::getFileToSave() const
{
    if (browser == nullptr)
        return {};

    const auto folder = getPresetFolder();
    const auto selected = browser->getSelectedFile (0);

    // Real containment: a sibling folder whose name merely begins with the preset folder's
    // name is outside it, and so is a folder reached through a link that leads out.
    if (! PresetPath::isReallyInside (folder, selected) || selected == browser->getRoot() || selected.isDirectory())
        return {};

    // Case-sensitive: "Clean.MVKP" becomes "Clean.MVKP.mvkp".
    const auto path = selected.getFullPathName();
    return path.endsWith (ProductInfo::presetExtension) ? selected : juce::File (path + ProductInfo::presetExtension);
}

void MolvekVardekoQX2710PresetBrowser::show()
{
    const auto folder = getPresetFolder();

    if (browser != nullptr && folder.isDirectory() && browser->getRoot() != folder && ! PresetPath::isInside (folder, browser->getRoot()))
        browser->setRoot (folder);

    MolvekFileBrowser::show();
}

void MolvekVardekoQX2710PresetBrowser::onOk()
{
    if (presetMenu == nullptr || processor == nullptr)
        return;

    const auto file = getFileToSave();

    if (file == juce::File())
        return;

    // A name that cannot be saved (a "\" in it, say) is refused before anything is asked.
    if (const auto refused = presetMenu->checkSaveTarget (file); refused.failed())
        return showFailure (file, refused);

    if (file.existsAsFile())
    {
        overwritePanel.setBounds (0, 0, 325, 500);
        overwritePanel.targetFile = file.getFullPathName();
        overwritePanel.setQuestionFor (file);
        overwritePanel.show (2, MolvekAlertComponent::warningIcon);
        return;
    }

    if (const auto result = presetMenu->savePreset (processor, file.getFullPathName()); result.failed())
        return showFailure (file, result);

    processor->setCurrentPresetPath (presetMenu->getCurrentItem());
    browser->refresh();
    hide();
    processor->updateHostDisplay();
}

void MolvekVardekoQX2710PresetBrowser::showFailure (const juce::File& file, const juce::Result& failure)
{
    alertPanel.setBounds (0, 0, 325, 500);
    alertPanel.setMessage (MolvekVardekoQX2710PresetMenu::saveFailureMessage (file, getPresetFolder(), failure));
    alertPanel.show (1, MolvekAlertComponent::errorIcon);
}

void MolvekVardekoQX2710PresetBrowser::onCancel()
{
    hide();
}

void MolvekVardekoQX2710PresetBrowser::timerCallback()
{
    if (browser == nullptr || mode != saveFileMode)
        return;

    const auto folder = getPresetFolder();
    const auto browsing = browser->getRoot();
    const auto selected = browser->getSelectedFile (0);
    const auto insideFolder = [&folder] (const juce::File& f)
    { return f == folder || PresetPath::isReallyInside (folder, f); };

    const bool canCreateFolder = insideFolder (browsing) && insideFolder (selected);
    const bool canSave = canCreateFolder && getFileToSave() != juce::File() && browser->currentFileIsValid();

    for (auto [button, enabled] : { std::pair<juce::Button*, bool> { &okButton, canSave }, { newFolderButton.get(), canCreateFolder } })
    {
        if (button == nullptr)
            continue;

        button->setEnabled (enabled);
        button->setAlpha (enabled ? 1.0f : 0.5f);
    }
}
