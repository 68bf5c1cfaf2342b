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

void InputSection::prepare (float sampleRate, int rampLength) noexcept
{
    gain.setLength (rampLength);
    gain.stop();

    // A 200 ms time constant.
    meterDecay = std::exp (-1000.0f / (sampleRate * 200.0f));

    // The clip light holds for five seconds of audio, whatever the block size.
    clipHoldStepPerSample = 1.0f / (5.0f * sampleRate);

    silenceMeter();
}

void InputSection::reset (float newGain) noexcept
{
    meter = 0.0f;
    clipHoldPhase = 1.0f;
    gain.setValue (newGain);
}

void InputSection::setTargetGain (float target) noexcept
{
    if (target != gain.getTarget())
        gain.setTarget (target);
}

void InputSection::process (float* left, float* right, int numSamples) noexcept
{
    // The ramped part sample by sample; the rest at one gain, in loops without branches.
    int i = 0;

    for (; i < numSamples && gain.isRamping(); ++i)
    {
        const auto g = gain.next();
        left[i] *= g;

        if (right != nullptr)
            right[i] *= g;
    }

    if (const auto g = gain.getValue(); g != 1.0f)
    {
        for (int j = i; j < numSamples; ++j)
            left[j] *= g;

        if (right != nullptr)
            for (int j = i; j < numSamples; ++j)
                right[j] *= g;
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
