#pragma once

#include "models/CircuitModel.h"
#include "models/ocd/OCDDiodeStageOS.h"
#include "models/ocd/OCDDriveStage.h"
#include "models/ocd/OCDToneVolumeStage.h"

// "Modern Overdrive": the op-amp gain stage at the host rate, the oversampled diode clipper
// (its result replaces its input), and the tone and volume network.
class OCDOverdrive final : public CircuitModel<OCDOverdrive>
{
public:
    OCDOverdrive();
    ~OCDOverdrive() override;

    OCDDriveStage driveStage;
    OCDDiodeStageOS diodeStage;
    OCDToneVolumeStage toneVolumeStage;

    auto stages() noexcept { return std::tie (driveStage, diodeStage, toneVolumeStage); }
};
