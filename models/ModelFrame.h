#pragma once

#include "dsp/LinearRamp.h"
#include "models/FadeBuffers.h"

#include <atomic>
#include <cstdint>

class DetachableTimer;

// What every circuit shares around its own stages: the on/off request, the seven fade states
// with their gains, the block frame with its dry buffers, and the hand-over with the circuit's
// message-thread timer when the oversampling factor changes.
//
// The oversampling change runs in phases with one owner at a time:
//   idle -> requested (message thread asks) -> fadingOut (audio thread fades to silence)
//   -> silent (audio thread has produced a silent block; the stages now belong to the timer)
//   -> rebuilt (the timer has rebuilt the drive stage; the stages go back to the audio thread)
//   -> idle (audio thread fades back in).
// While the timer owns the stages, parameter routing, coefficient updates and history clears
// that arrive on the audio thread are recorded and applied right after the rebuild.
class ModelFrame
{
public:
    enum FadeState
    {
        bypassed = 0,
        fadeInFromDry,
        active,
        fadeOutToDry,
        fadeInFromSilence,
        fadeOutToSilence,
        silentState
    };

    enum class Phase
    {
        idle,
        requested,
        fadingOut,
        silent,
        rebuilt
    };

    // Work that waits while the timer rebuilds the drive stage: bit (route + i) routes the
    // stored value of model parameter i into the stages, bit (recompute + i) recomputes what
    // depends on it, clearHistory clears every signal history.
    enum DeferredWork : uint32_t
    {
        route = 0,
        recompute = 8,
        clearHistory = 16
    };

    ModelFrame() noexcept { setFadeLength (4096); }

    static uint32_t routeWork (int index) noexcept { return route + (uint32_t) index; }
    static uint32_t recomputeWork (int index) noexcept { return recompute + (uint32_t) index; }

    // "Bypass": the model is engaged while the value is above 0.
    void setRequestedOn (bool on) noexcept { requestedOn.store (on, std::memory_order_relaxed); }
    bool isRequestedOn() const noexcept { return requestedOn.load (std::memory_order_relaxed); }
    bool isCurrentOn() const noexcept { return currentOn; }

    void setSampleRate (float rate) noexcept { sampleRate = rate; }

    // The largest block: the dry buffers get room for it (its own, zeroed, or shared ones
    // grown to it).
    void setBlockSize (int numSamples);
    int getBlockSize() const noexcept { return blockSize; }

    // From now on the fades use these buffers instead of the frame's own, which are released.
    void shareDryBuffers (FadeBuffers& shared);

    // The model's initParameters calls this: it forgets any change in progress.
    void initParameters() noexcept;

    // Starts a crossfade to or from the dry input when the on/off request changed.
    void fadeCheck() noexcept;

    // The end of the model's start: fade in from silence (or stay bypassed when off) over the
    // start length, and forget any change in progress.
    void beginStartFade() noexcept;

    // Ends that fade at once: the model is heard at full level from the next sample.
    void skipStartFade() noexcept;

    //==============================================================================
    // Message thread: a new oversampling factor was stored. The caller (re)starts its 100 ms
    // timer afterwards.
    void requestOversamplingChange() noexcept;

    // Message thread, on every timer tick: once the audio path has gone silent, rebuilds the
    // drive stage through the callback and hands the stages back. Returns true when the timer
    // can stop.
    template <typename Rebuild>
    bool timerTick (Rebuild&& rebuildDriveStage)
    {
        if (phase.load (std::memory_order_acquire) != Phase::silent)
            return false;

        rebuildDriveStage();
        phase.store (Phase::rebuilt, std::memory_order_release);
        return true;
    }

    // Audio thread (or any thread when the model is not running): true when the work was
    // recorded for later because the timer owns the stages; false when the caller must do it
    // now.
    bool deferWhileRebuilding (uint32_t workBit) noexcept;

    // Runs block stages in order on a block, stereo or (right == nullptr) mono.
    template <typename... Stages>
    static void runChain (float* left, float* right, int numSamples, Stages&... stages)
    {
        if (right != nullptr)
            (stages.processStereo (left, right, numSamples), ...);
        else
            (stages.processMono (left, numSamples), ...);
    }

    // True when the recorded work handed to applyDeferred includes workBit.
    static bool hasWork (uint32_t work, uint32_t workBit) noexcept { return (work & (1u << workBit)) != 0; }

    // The parameter changes every circuit handles alike: Bypass checks for a crossfade with
    // the dry input, NumOverSampling requests the change and (re)starts the circuit's timer.
    // Returns false for the circuit's own parameters.
    bool sharedParameterChanged (int index, DetachableTimer& timer);

    //==============================================================================
    // Processes one block in place. runStages (left, right, n) runs the circuit's stages, with
    // right == nullptr for mono; applyDeferred (mask) performs the recorded work.
    template <typename RunStages, typename ApplyDeferred>
    void process (float* left, float* right, int numSamples, RunStages&& runStages, ApplyDeferred&& applyDeferred)
    {
        const auto deferred = takeOverFromTimer();

        if (deferred != 0)
            applyDeferred (deferred);

        if (fadeState == silentState)
        {
            outputSilence (left, right, numSamples);

            // From here on the timer may rebuild the drive stage.
            if (phase.load (std::memory_order_relaxed) == Phase::fadingOut)
                phase.store (Phase::silent, std::memory_order_release);

            return;
        }

        if (phase.load (std::memory_order_relaxed) == Phase::silent)
        {
            // The stages belong to the timer: a bypassed model passes its input, a running
            // one stays silent.
            if (fadeState != bypassed && fadeState != fadeInFromDry && fadeState != fadeOutToDry)
                outputSilence (left, right, numSamples);

            return;
        }

        if (numSamples > blockSize)
            setBlockSize (numSamples);

        switch (fadeState)
        {
            case active:
                runStages (left, right, numSamples);
                return;

            case fadeInFromDry:
            case fadeOutToDry:
                copyDry (left, right, numSamples);
                break;

            case fadeInFromSilence:
            case fadeOutToSilence:
                clearDry (right != nullptr, numSamples);
                break;

            default:
                return; // bypassed: the input passes unchanged
        }

        runStages (left, right, numSamples);
        mixFade (left, right, numSamples);
    }

    //==============================================================================
    int getFadeState() const noexcept { return fadeState; }
    int getFadeLength() const noexcept { return fadeLength; }
    float getWetGain() const noexcept { return wetGain.getValue(); }
    float getDryGain() const noexcept { return dryGain.getValue(); }
    Phase getPhase() const noexcept { return phase.load (std::memory_order_acquire); }

    // The fade lengths: at start (and for the circuit crossfade) and for the on/off check.
    static int startFadeLength (float sampleRate) noexcept;
    static int checkFadeLength (float sampleRate) noexcept;

private:
    uint32_t takeOverFromTimer() noexcept;
    void beginFadeToSilence() noexcept;
    void outputSilence (float* left, float* right, int numSamples) noexcept;
    void copyDry (const float* left, const float* right, int numSamples) noexcept;
    void clearDry (bool stereo, int numSamples) noexcept;
    void mixFade (float* left, float* right, int numSamples) noexcept;
    void setFadeLength (int length) noexcept;

    // Both gains from where they are: towards the wet signal when fading in, else away from it.
    void startFade (float wetFrom, float dryFrom, bool fadingIn) noexcept;

    float sampleRate = 44100.0f;
    int blockSize = 0;
    FadeBuffers ownDry;
    FadeBuffers* dry = &ownDry;

    std::atomic<bool> requestedOn { true };
    bool currentOn = false;

    // Owned by the audio thread while the model runs.
    int fadeState = bypassed;
    int fadeLength = 4096;

    // Each moves by 1 / fadeLength a sample and stops at its end.
    LinearRamp<float, RampEnd::stopsAtTarget> wetGain { 0.0f };
    LinearRamp<float, RampEnd::stopsAtTarget> dryGain { 1.0f };
    uint32_t deferredWork = 0;

    std::atomic<Phase> phase { Phase::idle };
};
