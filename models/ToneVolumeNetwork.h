#pragma once

#include "dsp/SZFilter.h"

#include <array>

// The passive tone and volume network of "Pro" and "Boutique Overdrive", third order. Each
// denominator coefficient is a quadratic in the tone pot's share u; the numerator is the volume
// pot's share L times (0, n1, a quadratic in u, 0). The volume pot's two parts enter the
// denominator only through their sum, so it does not depend on L. A circuit gives its
// expanded component values; ascending powers of s.
struct ToneVolumeNetwork
{
    // c0 + c1 u - c2 u^2
    using Quadratic = std::array<double, 3>;

    double a0;
    std::array<Quadratic, 3> a; // a1, a2, a3
    double n1;
    Quadratic n2;

    AnalogPrototype<3> at (double u, double level) const noexcept
    {
        const auto u2 = u * u;
        const auto quadratic = [u, u2] (const Quadratic& c)
        { return c[0] + c[1] * u - c[2] * u2; };

        return { { a0, quadratic (a[0]), quadratic (a[1]), quadratic (a[2]) },
                 { 0.0, n1 * level, level * quadratic (n2), 0.0 } };
    }
};
