#pragma once

#include "dsp/LinearRamp.h"
#include "dsp/OversamplingAlignment.h"

#include <atomic>
#include <cstdint>
#include <vector>

// The dry path and the mix: a copy of the input taken before the input volume, delayed by the
// same filters as the oversampled wet path so that both stay in phase, and a linear ramp of
// the wet share that also carries the effect's on/off switch.
//
// Where the dry path is not heard (100 % wet, or off and fully dry) its filters stand still and
// the last dry samples are kept. The first block that hears the dry path again first runs the
// filters over what they missed, which leaves them where they would have been had they run all
// along (their response dies out well within historyLength samples), so neither leaving 100 %
// wet nor switching on replays old audio or clicks.
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
    static constexpr int historyLength = 1024;

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
    bool isDry() const noexcept { return mix.getValue() <= silenceThreshold && alignedShare <= 0.0f; }

    // While the effect is off and fully dry the alignment stands still: the input is kept (for
    // mono input, right is left), and switching on (primeAlignment) brings the alignment up to
    // date with it at the next block instead of replaying what it held before.
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

    float getMix() const noexcept { return mix.getValue(); }
    int getAlignmentIndex() const noexcept { return alignment.getActiveIndex(); }

private:
    void moveAlignment (int oversamplingIndex) noexcept;

    // Appends to the history ring, in at most two copies per channel.
    void pushHistory (const float* left, const float* right, int numSamples) noexcept;

    // Runs the alignment over the kept samples it missed (all kept ones, from a cleared state,
    // if it missed more), oldest first.
    void catchUpAlignment (bool stereo) noexcept;

    std::vector<float> dryBufferLeft, dryBufferRight;

    // The last dry samples, a ring ending at historyEnd; the newest historyMissed of them (up
    // to historyLength) have not passed the alignment.
    std::vector<float> historyLeft, historyRight;
    int historyEnd = 0;
    int historyMissed = 0;

    // The unaligned copy, while the dry path moves between it and the aligned one; also the
    // scratch space for catching up.
    std::vector<float> unalignedLeft, unalignedRight;
    float alignedShare = 1.0f;
    float alignedStep = 0.0f;

    LinearRamp<float> mix; // the wet share

    OversamplingAlignment alignment;

    // Index first, then the flag (release/acquire).
    std::atomic<int> alignmentIndex { 0 };
    std::atomic<bool> alignmentPending { false };
};
