#include "models/LittleGreenVolumeStage.h"

LittleGreenVolumeStage::LittleGreenVolumeStage()
{
    typeName = "LittleGreenVolumeStage";
}

void LittleGreenVolumeStage::setSampleRate (float rate)
{
    FxModuleBase::setSampleRate (rate);

    if (rate < 34050.0f)
        rampLength = 1024;
    else if (rate < 68000.0f)
        rampLength = 2048;
    else if (rate < 136000.0f)
        rampLength = 4096;
    else
        rampLength = 8192;

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

void LittleGreenVolumeStage::processStereo (float* left, float* right, int numSamples)
{
    pickUpTarget();

    for (int i = 0; i < numSamples; ++i)
    {
        if (rampCount < rampLength)
        {
            ++rampCount;
            currentGain += gainStep;
        }

        left[i] *= currentGain;
        right[i] *= currentGain;
    }
}

void LittleGreenVolumeStage::processMono (float* samples, int numSamples)
{
    pickUpTarget();

    for (int i = 0; i < numSamples; ++i)
    {
        if (rampCount < rampLength)
        {
            ++rampCount;
            currentGain += gainStep;
        }

        samples[i] *= currentGain;
    }
}
