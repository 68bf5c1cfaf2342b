#pragma once

#include "dsp/FxSZBase1.h"
#include "models/PrototypeStage.h"

// The input coupling capacitor: a first-order high-pass with a 10 ms time constant.
class TS9InputStage final : public PrototypeStage<TS9InputStage, FxSZBase1>
{
public:
    static Prototype getPrototype() noexcept
    {
        // 10000 times the single-precision value of 1e-6.
        constexpr double tau = 0.009999999974752427;
        return { { 1.0, tau }, { 0.0, tau } };
    }
};
