#pragma once

#include "dsp/DspBase.h"

// A per-sample stage: one sample per channel at a time, in double precision, in place.
class ModuleBase : public DspBase
{
public:
    ModuleBase() { typeName = "ModuleBase"; }

    // Each channel keeps its own signal history.
    virtual void processStereoSample (double& left, double& right) = 0;

    // Uses the left-channel history.
    virtual void processMonoSample (double& x) = 0;
};
