#pragma once

#include "dsp/FxSZBase3.h"
#include "models/PrototypeStage.h"

// The input buffer: a fixed third-order high-pass with unity gain at high frequencies.
class CJBufferIn final : public PrototypeStage<CJBufferIn, FxSZBase3>
{
public:
    static Prototype getPrototype() noexcept
    {
        return { { 1.0, 1.793, 0.185402, 0.00141204 }, { 0.0, 0.0, 0.0, 0.00141204 } };
    }
};
