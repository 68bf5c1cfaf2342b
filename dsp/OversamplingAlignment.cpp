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
    if (filters.getIndex() == 0)
        return;

    filters.processStereo<OversampledOutput::replaceInput> (left, right, numSamples, [] (double&, double&) {});
}

void OversamplingAlignment::processMono (float* samples, int numSamples)
{
    if (filters.getIndex() == 0)
        return;

    filters.processMono<OversampledOutput::replaceInput> (samples, numSamples, [] (double&) {});
}
