#pragma once

#include "dsp/FxModuleBase.h"
#include "dsp/OpampLimiter.h"
#include "dsp/OversamplingBase2.h"
#include "models/LittleGreenPreClipperFilter.h"
#include "models/LittleGreenTableReader.h"

// The op-amp clipping stage, oversampled: the gain network (shaped by Drive and Tone), the
// op-amp's rails and the diodes in its feedback path. Its result is added to its input.
class LittleGreenDriveStageOS final : public FxModuleBase,
                                      public OversamplingBase2
{
public:
    LittleGreenDriveStageOS();

    void setSampleRate (float rate) override;
    void reset() override;
    void clearState() override;
    void initParameters() override;
    void update() override;
    void applyFactor() override;

    void processStereo (float* left, float* right, int numSamples) override;
    void processMono (float* samples, int numSamples) override;

    // Drive and Tone reach the pre-clipper and are kept in driveCopy and toneCopy, which
    // survive the pre-clipper's initParameters and are handed back to it when the factor
    // changes.
    void setDrive (float drive) noexcept
    {
        preClipper.drive = drive;
        driveCopy = drive;
    }

    void setTone (float tone) noexcept
    {
        preClipper.tone = tone;
        toneCopy = tone;
    }

    LittleGreenTableReader tableReader;
    LittleGreenPreClipperFilter preClipper;
    OpampLimiter limiter;
    float driveCopy = 0.0f;
    float toneCopy = 0.0f;
};
