#include "processor/DryWetMix.h"

#include <algorithm>

void DryWetMix::prepare (float sampleRate, int capacity, int rampLength)
{
    mixLength = (int16_t) rampLength;
    mixCounter = mixLength;

    for (auto* b : { &dryBufferLeft, &dryBufferRight })
    {
        std::vector<float>().swap (*b);
        b->assign ((size_t) capacity, 0.0f);
    }

    alignment.setSampleRate (sampleRate);
}

void DryWetMix::release()
{
    for (auto* b : { &dryBufferLeft, &dryBufferRight })
        std::vector<float>().swap (*b);
}

void DryWetMix::reset (float wet, int oversamplingIndex) noexcept
{
    alignmentIndex.store (oversamplingIndex);
    alignmentPending.store (false);
    moveAlignment (oversamplingIndex);

    mixTarget = mix = wet;
    mixCounter = mixLength;
    mixStep = 0.0f;
}

void DryWetMix::requestAlignment (int oversamplingIndex) noexcept
{
    alignmentIndex.store (oversamplingIndex, std::memory_order_relaxed);
    alignmentPending.store (true, std::memory_order_release);
}

void DryWetMix::moveAlignment (int oversamplingIndex) noexcept
{
    alignment.clearState();
    alignment.setRequestedIndex (oversamplingIndex);
    alignment.update();
}

void DryWetMix::takeDryCopy (const float* left, const float* right, int numSamples) noexcept
{
    std::copy (left, left + numSamples, dryBufferLeft.data());
    std::copy (right, right + numSamples, dryBufferRight.data());
}

void DryWetMix::process (float* left, float* right, int numSamples, float wetTarget) noexcept
{
    if (alignmentPending.exchange (false, std::memory_order_acquire))
        moveAlignment (alignmentIndex.load (std::memory_order_relaxed));

    if (wetTarget != mixTarget)
    {
        mixTarget = wetTarget;
        mixCounter = 0;
        mixStep = (wetTarget - mix) * (1.0f / (float) mixLength);
    }

    if (right != nullptr)
        alignment.processStereo (dryBufferLeft.data(), dryBufferRight.data(), numSamples);
    else
        alignment.processMono (dryBufferLeft.data(), numSamples);

    for (int i = 0; i < numSamples; ++i)
    {
        if (mixCounter < mixLength)
        {
            ++mixCounter;
            mix = (mixCounter == mixLength) ? mixTarget : mix + mixStep;

            if (mix > 1.0f)
                mix = 1.0f;
            else if (mix < silenceThreshold)
                mix = 0.0f;
        }

        left[i] = (1.0f - mix) * dryBufferLeft[(size_t) i] + mix * left[i];

        if (right != nullptr)
            right[i] = (1.0f - mix) * dryBufferRight[(size_t) i] + mix * right[i];
    }
}
