#pragma once

#include "dsp/FxModuleBase.h"
#include "dsp/OpampLimiter.h"
#include "dsp/OversamplingBase2.h"
#include "models/CJPreClipperFilter.h"
#include "models/CJTableReader.h"

// The op-amp clipping stage, oversampled: the gain network, the op-amp's rails and the
// diodes in its feedback path. Its result is added to its input.
class CJDriveStageOS final : public FxModuleBase,
                             public OversamplingBase2
{
public:
    CJDriveStageOS();

    void setSampleRate (float rate) override;
    void reset() override;
    void clearState() override;
    void initParameters() override;
    void update() override;
    void applyFactor() override;

    void processStereo (float* left, float* right, int numSamples) override;
    void processMono (float* samples, int numSamples) override;

    // The pre-clipper gets the tapered Drive; driveCopy keeps the knob position, which
    // survives the pre-clipper's initParameters and is tapered again when the factor changes.
    void setDrive (float drive) noexcept
    {
        preClipper.drive = CJPreClipperFilter::taperDrive (drive);
        driveCopy = drive;
    }

    CJTableReader tableReader;
    CJPreClipperFilter preClipper;
    OpampLimiter limiter;
    float driveCopy = 0.0f;
};
