#pragma once

#include "dsp/SZFilter.h"

// What the per-sample and the block s-to-z stages share: the filter of their order and the
// protocol operations on it. Base is SZBase or FxSZBase.
template <typename Base, int order, bool snapAtGlideEnd>
class SZFilterStage : public Base
{
public:
    using Filter = SZFilter<order, snapAtGlideEnd>;

    // A prototype of the stage's own order.
    using Prototype = AnalogPrototype<order>;

    SZFilterStage()
    {
        filter.setSampleRate (this->sampleRate);
        SZFilterStage::clearState();
        SZFilterStage::initParameters();
    }

    void setSampleRate (float rate) override
    {
        Base::setSampleRate (rate);
        filter.setSampleRate (rate);
    }

    void clearState() override { filter.clearState(); }
    void initParameters() override { filter.initParameters(); }

    // The coefficients as built, whatever initParameters a stage of its own does: the next set
    // is taken at once instead of glided to from the last one.
    void forgetCoefficients() noexcept { filter.initParameters(); }

    void setAnalogCoefficients (const double* denominator, const double* numerator) override
    {
        filter.setAnalogCoefficients (denominator, numerator, this->sampleRate);
    }

    void setAnalogCoefficients (const Prototype& prototype)
    {
        setAnalogCoefficients (prototype.denominator.data(), prototype.numerator.data());
    }

    int getGlideLength() const noexcept { return filter.getGlideLength(); }
    const Filter& getFilter() const noexcept { return filter; }

protected:
    Filter filter;
};
