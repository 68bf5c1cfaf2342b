#include "models/littlegreen/LittleGreenPreClipperFilter.h"

#include "models/ToneTaper.h"

#include <cmath>

double LittleGreenPreClipperFilter::getDriveResistance() const noexcept
{
    const auto p = std::pow (5.445f, drive);
    const auto position = (p - 1.0f) / 4.445f;
    return (double) position * 500000.0 + 5600.0;
}

double LittleGreenPreClipperFilter::getToneTerm() const noexcept
{
    const auto t = ToneTaper::at (tone);
    return (1.0 - (double) t) * 20000.0 * 1.0e-6;
}

LittleGreenPreClipperFilter::Prototype LittleGreenPreClipperFilter::getPrototype() const noexcept
{
    Prototype p;
    auto& a = p.denominator;
    auto& b = p.numerator;

    const auto r = getDriveResistance();
    const auto x = getToneTerm();

    // Poles and zeros share everything but the terms through the Drive pot's feedback path.
    a[0] = 1.0;
    a[1] = 0.00144 + x + 1.0e-10 * r;
    a[2] = 4.4e-7 + 4.4e-4 * x + 1.44e-13 * r + 1.0e-10 * x * r;
    a[3] = 4.4e-17 * r + 4.4e-14 * x * r;

    b[0] = 1.0;
    b[1] = 0.00144 + x + 1.2201e-6 * r;
    b[2] = 4.4e-7 + 4.4e-4 * x + 6.60144e-10 * r + 2.201e-7 * x * r;
    b[3] = a[3];
    return p;
}
