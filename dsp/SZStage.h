#pragma once

#include "dsp/SZBase.h"
#include "dsp/SZFilterStage.h"

// The per-sample s-to-z stage of a given order. Coefficient changes glide over the rate's
// glide length and end within rounding of the targets (no final snap). The sample calls are
// final so that an owner holding a concrete stage calls them directly and can inline them.
template <int order>
class SZStage : public SZFilterStage<SZBase, order, false>
{
public:
    void processStereoSample (double& left, double& right) final
    {
        this->filter.advanceGlide();
        left = this->filter.processSample (left, this->filter.left);
        right = this->filter.processSample (right, this->filter.right);
    }

    void processMonoSample (double& x) final
    {
        this->filter.advanceGlide();
        x = this->filter.processSample (x, this->filter.left);
    }
};
