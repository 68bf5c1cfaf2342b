#pragma once

#include "dsp/ModuleBase.h"

// A per-sample filter stage defined by an analog transfer function N(s) / D(s) that its owner
// (or a derived stage's update) computes from component values and knob positions.
class SZBase : public ModuleBase
{
public:
    virtual void noOperation() {}

    // Both arrays hold order + 1 coefficients in ascending powers of s, the denominator first.
    // The stage's current sample rate is used for the transform.
    virtual void setAnalogCoefficients (const double* denominator, const double* numerator) = 0;
};
