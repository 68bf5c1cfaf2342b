#include "models/littlegreen/LittleGreenVolumeStage.h"

#include "dsp/RateBands.h"

LittleGreenVolumeStage::LittleGreenVolumeStage()
{
    typeName = "LittleGreenVolumeStage";
}

void LittleGreenVolumeStage::setSampleRate (float rate)
{
    FxModuleBase::setSampleRate (rate);

    gain.setLength (RateBands::rampLength (rate));
    gain.stop();
}

void LittleGreenVolumeStage::initParameters()
{
    gain.setValue (0.0f);
}

void LittleGreenVolumeStage::pickUpTarget() noexcept
{
    // A new target during a glide starts a fresh glide from the current gain.
    if (targetGain != gain.getTarget())
        gain.setTarget (targetGain);
}
