#pragma once

#include "dsp/ModuleBase.h"

#include <cmath>

// Soft clip of an op-amp output running into its supply rails: unity gain up to 12.369 dB
// (about 4.15), a 1 dB knee of -(L - T)^2 / 2 dB, and a hard ceiling at +/-4.4 from there on.
// The knee ends at the ceiling with zero slope. The output is rounded to single precision.
class OpampLimiter final : public ModuleBase
{
public:
    void processStereoSample (double& left, double& right) override
    {
        left = limit (left);
        right = limit (right);
    }

    void processMonoSample (double& x) override { x = limit (x); }

    static double limit (double x) noexcept
    {
        constexpr auto threshold = 12.36905353; // dB
        constexpr auto kneeStart = 4.153867856; // threshold as a linear level
        constexpr auto kneeEnd = 4.660716391; // threshold + 1 dB
        constexpr auto decibelsPerNeper = 8.685889638065037;
        constexpr auto nepersPerDecibel = 0.11512925464970228;

        const auto magnitude = std::abs (x);
        auto gain = 1.0;

        if (magnitude <= kneeStart)
        {
            gain = 1.0;
        }
        else if (magnitude >= kneeEnd)
        {
            gain = 4.4 / magnitude;
        }
        else
        {
            const auto level = decibelsPerNeper * std::log (magnitude);
            gain = std::exp ((threshold - level) * (level - threshold) * 0.5 * nepersPerDecibel);
        }

        return (double) (float) (x * gain);
    }
};
