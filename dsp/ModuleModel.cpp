#include "dsp/ModuleModel.h"

#include <algorithm>

void ModuleModel::process (float* first, float* second, int numSamples)
{
    const auto channels = getInputChannels();

    if (channels == 1)
    {
        processMono (first, numSamples);
        std::copy (first, first + std::max (0, numSamples), second);
    }
    else if (channels == 2)
    {
        processStereo (first, second, numSamples);
    }
}
