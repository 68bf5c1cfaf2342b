#include "models/cj/CJToneVolumeStage.h"

#include "models/ToneVolumeNetwork.h"

CJToneVolumeStage::Prototype CJToneVolumeStage::getPrototype() const noexcept
{
    // The 25 kOhm Tone pot, the 1 MOhm volume pot: a0, then a1 to a3 (each a quadratic in the
    // pot's share), then the numerator's n1 and n2.
    static constexpr ToneVolumeNetwork network { 25000.0,
                                                 { { { 25037.21, 132.0, 137.5 }, { 12.2224762, 132.16225, 137.66775 }, { 0.0002664662, 0.03028025, 0.03028025 } } },
                                                 25000.0,
                                                 { 1.21, 143.0, 137.5 } };

    // Tone goes through the pot's reverse taper; Level is the volume pot's share as it stands.
    const auto toneShare = (double) taperTone (tone);
    return network.at (toneShare, (double) level);
}
