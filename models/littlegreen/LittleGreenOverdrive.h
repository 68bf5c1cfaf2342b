#pragma once

#include "models/CircuitModel.h"
#include "models/littlegreen/LittleGreenBufferIn.h"
#include "models/littlegreen/LittleGreenDriveStageOS.h"
#include "models/littlegreen/LittleGreenToneStage.h"
#include "models/littlegreen/LittleGreenVolumeStage.h"

// "Mad Overdrive": an input buffer, the oversampled op-amp clipping stage (whose gain network
// follows both Drive and Tone) added to its input, a two-pole tone network and a volume pot.
class LittleGreenOverdrive final : public CircuitModel<LittleGreenOverdrive>
{
public:
    LittleGreenOverdrive();
    ~LittleGreenOverdrive() override;

    LittleGreenBufferIn inputBuffer;
    LittleGreenDriveStageOS driveStage;
    LittleGreenToneStage toneStage;
    LittleGreenVolumeStage volumeStage;

    auto stages() noexcept { return std::tie (inputBuffer, driveStage, toneStage, volumeStage); }
};
