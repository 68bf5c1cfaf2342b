#pragma once

#include "dsp/ModuleBase.h"
#include "dsp/SampleFrame.h"

#include <algorithm>
#include <cmath>

// Zero-delay (topology-preserving) one-pole high-pass for coupling capacitors. Until a cutoff
// is set it passes its input unchanged.
class OnePoleHighpass final : public ModuleBase
{
public:
    // Below this a high-pass holds nothing audible.
    static constexpr double decayedLevel = 1.0e-30;

    // Runs a frame through high-passes in series. The high-pass has no denormal guard of its
    // own: once the input is silent and every output has decayed below decayedLevel, all their
    // memories are cleared. Deciding per sample keeps the output independent of how the audio
    // is cut into blocks.
    template <int numChannels, typename... Highpasses>
    static void processInSeries (SampleFrame<numChannels>& frame, Highpasses&... highpasses) noexcept
    {
        const bool silentInput = frame.isSilent();
        double peak = 0.0;
        bool first = true;

        ((processFrame (highpasses, frame), peak = first ? frame.peak() : std::max (peak, frame.peak()), first = false), ...);

        if (silentInput && peak < decayedLevel)
            (highpasses.clearState(), ...);
    }

    OnePoleHighpass()
    {
        OnePoleHighpass::clearState();
        OnePoleHighpass::initParameters();
    }

    // Uses the current sample rate; call again after a rate change.
    void setCutoff (float hz) noexcept
    {
        cutoff = hz;
        g = std::tan (3.141592653589793 * (double) hz / (double) sampleRate);
        a = 1.0 / (1.0 + g);
    }

    float getCutoff() const noexcept { return cutoff; }

    void clearState() override
    {
        stateLeft = 0.0;
        stateRight = 0.0;
    }

    void initParameters() override
    {
        cutoff = 0.0f;
        g = 0.0;
        a = 0.0;
    }

    void processStereoSample (double& left, double& right) override
    {
        left = process (left, stateLeft);
        right = process (right, stateRight);
    }

    void processMonoSample (double& x) override { x = process (x, stateLeft); }

private:
    double process (double x, double& state) const noexcept
    {
        const auto lowpass = (g * x + state) * a;
        state = (x - lowpass) * g + lowpass;
        return x - lowpass;
    }

    float cutoff = 0.0f;
    double g = 0.0;
    double a = 0.0;
    double stateLeft = 0.0;
    double stateRight = 0.0;
};
