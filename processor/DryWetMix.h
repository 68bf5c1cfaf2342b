#pragma once

#include "dsp/OversamplingAlignment.h"

#include <atomic>
#include <cstdint>
#include <vector>

// The dry path and the mix: a copy of the input taken before the input volume, delayed by the
// same filters as the oversampled wet path so that both stay in phase, and a linear ramp of
// the wet share that also carries the effect's on/off switch.
//
// Audio thread, except requestAlignment: the timer hands over a new oversampling index, which
// the next block applies.
class DryWetMix
{
public:
    // Below this the mix counts as fully dry.
    static constexpr float silenceThreshold = 1e-15f;

    // Allocates the dry buffers for blocks of up to capacity samples; the ramp lasts
    // rampLength samples.
    void prepare (float sampleRate, int capacity, int rampLength);
    void release();

    // The mix settles at wet at once, the dry path at aligned (effect on) or not; the alignment
    // starts empty at oversamplingIndex.
    void reset (float wet, bool effectOn, int oversamplingIndex) noexcept;

    // Message thread: the index the alignment moves to at the next block.
    void requestAlignment (int oversamplingIndex) noexcept;

    // True once the mix has reached dry and the dry path the unaligned input.
    bool isDry() const noexcept { return mix <= silenceThreshold && alignedShare <= 0.0f; }

    // While the effect is off and fully dry the alignment stands still: the last input is always
    // kept (for mono input, right is left), so that switching on can bring the alignment up to
    // date with it instead of replaying what it held before.
    void keepHistory (const float* left, const float* right, int numSamples) noexcept;
    void primeAlignment() noexcept;

    // Copies the unprocessed input (for mono input, right is left).
    void takeDryCopy (const float* left, const float* right, int numSamples) noexcept;

    // Aligns the dry copy and mixes it under the wet block in place (right == nullptr for
    // mono); a new wetTarget starts a ramp from the present mix. With the effect off the dry
    // path moves from the aligned copy to the unaligned input over the same ramp (and back when
    // it comes on), so that neither the fade's end nor switching on jumps by the alignment's
    // delay.
    void process (float* left, float* right, int numSamples, float wetTarget, bool effectOn) noexcept;

    float getMix() const noexcept { return mix; }
    int getAlignmentIndex() const noexcept { return alignment.getActiveIndex(); }

private:
    void moveAlignment (int oversamplingIndex) noexcept;

    // Long enough for the alignment filters to forget their start (below -100 dB).
    static constexpr int historyLength = 1024;

    std::vector<float> dryBufferLeft, dryBufferRight;
    std::vector<float> historyLeft, historyRight;
    int historyWrite = 0;

    // The unaligned copy, while the dry path moves between it and the aligned one.
    std::vector<float> unalignedLeft, unalignedRight;
    float alignedShare = 1.0f;
    float alignedStep = 0.0f;

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
