#include "models/cj/CJToneVolumeStage.h"

#include "models/ToneVolumeNetwork.h"

CJToneVolumeStage::Prototype CJToneVolumeStage::getPrototype() const noexcept
{
    // The 25 kOhm Tone pot, the 1 MOhm volume pot.
    static constexpr ToneVolumeNetwork network { 25000.0,
                                                 { { { 25037.21, 132.0, 137.5 },
                                                     { 12.2224762, 132.16225, 137.66775 },
                                                     { 0.0002664662, 0.03028025, 0.03028025 } } },
                                                 25000.0,
                                                 { 1.21, 143.0, 137.5 } };

    return network.at ((double) taperTone (tone), (double) level);
}
