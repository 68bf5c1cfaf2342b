#pragma once

#include "dsp/SZBase.h"
#include "dsp/SZFilter.h"

// The per-sample s-to-z stage of a given order. Coefficient changes glide over the rate's
// glide length and end within rounding of the targets (no final snap). The sample calls are
// final so that an owner holding a concrete stage calls them directly and can inline them.
template <int order>
class SZStage : public SZBase
{
public:
    using Filter = SZFilter<order, false>;

    SZStage()
    {
        filter.setSampleRate (sampleRate);
        SZStage::clearState();
        SZStage::initParameters();
    }

    void setSampleRate (float rate) override
    {
        SZBase::setSampleRate (rate);
        filter.setSampleRate (rate);
    }

    void clearState() override { filter.clearState(); }
    void initParameters() override { filter.initParameters(); }

    void setAnalogCoefficients (const double* denominator, const double* numerator) override
    {
        filter.setAnalogCoefficients (denominator, numerator, sampleRate);
    }

    // A prototype of the stage's own order.
    using Prototype = AnalogPrototype<order>;

    void setAnalogCoefficients (const Prototype& prototype)
    {
        setAnalogCoefficients (prototype.denominator.data(), prototype.numerator.data());
    }

    void processStereoSample (double& left, double& right) final
    {
        filter.advanceGlide();
        left = filter.processSample (left, filter.left);
        right = filter.processSample (right, filter.right);
    }

    void processMonoSample (double& x) final
    {
        filter.advanceGlide();
        x = filter.processSample (x, filter.left);
    }

    int getGlideLength() const noexcept { return filter.glideLength; }
    const Filter& getFilter() const noexcept { return filter; }

private:
    Filter filter;
};
