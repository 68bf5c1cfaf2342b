#pragma once

#include "presets/MolvekAlertComponent.h"

#include <juce_audio_processors/juce_audio_processors.h>

class VardekoQX2710AudioProcessor;

// The plug-in window: a fixed 325 x 500 pedal.
class VardekoQX2710AudioProcessorEditor : public juce::AudioProcessorEditor
{
public:
    static constexpr int windowWidth = 325;
    static constexpr int windowHeight = 500;

    explicit VardekoQX2710AudioProcessorEditor (VardekoQX2710AudioProcessor& processor);
    ~VardekoQX2710AudioProcessorEditor() override = default;

    void paint (juce::Graphics& g) override;
    void parentHierarchyChanged() override;
    void visibilityChanged() override;

private:
    void installFactoryPresetsOnceShown();

    VardekoQX2710AudioProcessor& processor;
    MolvekAlertComponent alert_ { "alert_" };
    bool factoryPresetsChecked = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VardekoQX2710AudioProcessorEditor)
};
