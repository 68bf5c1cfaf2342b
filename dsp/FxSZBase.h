#pragma once

#include "dsp/FxModuleBase.h"

// A block filter stage defined by an analog transfer function N(s) / D(s); float buffers in,
// double precision inside.
class FxSZBase : public FxModuleBase
{
public:
    // Both arrays hold order + 1 coefficients in ascending powers of s, the denominator first.
    // The stage's current sample rate is used for the transform.
    virtual void setAnalogCoefficients (const double* denominator, const double* numerator) = 0;

    // A fixed gain after the filter, outside its history (a passive network's insertion loss
    // or a make-up gain). The circuits differ in where the rounding to float happens.
    enum class OutputGain
    {
        none,
        roundThenScale, // (float) y * gain, in single precision
        scaleThenRound // (float) (y * (double) gain)
    };

protected:
    // Called by a derived stage's constructor.
    void setOutputGain (OutputGain mode, float gain) noexcept
    {
        outputGainMode = mode;
        outputGainSingle = gain;
        outputGainDouble = (double) gain;
    }

    OutputGain outputGainMode = OutputGain::none;
    float outputGainSingle = 1.0f;
    double outputGainDouble = 1.0;
};
