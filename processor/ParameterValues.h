#pragma once

#include "processor/HostParameters.h"

#include <array>
#include <atomic>

// The live value of each host parameter, which the audio path and the timer read. Written by
// setParameter on any thread, and equal to the current program's active channel.
class ParameterValues
{
public:
    ParameterValues()
    {
        for (int k = 0; k < HostParameters::numParameters; ++k)
            set (k, HostParameters::getDefaultValue (k));
    }

    float get (int index) const noexcept { return values[(size_t) index].load (std::memory_order_relaxed); }
    void set (int index, float value) noexcept { values[(size_t) index].store (value); }

private:
    std::array<std::atomic<float>, HostParameters::numParameters> values;
};
