#include "editor/PresetBarActions.h"

#include "presets/MolvekAlertComponent.h"
#include "presets/MolvekVardekoQX2710PresetMenu.h"
#include "processor/FactoryPresets.h"
#include "processor/ProductInfo.h"
#include "processor/ProgramDocuments.h"
#include "processor/UserFolders.h"
#include "processor/VardekoQX2710AudioProcessor.h"

PresetBarActions::PresetBarActions (VardekoQX2710AudioProcessor& p, MolvekVardekoQX2710PresetMenu& menu, MolvekAlertComponent& alertPanel)
    : processor (p)
    , presetMenu (menu)
    , alert (alertPanel)
{
}

juce::String PresetBarActions::getFilePattern()
{
    return "*" + juce::String (ProductInfo::presetExtension);
}

void PresetBarActions::setUp (MolvekVardekoQX2710PresetMenu& menu, VardekoQX2710AudioProcessor& p)
{
    menu.setRootFolder (UserFolders::getPresetFolder().getFullPathName());
    menu.setFilePattern (getFilePattern());
    menu.setColour (juce::Label::textColourId, juce::Colour (0xff000000));
    menu.setFont (juce::Font (15.0f, juce::Font::bold));
    menu.setScansInBackground (true);
    menu.setCurrentItem (p.getCurrentPresetPath());
}

void PresetBarActions::step (bool forward)
{
    // The list as it is on disk now, or as the last scan found it while a long one runs.
    presetMenu.refreshListing();
    forward ? presetMenu.selectNext() : presetMenu.selectPrevious();
    loadChosenPreset();
}

void PresetBarActions::loadChosenPreset()
{
    const auto chosen = presetMenu.getCurrentItem();
    const auto result = chosen.isEmpty() ? (int) ProgramDocuments::presetUnreadable
                                         : presetMenu.loadPreset (&processor, chosen);
    const auto applied = result == ProgramDocuments::presetLoaded || result == ProgramDocuments::presetFromNewerVersion;

    if (applied)
        processor.setCurrentPresetPath (chosen);
    else
        presetMenu.setCurrentItem (processor.getCurrentPresetPath());

    if (result == ProgramDocuments::presetFromNewerVersion)
        showMessage (processor.getNewerVersionMessage(), MolvekAlertComponent::warningIcon);
    else if (! applied && chosen.isNotEmpty())
        showMessage ("\"" + chosen + "\"\ncould not be loaded: it is not a preset of " + ProductInfo::name + ".", MolvekAlertComponent::errorIcon);

    processor.presetChangedInEditor();
}

void PresetBarActions::parametersChanged (bool byPresetChange)
{
    if (byPresetChange)
        refreshCount = 0;
    else
        presetMenu.markModified();
}

void PresetBarActions::tick()
{
    // After a preset change the bar is re-labelled on a few ticks in a row, so a file written
    // just then (a save, another instance) shows up with its true marker; the folder is
    // rescanned (in the background) only for a file that the last scan did not list.
    if (refreshCount < refreshTicks)
    {
        presetMenu.setCurrentItem (processor.getCurrentPresetPath());
        presetMenu.checkModified (&processor);
        ++refreshCount;
    }
}

void PresetBarActions::installFactoryPresetsOnce()
{
    if (factoryPresetsChecked)
        return;

    factoryPresetsChecked = true;
    const auto problem = FactoryPresets::installOnEditorOpen (UserFolders::getPresetFolder());

    if (problem.isEmpty())
        return;

    // After the window has settled: the panel is modal within it.
    juce::MessageManager::callAsync ([this, safeAlert = juce::Component::SafePointer<juce::Component> (&alert), problem]
                                     {
                                         if (safeAlert != nullptr)
                                             showMessage (problem, MolvekAlertComponent::errorIcon); });
}

void PresetBarActions::showMessage (const juce::String& message, int iconCode)
{
    alert.setMessage (message);
    alert.show (1, iconCode);
}
