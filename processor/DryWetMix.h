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
// The plug-in reports the wet path's delay to the host in whole samples, so with the effect off
// the output is the input delayed by exactly those samples: the track keeps its timing against
// other tracks whether the pedal is on or off. Switching moves the dry path between the aligned
// copy and that delayed copy over the ramp (the two differ by less than a sample).
//
// Where the aligned copy is not heard (100 % wet, or off) its filters stand still and the last
// dry samples are kept. The first block that hears it again first runs the filters over what
// they missed, which leaves them where they would have been had they run all along (their
// response dies out well within historyLength samples), so neither leaving 100 % wet nor
// switching on replays old audio or clicks. The kept samples also feed the delayed copy.
//
// Audio thread. requestAlignment hands over a new oversampling index (the one the circuits in
// use were given), which the next block applies.
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

    // The mix settles at wet at once, the dry path at aligned (effect on) or delayed; the
    // alignment and the delay start empty at oversamplingIndex.
    void reset (float wet, bool effectOn, int oversamplingIndex) noexcept;

    // The index the alignment moves to at its next block (the audio thread takes it from the
    // circuits in use).
    void requestAlignment (int oversamplingIndex) noexcept;

    // True once the mix has reached dry and the dry path the delayed input.
    bool isDry() const noexcept { return mix.getValue() <= silenceThreshold && alignedShare <= 0.0f; }

    // While the effect is off and fully dry: the block in place becomes the input delayed by
    // the latency (right == nullptr for mono; at 1x it is left untouched) and the alignment
    // stands still. Switching on (primeAlignment) brings the alignment up to date with the
    // kept input at the next block instead of replaying what it held before.
    void passDelayed (float* left, float* right, int numSamples) noexcept;
    void primeAlignment() noexcept;

    // The delay of the dry path while off, in whole samples: the latency the host is told.
    int getDelaySamples() const noexcept { return delaySamples; }

    // Copies the unprocessed input (for mono input, right is left).
    void takeDryCopy (const float* left, const float* right, int numSamples) noexcept;

    // Aligns the dry copy and mixes it under the wet block in place (right == nullptr for
    // mono); a new wetTarget starts a ramp from the present mix. With the effect off the dry
    // path moves from the aligned copy to the delayed input over the same ramp (and back when
    // it comes on), so that neither the fade's end nor switching on jumps.
    void process (float* left, float* right, int numSamples, float wetTarget, bool effectOn) noexcept;

    float getMix() const noexcept { return mix.getValue(); }
    int getAlignmentIndex() const noexcept { return alignment.getActiveIndex(); }

private:
    void moveAlignment (int oversamplingIndex) noexcept;
    void applyRequestedAlignment() noexcept;

    // Keeps samples the alignment did not run over.
    void keepHistory (const float* left, const float* right, int numSamples) noexcept;

    // Appends to the history ring, in at most two copies per channel.
    void pushHistory (const float* left, const float* right, int numSamples) noexcept;

    // Runs the alignment over the kept samples it missed (all kept ones, from a cleared state,
    // if it missed more), oldest first.
    void catchUpAlignment (bool stereo) noexcept;

    // destination = source delayed by delaySamples, the samples before the block taken from the
    // history ring, which must not hold the block yet. Out of place.
    void writeDelayed (const float* source, float* destination, const std::vector<float>& history, int numSamples) const noexcept;

    std::vector<float> dryBufferLeft, dryBufferRight;

    // The last dry samples, a ring ending at historyEnd; the newest historyMissed of them (up
    // to historyLength) have not passed the alignment.
    std::vector<float> historyLeft, historyRight;
    int historyEnd = 0;
    int historyMissed = 0;

    // The delayed copy, while it is heard; also the scratch space for catching up.
    std::vector<float> delayedLeft, delayedRight;
    int delaySamples = 0;
    float alignedShare = 1.0f;
    float alignedStep = 0.0f;

    LinearRamp<float> mix; // the wet share

    OversamplingAlignment alignment;

    // Index first, then the flag (release/acquire).
    std::atomic<int> alignmentIndex { 0 };
    std::atomic<bool> alignmentPending { false };
};
