#include "dsp/OversamplingBase2.h"

#include "dsp/OversamplingRateLimit.h"

OversamplingBase2::OversamplingBase2()
{
    OversamplingBase2::clearState();
    OversamplingBase2::initParameters();
}

void OversamplingBase2::reset()
{
    clearState();
    initParameters();
}

void OversamplingBase2::clearState()
{
    filters.clear();
}

void OversamplingBase2::initParameters()
{
}

void OversamplingBase2::setFactorIndex (int index)
{
    // Indices come from floor (3 v) with v in [0, 1]; anything else would address no filter.
    requestedIndex = index < 0 ? 0 : (index > OversamplingFilters::maxIndex ? OversamplingFilters::maxIndex : index);
}

void OversamplingBase2::updateRate()
{
    requestedIndex = OversamplingRateLimit::limitIndex (requestedIndex, baseRate);
    oversampledRate = (float) (1 << requestedIndex) * baseRate;
}

void OversamplingBase2::applyFactor()
{
    filters.load (requestedIndex);
    activeIndex = filters.getIndex();
    filtersEnabled = activeIndex != 0;
    OversamplingBase2::clearState();
}
