#include "dsp/OversamplingAlignment.h"

#include "dsp/OversamplingRateLimit.h"

void OversamplingAlignment::clearState()
{
    filters.clear();
}

void OversamplingAlignment::initParameters()
{
    filters.load (0);
}

void OversamplingAlignment::update()
{
    requestedIndex = OversamplingRateLimit::limitIndex (requestedIndex, sampleRate);
    filters.load (requestedIndex);
}

void OversamplingAlignment::processStereo (float* left, float* right, int numSamples)
{
    process (BlockChannels<2> { { left, right } }, numSamples);
}

void OversamplingAlignment::processMono (float* samples, int numSamples)
{
    process (BlockChannels<1> { { samples } }, numSamples);
}
