#pragma once

#include "dsp/OversamplingAlignment.h"

#include <atomic>
#include <cstdint>
#include <vector>

// The dry path and the mix: a copy of the input taken before the input volume, delayed by the
// same filters as the oversampled wet path so that both stay in phase, and a linear ramp of
// the wet share that also carries the effect's on/off switch.
//
// At 100 % wet the dry path is not heard and its filters stand still; the last dry samples are
// kept, and the first block that hears the dry path again first runs the filters over them,
// which leaves them where they would have been had they run all along (their response dies
// out well within primingLength samples), so leaving 100 % wet makes no click.
//
// Audio thread, except requestAlignment: the timer hands over a new oversampling index, which
// the next block applies.
class DryWetMix
{
public:
    // Below this the mix counts as fully dry.
    static constexpr float silenceThreshold = 1e-15f;

    // Dry samples kept for bringing the alignment up to date: beyond this many samples the
    // alignment filters' impulse response is below 1e-10 at every factor.
    static constexpr int primingLength = 1024;

    // Allocates the dry buffers for blocks of up to capacity samples; the ramp lasts
    // rampLength samples.
    void prepare (float sampleRate, int capacity, int rampLength);
    void release();

    // The mix settles at wet at once; the alignment starts empty at oversamplingIndex.
    void reset (float wet, int oversamplingIndex) noexcept;

    // Message thread: the index the alignment moves to at the next block.
    void requestAlignment (int oversamplingIndex) noexcept;

    // True once the mix has reached dry.
    bool isDry() const noexcept { return mix <= silenceThreshold; }

    // Copies the unprocessed input (for mono input, right is left).
    void takeDryCopy (const float* left, const float* right, int numSamples) noexcept;

    // Aligns the dry copy and mixes it under the wet block in place (right == nullptr for
    // mono); a new wetTarget starts a ramp from the present mix.
    void process (float* left, float* right, int numSamples, float wetTarget) noexcept;

    float getMix() const noexcept { return mix; }
    int getAlignmentIndex() const noexcept { return alignment.getActiveIndex(); }

private:
    void moveAlignment (int oversamplingIndex) noexcept;

    // While the dry path is not heard: keeps the block's dry copy for priming.
    void keepUnheardDry (int numSamples) noexcept;

    // Runs the alignment over the dry samples it missed (all kept ones if it missed more,
    // from a cleared state), so that it stands where it would have stood.
    void primeAlignment (bool stereo) noexcept;

    std::vector<float> dryBufferLeft, dryBufferRight;

    // The last dry samples, a ring ending at unheardEnd; unheardCount of them (up to
    // primingLength) have not passed the alignment.
    std::vector<float> unheardLeft, unheardRight;
    int unheardEnd = 0;
    int unheardCount = 0;

    int16_t mixCounter = 0;
    int16_t mixLength = 0;
    float mixStep = 0.0f;
    float mix = 0.0f;
    float mixTarget = 0.0f;

    OversamplingAlignment alignment;

    // Index first, then the flag (release/acquire).
    std::atomic<int> alignmentIndex { 0 };
    std::atomic<bool> alignmentPending { false };
};
