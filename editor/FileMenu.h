#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

class MolvekAlertComponent;
class MolvekVardekoQX2710OverwriteComponent;
class MolvekVardekoQX2710PresetBrowser;
class MolvekVardekoQX2710PresetMenu;
class VardekoQX2710AudioProcessor;

// The FILE menu: its entries and what choosing one does. Saving goes through the window's save
// panels (asking before a preset file is overwritten); the manual and the vendor's web site
// open outside the window; a missing manual, or nothing on the system to open it or the site
// with, is reported in the alert panel with the path or address to open by hand.
class FileMenu
{
public:
    enum Item
    {
        savePresetItem = 1,
        savePresetAsItem = 2,
        userManualItem = 3,
        websiteItem = 4
    };

    // The panels the entries open, all children of the window.
    struct Panels
    {
        MolvekVardekoQX2710PresetMenu& presetMenu;
        MolvekVardekoQX2710PresetBrowser& saveBrowser;
        MolvekVardekoQX2710OverwriteComponent& overwrite;
        MolvekAlertComponent& alert;
    };

    // How a document and a web address are opened (the window's, replaceable in tests); false
    // when nothing could be started.
    using DocumentOpener = std::function<bool (const juce::File&)>;
    using WebAddressOpener = std::function<bool (const juce::URL&)>;

    FileMenu (VardekoQX2710AudioProcessor& processor, Panels panels, const DocumentOpener& openDocument, const WebAddressOpener& openWebAddress);

    static juce::PopupMenu create();

    // Shows the menu below target in the window's look; the choice is performed when it comes,
    // unless the window has closed by then.
    void show (juce::Component& target, juce::LookAndFeel& lookAndFeel);

    void perform (int itemId);

private:
    void savePreset();
    void savePresetAs();
    void openUserManual();
    void openWebsite();
    void showMessage (const juce::String& message);

    VardekoQX2710AudioProcessor& processor;
    Panels panels;
    const DocumentOpener& openDocument;
    const WebAddressOpener& openWebAddress;
};
