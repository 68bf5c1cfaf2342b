#include "models/ocd/OCDDriveStage.h"

#include "models/PotTaper.h"

double OCDDriveStage::getDriveResistance() const noexcept
{
    return (double) PotTaper::audioDivided (32.0f, drive) * 500000.0 + 18000.0;
}

OCDDriveStage::Prototype OCDDriveStage::getPrototype() const noexcept
{
    const auto r = getDriveResistance();

    return { { 1.0,
               r * 2.2e-10 + 1.496e-4,
               r * 1.496e-17 * 2200.0 },
             { 1.0,
               (r * 6.8e-8 + 1.496e-4) + r * 2.2e-10,
               r * 1.496e-17 * 2200.0 } };
}
