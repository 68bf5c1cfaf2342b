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
    menu.setHeadedFolder (FactoryPresets::folderName);
    menu.setColour (juce::Label::textColourId, juce::Colour (0xff000000));
    menu.setFont (juce::Font (15.0f, juce::Font::bold));
    menu.setScansInBackground (true);
    menu.setCurrentItem (p.getCurrentPresetPath());
}

namespace
{
bool isApplied (int result)
{
    return result == ProgramDocuments::presetLoaded || result == ProgramDocuments::presetFromNewerVersion;
}
} // namespace

void PresetBarActions::step (bool forward)
{
    // A file that is not one of our presets is passed over, so it never bars the way to the
    // presets after it; the values in force stay until a preset is applied. At most one lap.
    // The list is the one on disk now, or as the last complete scan found it while a long one
    // runs.
    presetMenu.refreshListing();
    const auto candidates = juce::jmax (1, presetMenu.getNextId() - 1);
    juce::StringArray refused;
    auto result = (int) ProgramDocuments::presetUnreadable;

    for (int i = 0; i < candidates; ++i)
    {
        forward ? presetMenu.selectNext() : presetMenu.selectPrevious();
        const auto chosen = presetMenu.getCurrentItem();
        result = load (chosen);

        if (isApplied (result))
            break;

        if (chosen.isNotEmpty())
            refused.addIfNotAlreadyThere (chosen);
    }

    finishLoading (result, refused);
}

void PresetBarActions::loadChosenPreset()
{
    const auto chosen = presetMenu.getCurrentItem();
    const auto result = load (chosen);
    finishLoading (result, isApplied (result) || chosen.isEmpty() ? juce::StringArray() : juce::StringArray (chosen));
}

int PresetBarActions::load (const juce::String& chosen)
{
    const auto result = chosen.isEmpty() ? (int) ProgramDocuments::presetUnreadable
                                         : presetMenu.loadPreset (&processor, chosen);

    if (isApplied (result))
        processor.setCurrentPresetPath (chosen);

    return result;
}

void PresetBarActions::finishLoading (int result, const juce::StringArray& refused)
{
    // Only a preset that was applied becomes the current one; otherwise the bar goes back to
    // the preset whose values are still in force.
    if (! isApplied (result))
    {
        presetMenu.setCurrentItem (processor.getCurrentPresetPath());
        presetMenu.checkModified (&processor);
    }

    juce::StringArray messages;

    if (! refused.isEmpty())
        messages.add (refusedMessage (refused));

    if (result == ProgramDocuments::presetFromNewerVersion)
        messages.add (processor.getNewerVersionMessage());

    if (! messages.isEmpty())
        showMessage (messages.joinIntoString ("\n\n"), refused.isEmpty() ? MolvekAlertComponent::warningIcon : MolvekAlertComponent::errorIcon);

    processor.presetChangedInEditor();
}

juce::String PresetBarActions::refusedMessage (const juce::StringArray& refused)
{
    juce::StringArray quoted;

    for (const auto& path : refused)
        quoted.add (path.quoted());

    return quoted.joinIntoString ("\n") + "\ncould not be loaded: " + (refused.size() == 1 ? "it is not a preset" : "they are not presets") + " of " + ProductInfo::name + ".";
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
