#include "models/bluesbreaker/BluesBreakerFilterStage.h"

BluesBreakerFilterStage::Prototype BluesBreakerFilterStage::getPrototype() const noexcept
{
    const auto u = (double) taper (tone);
    const auto l = (double) level;
    const auto u2 = u * u;
    const auto l2 = l * l;

    return { { 132800.0 - 25000.0 * u,
               13340.568 + 1328.0 * l - 1000.0 * l2 - 2518.5 * u - 6.25 * u2 - 250.0 * l * u,
               6.058568 + 0.60568 * l - 0.588 * l2 - 1.8435 * u - 0.63125 * u2 - 0.185 * l * u - 0.0625 * l * u2 + 0.25 * l2 * u,
               0.0001768 + 1.768e-5 * l - 1.768e-5 * l2 + 0.00065 * u - 0.000625 * u2 + 6.5e-5 * l * u - 6.25e-5 * l * u2 - 6.5e-5 * l2 * u + 6.25e-5 * l2 * u2 },
             { 0.0,
               10000.0 * l,
               2.5 * l * u,
               0.0 } };
}
