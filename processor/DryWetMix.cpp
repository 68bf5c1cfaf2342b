#include "processor/DryWetMix.h"

#include <algorithm>

void DryWetMix::prepare (float sampleRate, int capacity, int rampLength)
{
    mixLength = (int16_t) rampLength;
    mixCounter = mixLength;

    for (auto* b : { &dryBufferLeft, &dryBufferRight, &unalignedLeft, &unalignedRight })
    {
        std::vector<float>().swap (*b);
        b->assign ((size_t) std::max (capacity, historyLength), 0.0f);
    }

    alignedStep = 1.0f / (float) rampLength;

    for (auto* b : { &historyLeft, &historyRight })
        b->assign ((size_t) historyLength, 0.0f);

    historyWrite = 0;
    alignment.setSampleRate (sampleRate);
}

void DryWetMix::release()
{
    for (auto* b : { &dryBufferLeft, &dryBufferRight, &historyLeft, &historyRight, &unalignedLeft, &unalignedRight })
        std::vector<float>().swap (*b);
}

void DryWetMix::reset (float wet, bool effectOn, int oversamplingIndex) noexcept
{
    alignedShare = effectOn ? 1.0f : 0.0f;
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

void DryWetMix::keepHistory (const float* left, const float* right, int numSamples) noexcept
{
    // Only the last historyLength samples matter.
    const auto skip = std::max (0, numSamples - historyLength);

    for (int i = skip; i < numSamples; ++i)
    {
        historyLeft[(size_t) historyWrite] = left[i];
        historyRight[(size_t) historyWrite] = right[i];
        historyWrite = (historyWrite + 1) % historyLength;
    }
}

void DryWetMix::primeAlignment() noexcept
{
    // A factor change that arrived while off applies before the history runs through.
    const auto index = alignmentPending.exchange (false, std::memory_order_acquire)
                           ? alignmentIndex.load (std::memory_order_relaxed)
                           : alignment.getRequestedIndex();
    moveAlignment (index);

    // Until now the unaligned input was heard.
    alignedShare = 0.0f;

    // Oldest first, through the dry buffers, whose contents the next block replaces.
    for (int i = 0; i < historyLength; ++i)
    {
        const auto k = (size_t) ((historyWrite + i) % historyLength);
        dryBufferLeft[(size_t) i] = historyLeft[k];
        dryBufferRight[(size_t) i] = historyRight[k];
    }

    alignment.processStereo (dryBufferLeft.data(), dryBufferRight.data(), historyLength);
}

void DryWetMix::takeDryCopy (const float* left, const float* right, int numSamples) noexcept
{
    keepHistory (left, right, numSamples);
    std::copy (left, left + numSamples, dryBufferLeft.data());
    std::copy (right, right + numSamples, dryBufferRight.data());
}

void DryWetMix::process (float* left, float* right, int numSamples, float wetTarget, bool effectOn) noexcept
{
    if (alignmentPending.exchange (false, std::memory_order_acquire))
        moveAlignment (alignmentIndex.load (std::memory_order_relaxed));

    if (wetTarget != mixTarget)
    {
        mixTarget = wetTarget;
        mixCounter = 0;
        mixStep = (wetTarget - mix) * (1.0f / (float) mixLength);
    }

    const auto alignedTarget = effectOn ? 1.0f : 0.0f;
    const bool blending = alignedShare != alignedTarget;

    if (blending)
    {
        std::copy (dryBufferLeft.data(), dryBufferLeft.data() + numSamples, unalignedLeft.data());
        std::copy (dryBufferRight.data(), dryBufferRight.data() + numSamples, unalignedRight.data());
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

        auto dryLeft = dryBufferLeft[(size_t) i];
        auto dryRight = dryBufferRight[(size_t) i];

        if (blending)
        {
            // Lands exactly on its end, whatever the rounding of the steps.
            const auto next = alignedShare + (effectOn ? alignedStep : -alignedStep);
            alignedShare = std::abs (alignedTarget - next) < 0.5f * alignedStep ? alignedTarget : std::clamp (next, 0.0f, 1.0f);
            dryLeft = alignedShare * dryLeft + (1.0f - alignedShare) * unalignedLeft[(size_t) i];
            dryRight = alignedShare * dryRight + (1.0f - alignedShare) * unalignedRight[(size_t) i];
        }

        left[i] = (1.0f - mix) * dryLeft + mix * left[i];

        if (right != nullptr)
            right[i] = (1.0f - mix) * dryRight + mix * right[i];
    }
}
