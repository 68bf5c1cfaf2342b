#pragma once

#include "dsp/FxModuleBase.h"

// Temporary stand-in until the oversampling filters land: passes the dry path through.
class OversamplingAlignment : public FxModuleBase
{
public:
    void setRequestedIndex (int index) { requestedIndex = index; }
    int getActiveIndex() const { return activeIndex; }
    void update() override { activeIndex = requestedIndex; }
    void processStereo (float*, float*, int) override {}
    void processMono (float*, int) override {}

private:
    int requestedIndex = 0;
    int activeIndex = 0;
};
