// A DSP-layer function that uses JUCE's plug-in API: the DSP check must refuse it.
#include <juce_audio_processors/juce_audio_processors.h>

void dspUsesThePluginApi()
{
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);
}
