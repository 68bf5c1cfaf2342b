#include "editor/VardekoQX2710AudioProcessorEditor.h"
#include "processor/VardekoQX2710AudioProcessor.h"

// The plug-in as every format's wrapper makes it: the processor, with this window as its editor.
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    VardekoQX2710AudioProcessorEditor::installAsProcessorEditor();
    return new VardekoQX2710AudioProcessor();
}
