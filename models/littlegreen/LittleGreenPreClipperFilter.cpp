#include "models/littlegreen/LittleGreenPreClipperFilter.h"

#include "models/PotTaper.h"
#include "models/ToneTaper.h"

double LittleGreenPreClipperFilter::getDriveResistance() const noexcept
{
    return (double) PotTaper::audioDivided (5.445f, drive) * 500000.0 + 5600.0;
}

double LittleGreenPreClipperFilter::getToneTerm() const noexcept
{
    const auto t = ToneTaper::at (tone);
    return (1.0 - (double) t) * 20000.0 * 1.0e-6;
}

LittleGreenPreClipperFilter::Prototype LittleGreenPreClipperFilter::getPrototype() const noexcept
{
    const auto r = getDriveResistance();
    const auto x = getToneTerm();
    const auto cubic = 4.4e-17 * r + 4.4e-14 * x * r;

    // Poles and zeros share everything but the terms through the Drive pot's feedback path.
    return { { 1.0,
               0.00144 + x + 1.0e-10 * r,
               4.4e-7 + 4.4e-4 * x + 1.44e-13 * r + 1.0e-10 * x * r,
               cubic },
             { 1.0,
               0.00144 + x + 1.2201e-6 * r,
               4.4e-7 + 4.4e-4 * x + 6.60144e-10 * r + 2.201e-7 * x * r,
               cubic } };
}
