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

    for (auto* b : { &unheardLeft, &unheardRight })
        b->assign ((size_t) primingLength, 0.0f);

    unheardEnd = unheardCount = 0;
    alignment.setSampleRate (sampleRate);
}

void DryWetMix::release()
{
    for (auto* b : { &dryBufferLeft, &dryBufferRight, &unheardLeft, &unheardRight })
        std::vector<float>().swap (*b);

    unheardEnd = unheardCount = 0;
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

    // Cleared now: only what follows is missing.
    unheardCount = 0;
}

void DryWetMix::keepUnheardDry (int numSamples) noexcept
{
    // Only the last primingLength samples can be needed; they go in at most two pieces.
    const int skip = std::max (0, numSamples - primingLength);

    for (int i = skip; i < numSamples;)
    {
        const int piece = std::min (numSamples - i, primingLength - unheardEnd);
        std::copy_n (dryBufferLeft.data() + i, piece, unheardLeft.data() + unheardEnd);
        std::copy_n (dryBufferRight.data() + i, piece, unheardRight.data() + unheardEnd);
        unheardEnd = (unheardEnd + piece) % primingLength;
        i += piece;
    }

    unheardCount = std::min (primingLength, unheardCount + numSamples);
}

void DryWetMix::primeAlignment (bool stereo) noexcept
{
    if (unheardCount >= primingLength)
        alignment.clearState();

    // The ring in time order is [unheardEnd, primingLength) then [0, unheardEnd); the missed
    // samples are its last unheardCount. The ring is used up in place.
    const int first = (unheardEnd - unheardCount + primingLength) % primingLength;
    const int firstLength = std::min (unheardCount, primingLength - first);
    const int segments[2][2] = { { first, firstLength }, { 0, unheardCount - firstLength } };

    for (const auto& [begin, length] : segments)
    {
        if (length <= 0)
            continue;

        if (stereo)
            alignment.processStereo (unheardLeft.data() + begin, unheardRight.data() + begin, length);
        else
            alignment.processMono (unheardLeft.data() + begin, length);
    }

    unheardCount = 0;
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

    // Fully wet for the whole block: the output is the wet block as it stands.
    if (mixCounter >= mixLength && mix >= 1.0f)
    {
        keepUnheardDry (numSamples);
        return;
    }

    if (unheardCount > 0)
        primeAlignment (right != nullptr);

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
