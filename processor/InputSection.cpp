#include "processor/InputSection.h"

#include <algorithm>
#include <cmath>

void InputSection::sanitise (float* samples, int numSamples) noexcept
{
    for (int i = 0; i < numSamples; ++i)
    {
        const auto x = samples[i];
        samples[i] = std::isfinite (x) ? std::clamp (x, -inputBound, inputBound) : 0.0f;
    }
}

void InputSection::prepare (float sampleRate, int newRampLength) noexcept
{
    rampLength = newRampLength;
    inputGainCounter = rampLength;

    // A 200 ms time constant.
    meterDecay = std::exp (-1000.0f / (sampleRate * 200.0f));

    // The clip light holds for five seconds of audio, whatever the block size.
    clipHoldStepPerSample = 1.0f / (5.0f * sampleRate);

    silenceMeter();
}

void InputSection::reset (float gain) noexcept
{
    meter = 0.0f;
    clipHoldPhase = 1.0f;
    inputGainStep = 0.0f;
    inputGainCounter = rampLength;
    inputGainTarget = inputGain = gain;
}

void InputSection::setTargetGain (float gain) noexcept
{
    if (gain == inputGainTarget)
        return;

    inputGainTarget = gain;
    inputGainCounter = 0;
    inputGainStep = (gain - inputGain) * (1.0f / (float) rampLength);
}

void InputSection::process (float* left, float* right, int numSamples) noexcept
{
    // The ramped part sample by sample; the rest at one gain, in loops without branches.
    int i = 0;

    for (; i < numSamples && inputGainCounter < rampLength; ++i)
    {
        // The ramp lands exactly on its target, whatever the rounding of its steps.
        if (++inputGainCounter == rampLength)
            inputGain = inputGainTarget;
        else
            inputGain += inputGainStep;

        left[i] *= inputGain;

        if (right != nullptr)
            right[i] *= inputGain;
    }

    if (inputGain != 1.0f)
    {
        const auto gain = inputGain;

        for (int j = i; j < numSamples; ++j)
            left[j] *= gain;

        if (right != nullptr)
            for (int j = i; j < numSamples; ++j)
                right[j] *= gain;
    }

    if (right != nullptr)
        for (int j = 0; j < numSamples; ++j)
            followPeak (std::min (std::max (std::abs (left[j]), std::abs (right[j])), 1.0f));
    else
        for (int j = 0; j < numSamples; ++j)
            followPeak (std::min (std::abs (left[j]), 1.0f));

    clipLit = clipHoldPhase < 1.0f;

    if (clipLit)
        clipHoldPhase += clipHoldStepPerSample * (float) numSamples;
}

void InputSection::decayMeter (int numSamples) noexcept
{
    for (int i = 0; i < numSamples; ++i)
        decayOnce();
}

void InputSection::silenceMeter() noexcept
{
    meter = 0.0f;
    clipHoldPhase = 1.0f;
    clipLit = false;
}
