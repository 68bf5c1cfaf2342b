#pragma once

#include "dsp/FxSZBase1.h"

// The input coupling capacitor: a first-order high-pass with a 10 ms time constant.
class TS9InputStage final : public FxSZBase1
{
public:
    void update() override { setAnalogCoefficients (getPrototype()); }

    static Prototype getPrototype() noexcept
    {
        // 10000 times the single-precision value of 1e-6.
        constexpr double tau = 0.009999999974752427;
        return { { 1.0, tau }, { 0.0, tau } };
    }
};
