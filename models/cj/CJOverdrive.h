#pragma once

#include "models/CircuitModel.h"
#include "models/cj/CJBufferIn.h"
#include "models/cj/CJBufferOut.h"
#include "models/cj/CJDriveStageOS.h"
#include "models/cj/CJToneVolumeStage.h"

// "Boutique Overdrive": a third-order input buffer, the oversampled op-amp clipping stage
// added to its input, a combined tone and volume network and an output buffer with a fixed
// gain.
class CJOverdrive final : public CircuitModel<CJOverdrive>
{
public:
    CJOverdrive();
    ~CJOverdrive() override;

    CJBufferIn inputBuffer;
    CJDriveStageOS driveStage;
    CJToneVolumeStage toneVolumeStage;
    CJBufferOut outputBuffer;

    auto stages() noexcept { return std::tie (inputBuffer, driveStage, toneVolumeStage, outputBuffer); }
};
