#pragma once

#include "models/OpampDriveStage.h"
#include "models/cj/CJPreClipperFilter.h"
#include "models/cj/CJTableReader.h"

// The op-amp clipping stage, oversampled: the gain network (tapered Drive), the op-amp's rails
// and the diodes in its feedback path. Its result is added to its input.
class CJDriveStageOS final : public OpampDriveStage<CJPreClipperFilter, CJTableReader>
{
public:
    CJDriveStageOS() { typeName = "CJDriveStageOS"; }
};
