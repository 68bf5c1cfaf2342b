#include <juce_audio_processors/juce_audio_processors.h>
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter();
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter() { return nullptr; }
