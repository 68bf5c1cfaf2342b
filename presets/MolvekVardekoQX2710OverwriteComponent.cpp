#include "presets/MolvekVardekoQX2710OverwriteComponent.h"

#include "presets/MolvekVardekoQX2710PresetMenu.h"
#include "processor/VardekoQX2710AudioProcessor.h"

MolvekVardekoQX2710OverwriteComponent::MolvekVardekoQX2710OverwriteComponent (const juce::String& panelName,
                                                                              VardekoQX2710AudioProcessor* p,
                                                                              MolvekVardekoQX2710PresetMenu* menu)
    : MolvekAlertComponent (panelName)
    , processor (p)
    , presetMenu (menu)
{
}

MolvekVardekoQX2710OverwriteComponent::~MolvekVardekoQX2710OverwriteComponent() = default;

void MolvekVardekoQX2710OverwriteComponent::setQuestionFor (const juce::File& file)
{
    const auto root = presetMenu != nullptr ? presetMenu->getRootFolder() : juce::File();
    setMessage (juce::String (question) + "\n\n\"" + file.getRelativePathFrom (root) + "\"");
}

bool MolvekVardekoQX2710OverwriteComponent::writeTarget()
{
    if (showingFailure || presetMenu == nullptr || processor == nullptr)
    {
        showingFailure = false;
        hide();
        return false;
    }

    if (const auto result = presetMenu->savePreset (processor, targetFile); result.failed())
    {
        showingFailure = true;
        setMessage (MolvekVardekoQX2710PresetMenu::saveFailureMessage (juce::File (targetFile), presetMenu->getRootFolder(), result));
        show (1, errorIcon);
        return false;
    }

    processor->setCurrentPresetPath (presetMenu->getCurrentItem());
    processor->updateHostDisplay();
    hide();
    return true;
}

void MolvekVardekoQX2710OverwriteComponent::onOk()
{
    writeTarget();
}

void MolvekVardekoQX2710OverwriteComponent::onCancel()
{
    hide();
}
