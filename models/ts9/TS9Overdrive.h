#pragma once

#include "models/CircuitModel.h"
#include "models/ts9/TS9DriveStageOS.h"
#include "models/ts9/TS9InputStage.h"
#include "models/ts9/TS9ToneStage.h"

// "Pro Overdrive": input coupling high-pass, the oversampled op-amp clipping stage added to
// its input, and the passive tone and level network.
class TS9Overdrive final : public CircuitModel<TS9Overdrive>
{
public:
    TS9Overdrive();
    ~TS9Overdrive() override;

    TS9InputStage inputStage;
    TS9DriveStageOS driveStage;
    TS9ToneStage toneStage;

    auto stages() noexcept { return std::tie (inputStage, driveStage, toneStage); }
};
