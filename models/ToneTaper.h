#pragma once

#include <cmath>

// The S-shaped tone control curve, sampled at Tone = 0.0, 0.1, ..., 1.0 (last entry repeated
// so that Tone = 1.0 interpolates with itself), interpolated in single precision.
struct ToneTaper
{
    static float at (float value) noexcept
    {
        static constexpr float table[12] = { 0.0f, 0.033333335f, 0.06666667f, 0.1f, 0.2f, 0.5f, 0.8f, 0.9f, 0.93333334f, 0.96666664f, 1.0f, 1.0f };

        const auto scaled = value * 10.0f;
        auto index = std::floor (scaled);

        // Values outside 0..1 (or NaN) stay on the table.
        if (! (index >= 0.0f))
            index = 0.0f;
        else if (index > 10.0f)
            index = 10.0f;

        const auto i = (int) index;
        const auto f = std::fmin (std::fmax (scaled - index, 0.0f), 1.0f);
        return (1.0f - f) * table[i] + f * table[i + 1];
    }
};
