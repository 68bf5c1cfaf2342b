#include "models/cj/CJToneVolumeStage.h"

#include <cmath>

float CJToneVolumeStage::taperTone (float knob) noexcept
{
    return 1.0f - (std::pow (81.0f, 1.0f - knob) - 1.0f) * 0.0125f;
}

CJToneVolumeStage::Prototype CJToneVolumeStage::getPrototype() const noexcept
{
    Prototype p;
    auto& a = p.denominator;
    auto& b = p.numerator;

    const auto u = (double) taperTone (tone);
    const auto l = (double) level;
    const auto u2 = u * u;

    // The volume pot's two parts enter the denominator only through their sum.
    a[0] = 25000.0;
    a[1] = 25037.21 + 132.0 * u - 137.5 * u2;
    a[2] = 12.2224762 + 132.16225 * u - 137.66775 * u2;
    a[3] = 0.0002664662 + 0.03028025 * u - 0.03028025 * u2;

    b[0] = 0.0;
    b[1] = 25000.0 * l;
    b[2] = l * (1.21 + 143.0 * u - 137.5 * u2);
    b[3] = 0.0;
    return p;
}
