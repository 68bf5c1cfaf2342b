#include "editor/VardekoQX2710AudioProcessorEditor.h"

#include "presets/FactoryPresets.h"
#include "processor/ProductInfo.h"
#include "processor/VardekoQX2710AudioProcessor.h"

VardekoQX2710AudioProcessorEditor::VardekoQX2710AudioProcessorEditor (VardekoQX2710AudioProcessor& p)
    : juce::AudioProcessorEditor (p)
    , processor (p)
{
    setSize (windowWidth, windowHeight);

    alert_.setBounds (getLocalBounds());
    addChildComponent (alert_);
}

void VardekoQX2710AudioProcessorEditor::parentHierarchyChanged()
{
    installFactoryPresetsOnceShown();
}

void VardekoQX2710AudioProcessorEditor::visibilityChanged()
{
    installFactoryPresetsOnceShown();
}

// When the window first opens, not when the editor is made: build tools and hosts also make
// editors that never open (JUCE's LV2 manifest writer asks one for its size).
void VardekoQX2710AudioProcessorEditor::installFactoryPresetsOnceShown()
{
    if (factoryPresetsChecked || ! isShowing())
        return;

    factoryPresetsChecked = true;
    const auto problem = FactoryPresets::installOnEditorOpen (VardekoQX2710AudioProcessor::getPresetFolder());

    if (problem.isEmpty())
        return;

    // After the window has settled: the panel is modal within it.
    alert_.setMessage (problem);
    juce::MessageManager::callAsync ([safeThis = SafePointer<VardekoQX2710AudioProcessorEditor> (this)]
                                     {
                                         if (safeThis != nullptr)
                                             safeThis->alert_.show (1, MolvekAlertComponent::errorIcon); });
}

void VardekoQX2710AudioProcessorEditor::paint (juce::Graphics& g)
{
    // Until the image-strip pedal is in place the window shows the product plainly.
    g.fillAll (juce::Colour (0xff1d3b2a));
    g.setColour (juce::Colours::white);
    g.setFont (22.0f);
    g.drawFittedText (ProductInfo::name, getLocalBounds().removeFromTop (80), juce::Justification::centred, 1);
    g.setFont (14.0f);
    g.drawFittedText (processor.getCurrentPresetPath(), getLocalBounds().removeFromBottom (60), juce::Justification::centred, 1);
}
