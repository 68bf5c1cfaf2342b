#include "models/ocd/OCDDriveStage.h"

#include <cmath>

double OCDDriveStage::getDriveResistance() const noexcept
{
    const auto p = std::pow (32.0f, drive);
    return (double) ((p - 1.0f) / 31.0f) * 500000.0 + 18000.0;
}

OCDDriveStage::Prototype OCDDriveStage::getPrototype() const noexcept
{
    Prototype p;
    auto& a = p.denominator;
    auto& b = p.numerator;

    const auto r = getDriveResistance();

    a[0] = 1.0;
    a[1] = r * 2.2e-10 + 1.496e-4;
    a[2] = r * 1.496e-17 * 2200.0;

    b[0] = 1.0;
    b[1] = (r * 6.8e-8 + 1.496e-4) + r * 2.2e-10;
    b[2] = r * 1.496e-17 * 2200.0;
    return p;
}
