#include "models/cj/CJPreClipperFilter.h"

float CJPreClipperFilter::getDriveResistance() const noexcept
{
    return drive * 1000000.0f + 10000.0f;
}

CJPreClipperFilter::Prototype CJPreClipperFilter::getPrototype() const noexcept
{
    const auto r = getDriveResistance();
    const auto pole = r * 5.1e-11f + 2.2e-4f;
    const auto square = r * 1.122e-14f;

    return { { 1.0, (double) pole, (double) square }, { 1.0, (double) (r * 2.2e-7f + pole), (double) square } };
}
