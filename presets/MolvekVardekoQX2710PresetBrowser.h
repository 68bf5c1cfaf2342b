#pragma once

#include "presets/MolvekAlertComponent.h"
#include "presets/MolvekFileBrowser.h"
#include "presets/MolvekVardekoQX2710OverwriteComponent2.h"

class MolvekVardekoQX2710PresetMenu;
class VardekoQX2710AudioProcessor;

// "Save As": the file browser in save mode, which saves only inside the preset folder (the
// preset menu's root folder), appends ".mvkp", asks before overwriting and reports a failed
// write. SAVE and NEW FOLDER are enabled only while the name in the box lies inside the folder.
class MolvekVardekoQX2710PresetBrowser : public MolvekFileBrowser
{
public:
    MolvekVardekoQX2710PresetBrowser (const juce::String& componentName,
                                      const juce::String& titleText,
                                      const juce::String& initialFolder,
                                      const juce::String& filePattern,
                                      VardekoQX2710AudioProcessor* processor,
                                      MolvekVardekoQX2710PresetMenu* presetMenu);
    ~MolvekVardekoQX2710PresetBrowser() override;

    // As the base, but a browser left outside the preset folder (or started above it before
    // the folder existed) opens in the preset folder again.
    void show() override;
    void onOk() override;
    void onCancel() override;
    void timerCallback() override;

    // The file SAVE would write: the name in the box inside the browser's folder, ".mvkp"
    // appended unless it ends so exactly; an invalid file when nothing may be saved there.
    // A name that lies inside but cannot be saved ("\" in it) is given, for SAVE to say why.
    juce::File getFileToSave() const;

    MolvekVardekoQX2710OverwriteComponent2& getOverwritePanel() noexcept { return overwritePanel; }
    MolvekAlertComponent& getAlertPanel() noexcept { return alertPanel; }

private:
    juce::File getPresetFolder() const;

    // The alert over the browser: why the file was not saved.
    void showFailure (const juce::File& file, const juce::Result& failure);

    MolvekVardekoQX2710PresetMenu* presetMenu = nullptr;
    VardekoQX2710AudioProcessor* processor = nullptr;
    MolvekVardekoQX2710OverwriteComponent2 overwritePanel;
    MolvekAlertComponent alertPanel { "alertComponent_" };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MolvekVardekoQX2710PresetBrowser)
};
