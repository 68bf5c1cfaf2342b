#include "models/littlegreen/LittleGreenVolumeStage.h"

#include "dsp/RateBands.h"

LittleGreenVolumeStage::LittleGreenVolumeStage()
{
    typeName = "LittleGreenVolumeStage";
}

void LittleGreenVolumeStage::setSampleRate (float rate)
{
    FxModuleBase::setSampleRate (rate);

    rampLength = RateBands::rampLength (rate);
    rampCount = rampLength;
}

void LittleGreenVolumeStage::initParameters()
{
    rampCount = 0;
    gainStep = 0.0f;
    currentGain = 0.0f;
    lastTarget = 0.0f;
}

void LittleGreenVolumeStage::pickUpTarget() noexcept
{
    const auto target = targetGain;

    if (target == lastTarget)
        return;

    // A new target during a glide starts a fresh glide from the current gain. Before a
    // sample rate is known there is no glide, and the gain holds.
    lastTarget = target;
    gainStep = rampLength > 0 ? (target - currentGain) / (float) rampLength : 0.0f;
    rampCount = 0;
}
