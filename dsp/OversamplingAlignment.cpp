#include "dsp/OversamplingAlignment.h"

#include "dsp/OversamplingRateLimit.h"

#include <cmath>

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

double OversamplingAlignment::getDelaySamples (int index, float hostRate) noexcept
{
    const auto effective = OversamplingRateLimit::limitIndex (index, hostRate);

    if (effective == 0 || ! (hostRate > 0.0f))
        return 0.0;

    constexpr double referenceHz = 1000.0;
    const auto factor = (double) (1 << effective);
    const auto w = 2.0 * 3.14159265358979323846 * referenceHz / ((double) hostRate * factor);

    // Two filters at the oversampled rate; the decimator keeps the first sub-sample of each
    // frame, which adds nothing.
    return 2.0 * OversamplingLowpass::getGroupDelay (effective, w) / factor;
}

int OversamplingAlignment::getLatencySamples (int index, float hostRate) noexcept
{
    return (int) std::lround (getDelaySamples (index, hostRate));
}

void OversamplingAlignment::processStereo (float* left, float* right, int numSamples)
{
    process (BlockChannels<2> { { left, right } }, numSamples);
}

void OversamplingAlignment::processMono (float* samples, int numSamples)
{
    process (BlockChannels<1> { { samples } }, numSamples);
}
