#include "editor/FileMenu.h"

#include "presets/MolvekAlertComponent.h"
#include "presets/MolvekVardekoQX2710OverwriteComponent.h"
#include "presets/MolvekVardekoQX2710PresetBrowser.h"
#include "presets/MolvekVardekoQX2710PresetMenu.h"
#include "processor/ProductInfo.h"
#include "processor/UserFolders.h"
#include "processor/VardekoQX2710AudioProcessor.h"

FileMenu::FileMenu (VardekoQX2710AudioProcessor& p, Panels windowPanels, const DocumentOpener& documentOpener, const WebAddressOpener& webAddressOpener)
    : processor (p)
    , panels (windowPanels)
    , openDocument (documentOpener)
    , openWebAddress (webAddressOpener)
{
}

juce::PopupMenu FileMenu::create()
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

void FileMenu::show (juce::Component& target, juce::LookAndFeel& lookAndFeel)
{
    // Popup menus do not inherit their target's look. The target belongs to the window, so it is
    // gone when the window has closed.
    auto menu = create();
    menu.setLookAndFeel (&lookAndFeel);
    menu.showMenuAsync (juce::PopupMenu::Options().withTargetComponent (&target),
                        [this, safeTarget = juce::Component::SafePointer<juce::Component> (&target)] (int chosen)
                        {
                            if (safeTarget != nullptr && chosen > 0)
                                perform (chosen);
                        });
}

void FileMenu::perform (int itemId)
{
    switch (itemId)
    {
        case savePresetItem:
            savePreset();
            break;

        case savePresetAsItem:
            savePresetAs();
            break;

        case userManualItem:
            openUserManual();
            break;

        case websiteItem:
            openWebsite();
            break;

        default:
            break;
    }
}

void FileMenu::savePreset()
{
    const auto current = panels.presetMenu.resolvePresetFile (processor.getCurrentPresetPath());

    // No current preset file: choose one.
    if (! current.existsAsFile())
    {
        savePresetAs();
        return;
    }

    panels.overwrite.targetFile = current.getFullPathName();
    panels.overwrite.setQuestionFor (current);
    panels.overwrite.show (2, MolvekAlertComponent::warningIcon);
}

void FileMenu::savePresetAs()
{
    UserFolders::getPresetFolder().createDirectory();
    panels.saveBrowser.show();
}

void FileMenu::openUserManual()
{
    const auto manual = UserFolders::getUserManualFile();

    if (! manual.existsAsFile())
    {
        showMessage ("User manual on: \"" + manual.getFullPathName() + "\" is not available.");
        return;
    }

    if (! openDocument (manual))
        showMessage ("No application was found to open the user manual. You can open it yourself:\n\n\"" + manual.getFullPathName() + "\"");
}

void FileMenu::openWebsite()
{
    const juce::URL address (ProductInfo::website);

    if (! openWebAddress (address))
        showMessage ("No web browser was found to open the " + juce::String (ProductInfo::manufacturer) + " website. You can visit it at:\n\n" + address.toString (true));
}

void FileMenu::showMessage (const juce::String& message)
{
    panels.alert.setMessage (message);
    panels.alert.show (1, MolvekAlertComponent::errorIcon);
}
