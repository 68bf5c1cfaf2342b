#include "models/ocd/OCDToneVolumeStage.h"

#include <cmath>

namespace
{
// 0 at the bottom of the pot's travel, 1 at the top.
float audioTaper (float position) noexcept
{
    return (std::pow (81.0f, position) - 1.0f) * 0.0125f;
}
} // namespace

double OCDToneVolumeStage::getToneResistance() const noexcept
{
    return (double) audioTaper (tone) * 25000.0;
}

double OCDToneVolumeStage::getVolumeResistance() const noexcept
{
    return (double) audioTaper (level) * 100000.0;
}

OCDToneVolumeStage::Prototype OCDToneVolumeStage::getPrototype() const noexcept
{
    Prototype p;
    auto& a = p.denominator;
    auto& b = p.numerator;

    const auto rt = getToneResistance();
    const auto rv = getVolumeResistance();
    const auto rtv = rt * rv;

    a[0] = 1.0;
    a[1] = 0.017133 + 4.7e-8 * rt + 1.047e-6 * rv;
    a[2] = 5.20443e-5 + 8.05251e-10 * rt + 4.738251e-9 * rv + 4.7e-14 * rtv;
    a[3] = 1.69884e-9 + 2.4460821e-12 * rt + 2.5747821e-12 * rv + 1.84851e-16 * rtv;
    a[4] = 7.984548e-17 * rt + 7.984548e-17 * rv + 6.0489e-21 * rtv;

    b[0] = 0.0;
    b[1] = 1e-6 * rv;
    b[2] = 1.8933e-8 * rv + 4.7e-14 * rtv;
    b[3] = 1.287e-13 * rv + 8.89851e-16 * rtv;
    b[4] = 6.0489e-21 * rtv;
    return p;
}
