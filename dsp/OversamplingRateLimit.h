#pragma once

#include "dsp/OversamplingLowpass.h"

// The highest oversampling factor a host rate allows, so that the internal rate stays at or
// below about 384 kHz: the highest rate the oversampling filters and the diode tables are made
// for. The drive stages, the dry-path alignment and the table readers all cap through here, so
// they always agree on the factor in use.
class OversamplingRateLimit
{
public:
    static constexpr int maxIndex = OversamplingLowpass::maxIndex; // 8x

    // Caps an oversampling index (0 to 3 for 1x to 8x; clamped into that range first) by the
    // host rate: 4x from 68100 Hz, 2x from 136200 Hz, 1x from 272400 Hz, compared in single
    // precision.
    static int limitIndex (int index, float hostRate) noexcept
    {
        index = index < 0 ? 0 : (index > maxIndex ? maxIndex : index);

        if (hostRate >= 272400.0f)
            return 0;

        if (hostRate >= 136200.0f)
            return index < 1 ? index : 1;

        if (hostRate >= 68100.0f)
            return index < 2 ? index : 2;

        return index;
    }

    // The factor 2^index after the cap.
    static int limitFactor (int index, float hostRate) noexcept { return 1 << limitIndex (index, hostRate); }
};
