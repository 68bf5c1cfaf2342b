#pragma once

#include "presets/MolvekAlertComponent.h"

class MolvekVardekoQX2710PresetMenu;
class VardekoQX2710AudioProcessor;

// Asks before a preset file is overwritten; OK writes the live values into targetFile through
// the preset menu. A write that fails turns the panel into the error message; nothing else
// changes then.
class MolvekVardekoQX2710OverwriteComponent : public MolvekAlertComponent
{
public:
    static constexpr const char* question = "Are you sure you want to overwrite this preset?";

    MolvekVardekoQX2710OverwriteComponent (const juce::String& componentName,
                                           VardekoQX2710AudioProcessor* processor,
                                           MolvekVardekoQX2710PresetMenu* presetMenu);
    ~MolvekVardekoQX2710OverwriteComponent() override;

    void onOk() override;
    void onCancel() override;

    // The confirmation for a file (its path relative to the preset folder in quotes).
    void setQuestionFor (const juce::File& file);

    juce::String targetFile;

protected:
    // Writes targetFile; true when it was written and the panel closed.
    bool writeTarget();

    VardekoQX2710AudioProcessor* processor = nullptr;
    MolvekVardekoQX2710PresetMenu* presetMenu = nullptr;

private:
    bool showingFailure = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MolvekVardekoQX2710OverwriteComponent)
};
