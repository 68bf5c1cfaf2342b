#pragma once

#include "models/OpampDriveStage.h"
#include "models/ts9/TS9PreClipperFilter.h"
#include "models/ts9/TS9TableReader.h"

// The op-amp clipping stage, oversampled: the gain network (Drive), the op-amp's rails and the
// diodes in its feedback path. Its result is added to its input.
class TS9DriveStageOS final : public OpampDriveStage<TS9PreClipperFilter, TS9TableReader>
{
};
