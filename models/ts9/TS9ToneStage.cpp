#include "models/ts9/TS9ToneStage.h"

#include "models/ToneVolumeNetwork.h"

TS9ToneStage::Prototype TS9ToneStage::getPrototype() const noexcept
{
    // The 10 kOhm tone pot, the 100 kOhm level pot: a0, then a1 to a3 (each a quadratic in the
    // pot's share), then the numerator's n1 and n2.
    static constexpr ToneVolumeNetwork network { 110000000.0,
                                                 { { { 11049323.9731, 220000.003992, 242000.004391 }, { 4933.46487709, 22048.4003454, 24248.4003798 }, { 0.106480003595, 4.84000016343, 4.84000016343 } } },
                                                 9999999.97475,
                                                 { 484.00000756, 24200.000378, 22000.0003437 } };

    return network.at ((double) tone, (double) level);
}
