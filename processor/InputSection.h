#pragma once

#include "dsp/LinearRamp.h"

// The input volume with its linear ramp, and the input meter with its clip light, both seen
// after the volume. Audio thread only; the processor publishes the readings to the editor.
class InputSection
{
public:
    // No instrument or preamp reaches this (+24 dBFS); anything beyond is a fault upstream.
    static constexpr float inputBound = 16.0f;

    // At the processor's entry: samples that are not numbers become silence, and the rest is
    // bounded to +-inputBound, so that no fault upstream can make a circuit unstable.
    static void sanitise (float* samples, int numSamples) noexcept;

    // Rate-dependent constants; the ramp lasts rampLength samples.
    void prepare (float sampleRate, int rampLength) noexcept;

    // The gain settles at gain at once, the meter reads 0 and the clip light is off.
    void reset (float gain) noexcept;

    // A new target starts a ramp from wherever the gain is now.
    void setTargetGain (float gain) noexcept;

    // Scales one block in place (right == nullptr for mono) and follows its peaks.
    void process (float* left, float* right, int numSamples) noexcept;

    // While the effect fades to dry the meter falls as if the input were silent.
    void decayMeter (int numSamples) noexcept;

    // Once the effect is off and faded out: meter at 0, clip light off.
    void silenceMeter() noexcept;

    float getMeterLevel() const noexcept { return meter; }
    float getClipLight() const noexcept { return clipLit ? 1.0f : 0.0f; }

private:
    void followPeak (float peak) noexcept
    {
        if (peak > meter)
            meter = peak;
        else
            decayOnce();

        if (meter >= 1.0f)
            clipHoldPhase = 0.0f;
    }

    void decayOnce() noexcept
    {
        meter *= meterDecay;

        // Below this the meter reads 0.
        if (meter < 2e-8f)
            meter = 0.0f;
    }

    LinearRamp<float> gain { 1.0f };

    float meterDecay = 0.0f;
    float meter = 0.0f;
    float clipHoldPhase = 1.0f;
    float clipHoldStepPerSample = 0.0f;
    bool clipLit = false;
};
