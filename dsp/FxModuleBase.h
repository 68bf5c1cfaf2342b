#pragma once

#include "dsp/DspBase.h"

// A block stage: whole float buffers, processed in place.
class FxModuleBase : public DspBase
{
public:
    FxModuleBase() { typeName = "FxModuleBase"; }

    virtual void processStereo (float* left, float* right, int numSamples) = 0;

    // Uses the left-channel history.
    virtual void processMono (float* samples, int numSamples) = 0;
};
