#include "models/bluesbreaker/BluesBreakerFilterStage.h"

#include <cmath>

float BluesBreakerFilterStage::taper (float toneValue) noexcept
{
    return 1.0f - (std::pow (9.0f, 1.0f - toneValue) - 1.0f) * 0.125f;
}

BluesBreakerFilterStage::Prototype BluesBreakerFilterStage::getPrototype() const noexcept
{
    Prototype p;
    auto& a = p.denominator;
    auto& b = p.numerator;

    const auto u = (double) taper (tone);
    const auto l = (double) level;
    const auto u2 = u * u;
    const auto l2 = l * l;

    a[0] = 132800.0 - 25000.0 * u;
    a[1] = 13340.568 + 1328.0 * l - 1000.0 * l2 - 2518.5 * u - 6.25 * u2 - 250.0 * l * u;
    a[2] = 6.058568 + 0.60568 * l - 0.588 * l2 - 1.8435 * u - 0.63125 * u2 - 0.185 * l * u - 0.0625 * l * u2 + 0.25 * l2 * u;
    a[3] = 0.0001768 + 1.768e-5 * l - 1.768e-5 * l2 + 0.00065 * u - 0.000625 * u2 + 6.5e-5 * l * u - 6.25e-5 * l * u2 - 6.5e-5 * l2 * u + 6.25e-5 * l2 * u2;

    b[0] = 0.0;
    b[1] = 10000.0 * l;
    b[2] = 2.5 * l * u;
    b[3] = 0.0;
    return p;
}
