#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

// What a host format sees of one of the processor's eight indexed parameters. The value lives
// in the processor (getParameter / setParameter by index, as ever); this object adds what the
// indexed interface cannot say: the text of any value, not only the current one, so hosts can
// list the circuit's and the factor's steps by name, and the text a user types back into a value.
// The formats keep the indices as identifiers (VST3 ids 0 to 7).
class IndexedParameter final : public juce::AudioProcessorParameter
{
public:
    IndexedParameter (juce::AudioProcessor& owner, int index);

    float getValue() const override;
    void setValue (float newValue) override;
    float getDefaultValue() const override;

    juce::String getName (int maximumStringLength) const override;
    juce::String getLabel() const override { return {}; }

    int getNumSteps() const override;
    bool isDiscrete() const override;
    bool isBoolean() const override;

    juce::String getText (float value, int maximumStringLength) const override;
    float getValueForText (const juce::String& text) const override;

private:
    juce::AudioProcessor& owner;
    const int index;

    JUCE_DECLARE_NON_COPYABLE (IndexedParameter)
};
