#include "models/littlegreen/LittleGreenToneStage.h"

#include "models/ToneTaper.h"

LittleGreenToneStage::Prototype LittleGreenToneStage::getPrototype() const noexcept
{
    Prototype p;
    auto& a = p.denominator;
    auto& b = p.numerator;

    const auto t = (double) ToneTaper::at (tone);
    const auto f = 20000.0 * t;
    const auto e = 20000.0 * (1.0 - t);
    const auto fe = f * e;

    a[0] = f + e;
    a[1] = 4.4418 + 4.7e-8 * fe;
    a[2] = 8.836e-5 + 9.4e-12 * fe;

    b[0] = f + e;
    b[1] = 2.3218 + 4.7e-8 * fe;
    b[2] = 0.0;
    return p;
}
