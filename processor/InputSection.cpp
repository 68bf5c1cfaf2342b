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
    for (int i = 0; i < numSamples; ++i)
    {
        if (inputGainCounter < rampLength)
        {
            // The ramp lands exactly on its target, whatever the rounding of its steps.
            if (++inputGainCounter == rampLength)
                inputGain = inputGainTarget;
            else
                inputGain += inputGainStep;
        }

        left[i] *= inputGain;
        auto peak = std::abs (left[i]);

        if (right != nullptr)
        {
            right[i] *= inputGain;
            peak = std::max (peak, std::abs (right[i]));
        }

        followPeak (std::min (peak, 1.0f));
    }

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
