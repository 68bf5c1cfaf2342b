#include "processor/DryWetMix.h"

#include <algorithm>

void DryWetMix::prepare (float sampleRate, int capacity, int rampLength)
{
    mix.setLength (rampLength);
    mix.stop();

    for (auto* b : { &dryBufferLeft, &dryBufferRight, &delayedLeft, &delayedRight })
    {
        std::vector<float>().swap (*b);
        b->assign ((size_t) std::max (capacity, historyLength), 0.0f);
    }

    alignedStep = 1.0f / (float) rampLength;

    for (auto* b : { &historyLeft, &historyRight })
        b->assign ((size_t) historyLength, 0.0f);

    historyEnd = historyMissed = 0;
    alignment.setSampleRate (sampleRate);
}

void DryWetMix::release()
{
    for (auto* b : { &dryBufferLeft, &dryBufferRight, &historyLeft, &historyRight, &delayedLeft, &delayedRight })
        std::vector<float>().swap (*b);

    historyEnd = historyMissed = 0;
}

void DryWetMix::reset (float wet, bool effectOn, int oversamplingIndex) noexcept
{
    alignedShare = effectOn ? 1.0f : 0.0f;
    alignmentIndex.store (oversamplingIndex);
    alignmentPending.store (false);

    // The delay starts from silence, as the alignment does: nothing heard before the reset
    // reaches the output after it.
    for (auto* b : { &historyLeft, &historyRight })
        std::fill (b->begin(), b->end(), 0.0f);

    historyEnd = 0;
    moveAlignment (oversamplingIndex);

    mix.setValue (wet);
}

void DryWetMix::requestAlignment (int oversamplingIndex) noexcept
{
    alignmentIndex.store (oversamplingIndex, std::memory_order_relaxed);
    alignmentPending.store (true, std::memory_order_release);
}

void DryWetMix::applyRequestedAlignment() noexcept
{
    if (alignmentPending.exchange (false, std::memory_order_acquire))
        moveAlignment (alignmentIndex.load (std::memory_order_relaxed));
}

void DryWetMix::moveAlignment (int oversamplingIndex) noexcept
{
    alignment.clearState();
    alignment.setRequestedIndex (oversamplingIndex);
    alignment.update();

    // Never more than the kept samples can give.
    delaySamples = std::min (historyLength - 1, OversamplingAlignment::getLatencySamples (alignment.getActiveIndex(), alignment.getSampleRate()));

    // Cleared now: only what follows is missing.
    historyMissed = 0;
}

void DryWetMix::pushHistory (const float* left, const float* right, int numSamples) noexcept
{
    // Only the last historyLength samples can be needed.
    for (int i = std::max (0, numSamples - historyLength); i < numSamples;)
    {
        const int piece = std::min (numSamples - i, historyLength - historyEnd);
        std::copy_n (left + i, piece, historyLeft.data() + historyEnd);
        std::copy_n (right + i, piece, historyRight.data() + historyEnd);
        historyEnd = (historyEnd + piece) % historyLength;
        i += piece;
    }
}

void DryWetMix::keepHistory (const float* left, const float* right, int numSamples) noexcept
{
    pushHistory (left, right, numSamples);
    historyMissed = std::min (historyLength, historyMissed + numSamples);
}

void DryWetMix::writeDelayed (const float* source, float* destination, const std::vector<float>& history, int numSamples) const noexcept
{
    const int fromHistory = std::min (delaySamples, numSamples);

    for (int i = 0; i < fromHistory; ++i)
        destination[i] = history[(size_t) ((historyEnd - delaySamples + i + historyLength) % historyLength)];

    if (numSamples > delaySamples)
        std::copy_n (source, numSamples - delaySamples, destination + delaySamples);
}

void DryWetMix::passDelayed (float* left, float* right, int numSamples) noexcept
{
    // The delay follows a factor changed while off, as the reported latency does.
    applyRequestedAlignment();
    takeDryCopy (left, right != nullptr ? right : left, numSamples);

    if (delaySamples > 0)
    {
        writeDelayed (dryBufferLeft.data(), left, historyLeft, numSamples);

        if (right != nullptr)
            writeDelayed (dryBufferRight.data(), right, historyRight, numSamples);
    }

    keepHistory (dryBufferLeft.data(), dryBufferRight.data(), numSamples);
}

void DryWetMix::primeAlignment() noexcept
{
    // A factor change that arrived while off applies before the history runs through.
    const auto index = alignmentPending.exchange (false, std::memory_order_acquire)
                           ? alignmentIndex.load (std::memory_order_relaxed)
                           : alignment.getRequestedIndex();
    moveAlignment (index);

    // Until now the delayed input was heard; the next block runs the whole history through
    // the cleared alignment first.
    alignedShare = 0.0f;
    historyMissed = historyLength;
}

void DryWetMix::catchUpAlignment (bool stereo) noexcept
{
    if (historyMissed >= historyLength)
        alignment.clearState();

    // The ring in time order is [historyEnd, historyLength) then [0, historyEnd); the missed
    // samples are its newest historyMissed, gathered oldest first into the scratch space.
    const int first = (historyEnd - historyMissed + historyLength) % historyLength;
    const int firstLength = std::min (historyMissed, historyLength - first);
    const int rest = historyMissed - firstLength;

    std::copy_n (historyLeft.data() + first, firstLength, delayedLeft.data());
    std::copy_n (historyLeft.data(), rest, delayedLeft.data() + firstLength);

    if (stereo)
    {
        std::copy_n (historyRight.data() + first, firstLength, delayedRight.data());
        std::copy_n (historyRight.data(), rest, delayedRight.data() + firstLength);
        alignment.processStereo (delayedLeft.data(), delayedRight.data(), historyMissed);
    }
    else
    {
        alignment.processMono (delayedLeft.data(), historyMissed);
    }

    historyMissed = 0;
}

void DryWetMix::takeDryCopy (const float* left, const float* right, int numSamples) noexcept
{
    std::copy (left, left + numSamples, dryBufferLeft.data());
    std::copy (right, right + numSamples, dryBufferRight.data());
}

void DryWetMix::process (float* left, float* right, int numSamples, float wetTarget, bool effectOn) noexcept
{
    applyRequestedAlignment();

    if (wetTarget != mix.getTarget())
        mix.setTarget (wetTarget);

    const auto alignedTarget = effectOn ? 1.0f : 0.0f;
    const bool blending = alignedShare != alignedTarget;

    // Fully wet for the whole block: the output is the wet block as it stands.
    if (! blending && ! mix.isRamping() && mix.getValue() >= 1.0f)
    {
        keepHistory (dryBufferLeft.data(), dryBufferRight.data(), numSamples);
        return;
    }

    // Off, with the dry path already moved to the delayed input while the wet share still fades
    // (switched on and off again during a fade), only the delayed copy is heard and the
    // alignment stands still as when fully dry. On, only the aligned copy is heard.
    const bool alignedHeard = blending || alignedShare > 0.0f;
    const bool delayedHeard = blending || alignedShare < 1.0f;

    // Catching up uses the delayed buffers as scratch space: first.
    if (alignedHeard && historyMissed > 0)
        catchUpAlignment (right != nullptr);

    if (delayedHeard)
    {
        writeDelayed (dryBufferLeft.data(), delayedLeft.data(), historyLeft, numSamples);

        if (right != nullptr)
            writeDelayed (dryBufferRight.data(), delayedRight.data(), historyRight, numSamples);
    }

    if (alignedHeard)
    {
        pushHistory (dryBufferLeft.data(), dryBufferRight.data(), numSamples);

        if (right != nullptr)
            alignment.processStereo (dryBufferLeft.data(), dryBufferRight.data(), numSamples);
        else
            alignment.processMono (dryBufferLeft.data(), numSamples);
    }
    else
    {
        keepHistory (dryBufferLeft.data(), dryBufferRight.data(), numSamples);
    }

    const auto* heardLeft = alignedHeard ? dryBufferLeft.data() : delayedLeft.data();
    const auto* heardRight = alignedHeard ? dryBufferRight.data() : delayedRight.data();

    for (int i = 0; i < numSamples; ++i)
    {
        if (mix.isRamping())
        {
            const auto m = mix.next();

            if (m > 1.0f)
                mix.limitValue (1.0f);
            else if (m < silenceThreshold)
                mix.limitValue (0.0f);
        }

        const auto wet = mix.getValue();

        auto dryLeft = heardLeft[i];
        auto dryRight = heardRight[i];

        if (blending)
        {
            // Lands exactly on its end, whatever the rounding of the steps.
            const auto next = alignedShare + (effectOn ? alignedStep : -alignedStep);
            alignedShare = std::abs (alignedTarget - next) < 0.5f * alignedStep ? alignedTarget : std::clamp (next, 0.0f, 1.0f);
            dryLeft = alignedShare * dryLeft + (1.0f - alignedShare) * delayedLeft[(size_t) i];
            dryRight = alignedShare * dryRight + (1.0f - alignedShare) * delayedRight[(size_t) i];
        }

        left[i] = (1.0f - wet) * dryLeft + wet * left[i];

        if (right != nullptr)
            right[i] = (1.0f - wet) * dryRight + wet * right[i];
    }
}
