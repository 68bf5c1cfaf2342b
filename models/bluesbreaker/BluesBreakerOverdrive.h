#pragma once

#include "models/CircuitModel.h"
#include "models/bluesbreaker/BluesBreakerDiodeStage.h"
#include "models/bluesbreaker/BluesBreakerFilterStage.h"
#include "models/bluesbreaker/BluesBreakerGainStage.h"

// "Blues Overdrive": the gain stage, the oversampled diode clipper mixed with the clean signal
// (its result replaces its input), and the tone and level network.
class BluesBreakerOverdrive final : public CircuitModel<BluesBreakerOverdrive>
{
public:
    BluesBreakerOverdrive();
    ~BluesBreakerOverdrive() override;

    BluesBreakerGainStage gainStage;
    BluesBreakerDiodeStage diodeStage;
    BluesBreakerFilterStage filterStage;

    auto stages() noexcept { return std::tie (gainStage, diodeStage, filterStage); }
};
