#pragma once

#include <cmath>

// The logarithmic ("audio") taper of the circuits' pots, in single precision: the share of the
// track, 0 to 1, at a knob position, (base^position - 1) / (base - 1). Most circuits multiply by
// the reciprocal 1 / (base - 1) rounded to float; "Mad" and "Modern" Drive divide.
struct PotTaper
{
    static float audio (float base, float position) noexcept
    {
        return (std::pow (base, position) - 1.0f) * (1.0f / (base - 1.0f));
    }

    static float audioDivided (float base, float position) noexcept
    {
        return (std::pow (base, position) - 1.0f) / (base - 1.0f);
    }

    // The mirror image (reverse logarithmic): 0 at position 0, 1 at position 1.
    static float reverseAudio (float base, float position) noexcept
    {
        return 1.0f - audio (base, 1.0f - position);
    }
};
