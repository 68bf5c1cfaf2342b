#pragma once

#include "dsp/FxModuleBase.h"
#include "dsp/OpampLimiter.h"
#include "dsp/OversamplingBase2.h"
#include "models/TS9PreClipperFilter.h"
#include "models/TS9TableReader.h"

// The op-amp clipping stage, oversampled: the gain network, the op-amp's rails and the
// diodes in its feedback path. Its result is added to its input.
class TS9DriveStageOS final : public FxModuleBase,
                              public OversamplingBase2
{
public:
    TS9DriveStageOS();

    void setSampleRate (float rate) override;
    void reset() override;
    void clearState() override;
    void initParameters() override;
    void update() override;
    void applyFactor() override;

    void processStereo (float* left, float* right, int numSamples) override;
    void processMono (float* samples, int numSamples) override;

    // Drive reaches the pre-clipper and is kept in driveCopy, which survives the pre-clipper's
    // initParameters and is handed back to it when the factor changes.
    void setDrive (float drive) noexcept
    {
        preClipper.drive = drive;
        driveCopy = drive;
    }

    void updatePreClipper() { preClipper.update(); }

    TS9TableReader tableReader;
    TS9PreClipperFilter preClipper;
    OpampLimiter limiter;
    float driveCopy = 0.0f;
};
