#include "models/ModelFrame.h"

#include "dsp/RateBands.h"
#include "models/DetachableTimer.h"
#include "models/ModelParameters.h"

#include <juce_events/juce_events.h>

#include <algorithm>

int ModelFrame::startFadeLength (float fs) noexcept
{
    return 2 * RateBands::rampLength (fs);
}

int ModelFrame::checkFadeLength (float fs) noexcept
{
    return RateBands::rampLength (fs);
}

void ModelFrame::setFadeLength (int length) noexcept
{
    fadeLength = std::max (1, length);
    wetGain.setLength (fadeLength);
    dryGain.setLength (fadeLength);
}

void ModelFrame::startFade (float wetFrom, float dryFrom, bool fadingIn) noexcept
{
    wetGain.setValue (wetFrom);
    dryGain.setValue (dryFrom);
    wetGain.setTarget (fadingIn ? 1.0f : 0.0f);
    dryGain.setTarget (fadingIn ? 0.0f : 1.0f);
}

void ModelFrame::setBlockSize (int numSamples)
{
    blockSize = std::max (0, numSamples);

    if (dry == &ownDry || dry->getCapacity() < blockSize)
        dry->allocate (blockSize);
}

void ModelFrame::shareDryBuffers (FadeBuffers& shared)
{
    dry = &shared;
    ownDry.allocate (0);
    setBlockSize (blockSize);
}

void ModelFrame::initParameters() noexcept
{
    // Work recorded while the timer held the stages is kept: the next block does it, so a
    // clear that a reset asked for in that time is not lost.
    phase.store (Phase::idle, std::memory_order_release);
}

void ModelFrame::fadeCheck() noexcept
{
    const auto wanted = isRequestedOn();

    if (currentOn == wanted)
        return;

    setFadeLength (checkFadeLength (sampleRate));

    fadeState = wanted ? fadeInFromDry : fadeOutToDry;
    startFade (wanted ? 0.0f : 1.0f, wanted ? 1.0f : 0.0f, wanted);

    currentOn = wanted;
}

void ModelFrame::beginStartFade() noexcept
{
    setFadeLength (startFadeLength (sampleRate));
    startFade (0.0f, 1.0f, true);
    currentOn = isRequestedOn();
    fadeState = currentOn ? fadeInFromSilence : bypassed;
    initParameters();
}

void ModelFrame::skipStartFade() noexcept
{
    if (fadeState != fadeInFromSilence)
        return;

    wetGain.setValue (1.0f);
    dryGain.setValue (0.0f);
    fadeState = active;
}

void ModelFrame::requestOversamplingChange() noexcept
{
    auto current = phase.load (std::memory_order_acquire);

    for (;;)
    {
        Phase next;

        if (current == Phase::idle)
            next = Phase::requested;
        else if (current == Phase::rebuilt)
            next = Phase::silent; // not resumed yet: rebuild again for the newer factor
        else
            return; // a change is on its way and will pick up the newest factor

        if (phase.compare_exchange_weak (current, next, std::memory_order_acq_rel))
            return;
    }
}

bool ModelFrame::deferWhileRebuilding (uint32_t workBit) noexcept
{
    const auto p = phase.load (std::memory_order_acquire);

    if (p != Phase::silent && p != Phase::rebuilt)
        return false;

    deferredWork |= (1u << workBit);
    return true;
}

bool ModelFrame::sharedParameterChanged (int index, DetachableTimer& timer)
{
    switch (index)
    {
        case ModelParameters::bypass:
            fadeCheck();
            return true;

        case ModelParameters::numOverSampling:
            requestOversamplingChange();
            timer.startTimer (ModelParameters::oversamplingTimerMs);
            return true;

        default:
            return false;
    }
}

uint32_t ModelFrame::takeOverFromTimer() noexcept
{
    auto p = phase.load (std::memory_order_acquire);

    if (p == Phase::rebuilt)
    {
        if (! phase.compare_exchange_strong (p, Phase::idle, std::memory_order_acq_rel))
            return 0; // a newer change sent the stages back to the timer

        startFade (0.0f, 1.0f, true);
        fadeState = currentOn ? fadeInFromSilence : bypassed;
        p = Phase::idle;
    }

    if (p == Phase::requested)
        beginFadeToSilence();

    if (p != Phase::idle || deferredWork == 0)
        return 0;

    const auto work = deferredWork;
    deferredWork = 0;
    return work;
}

void ModelFrame::beginFadeToSilence() noexcept
{
    // The gains the fade to silence starts from.
    auto wetFrom = wetGain.getValue();
    auto dryFrom = dryGain.getValue();

    switch (fadeState)
    {
        case active:
            wetFrom = 1.0f;
            dryFrom = 0.0f;
            break;

        case fadeInFromSilence:
            // Fade out from where the fade-in has got to, so the level never jumps.
            dryFrom = 1.0f - wetFrom;
            break;

        case fadeOutToSilence:
        case silentState:
            break;

        case bypassed:
            // Nothing runs: the timer may rebuild at once.
            phase.store (Phase::silent, std::memory_order_release);
            return;

        default:
            return; // a crossfade with the dry input finishes first
    }

    if (fadeState != silentState)
    {
        fadeState = fadeOutToSilence;
        setFadeLength ((int) (sampleRate * 0.25f));
        startFade (wetFrom, dryFrom, false);
    }

    phase.store (Phase::fadingOut, std::memory_order_release);
}

void ModelFrame::outputSilence (float* left, float* right, int numSamples) noexcept
{
    std::fill (left, left + numSamples, 0.0f);

    if (right != nullptr)
        std::fill (right, right + numSamples, 0.0f);
}

void ModelFrame::copyDry (const float* left, const float* right, int numSamples) noexcept
{
    std::copy (left, left + numSamples, dry->left.data());

    if (right != nullptr)
        std::copy (right, right + numSamples, dry->right.data());
}

void ModelFrame::clearDry (bool stereo, int numSamples) noexcept
{
    std::fill (dry->left.data(), dry->left.data() + numSamples, 0.0f);

    if (stereo)
        std::fill (dry->right.data(), dry->right.data() + numSamples, 0.0f);
}

void ModelFrame::mixFade (float* left, float* right, int numSamples) noexcept
{
    const bool fadingIn = fadeState == fadeInFromDry || fadeState == fadeInFromSilence;
    const int endState = fadingIn ? active : (fadeState == fadeOutToDry ? bypassed : silentState);

    // The gain that fades up, and the one that fades down with it.
    auto& rising = fadingIn ? wetGain : dryGain;
    auto& falling = fadingIn ? dryGain : wetGain;

    const auto* dryLeft = dry->left.data();
    const auto* dryRight = dry->right.data();

    for (int i = 0; i < numSamples; ++i)
    {
        const auto wet = wetGain.getValue();
        const auto dryShare = dryGain.getValue();
        left[i] = dryLeft[i] * dryShare + left[i] * wet;

        if (right != nullptr)
            right[i] = dryRight[i] * dryShare + right[i] * wet;

        // The state reached takes effect from the next block; the rest of this block keeps
        // the final gains.
        if (rising.isRamping())
        {
            rising.next();
            falling.next();
        }
        else
        {
            rising.setValue (1.0f);
            falling.setValue (0.0f);
            fadeState = endState;
        }
    }
}
