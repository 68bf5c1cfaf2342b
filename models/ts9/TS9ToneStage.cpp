#include "models/ts9/TS9ToneStage.h"

TS9ToneStage::Prototype TS9ToneStage::getPrototype() const noexcept
{
    Prototype p;
    auto& a = p.denominator;
    auto& b = p.numerator;

    const auto t = (double) tone;
    const auto l = (double) level;
    const auto t2 = t * t;

    // The level pot's two parts enter the denominator only through their sum.
    a[0] = 110000000.0;
    a[1] = 11049323.9731 + 220000.003992 * t - 242000.004391 * t2;
    a[2] = 4933.46487709 + 22048.4003454 * t - 24248.4003798 * t2;
    a[3] = 0.106480003595 + 4.84000016343 * t - 4.84000016343 * t2;

    b[0] = 0.0;
    b[1] = 9999999.97475 * l;
    b[2] = l * (484.00000756 + 24200.000378 * t - 22000.0003437 * t2);
    b[3] = 0.0;
    return p;
}
