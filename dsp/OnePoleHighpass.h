#pragma once

#include "dsp/ModuleBase.h"

#include <cmath>

// Zero-delay (topology-preserving) one-pole high-pass for coupling capacitors. Until a cutoff
// is set it passes its input unchanged.
class OnePoleHighpass final : public ModuleBase
{
public:
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
