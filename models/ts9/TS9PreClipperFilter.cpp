#include "models/ts9/TS9PreClipperFilter.h"

#include "models/PotTaper.h"

float TS9PreClipperFilter::getDriveResistance() const noexcept
{
    return PotTaper::audio (81.0f, drive) * 500000.0f + 51000.0f;
}

TS9PreClipperFilter::Prototype TS9PreClipperFilter::getPrototype() const noexcept
{
    const auto r = getDriveResistance();
    const auto pole = r * 5.1e-11f + 0.0002209f;
    const auto square = r * 1.12659e-14f;

    return { { 1.0, (double) pole, (double) square }, { 1.0, (double) (r * 4.7e-8f + pole), (double) square } };
}
