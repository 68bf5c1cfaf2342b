// A DSP-layer function that asks the processor for something: the DSP check must refuse it.
#include "processor/VardekoQX2710AudioProcessor.h"

int dspAsksTheProcessor (double rate)
{
    return VardekoQX2710AudioProcessor::getStartFadeLength (rate);
}
