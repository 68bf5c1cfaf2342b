#include "models/littlegreen/LittleGreenToneStage.h"

#include "models/ToneTaper.h"

LittleGreenToneStage::Prototype LittleGreenToneStage::getPrototype() const noexcept
{
    const auto t = (double) ToneTaper::at (tone);
    const auto f = 20000.0 * t;
    const auto e = 20000.0 * (1.0 - t);
    const auto fe = f * e;

    return { { f + e,
               4.4418 + 4.7e-8 * fe,
               8.836e-5 + 9.4e-12 * fe },
             { f + e,
               2.3218 + 4.7e-8 * fe,
               0.0 } };
}
