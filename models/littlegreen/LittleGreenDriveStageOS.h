#pragma once

#include "models/OpampDriveStage.h"
#include "models/littlegreen/LittleGreenPreClipperFilter.h"
#include "models/littlegreen/LittleGreenTableReader.h"

// The op-amp clipping stage, oversampled: the gain network (shaped by Drive and Tone), the
// op-amp's rails and the diodes in its feedback path. Its result is added to its input.
class LittleGreenDriveStageOS final : public OpampDriveStage<LittleGreenPreClipperFilter, LittleGreenTableReader>
{
public:
    LittleGreenDriveStageOS() { typeName = "LittleGreenDriveStageOS"; }

    void setTone (float tone) noexcept { setKnob (ModelParameters::tone, tone); }
};
