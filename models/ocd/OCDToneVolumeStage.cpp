#include "models/ocd/OCDToneVolumeStage.h"

#include "models/PotTaper.h"

double OCDToneVolumeStage::getToneResistance() const noexcept
{
    return (double) PotTaper::audio (81.0f, tone) * 25000.0;
}

double OCDToneVolumeStage::getVolumeResistance() const noexcept
{
    return (double) PotTaper::audio (81.0f, level) * 100000.0;
}

OCDToneVolumeStage::Prototype OCDToneVolumeStage::getPrototype() const noexcept
{
    const auto rt = getToneResistance();
    const auto rv = getVolumeResistance();
    const auto rtv = rt * rv;

    return { { 1.0,
               0.017133 + 4.7e-8 * rt + 1.047e-6 * rv,
               5.20443e-5 + 8.05251e-10 * rt + 4.738251e-9 * rv + 4.7e-14 * rtv,
               1.69884e-9 + 2.4460821e-12 * rt + 2.5747821e-12 * rv + 1.84851e-16 * rtv,
               7.984548e-17 * rt + 7.984548e-17 * rv + 6.0489e-21 * rtv },
             { 0.0,
               1e-6 * rv,
               1.8933e-8 * rv + 4.7e-14 * rtv,
               1.287e-13 * rv + 8.89851e-16 * rtv,
               6.0489e-21 * rtv } };
}
