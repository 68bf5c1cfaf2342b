#pragma once

// A synthesised strummed guitar for the benchmarks: plucked strings (Karplus-Strong) strummed
// down and up through a few chords, two strums a second, peaks around 0.5. The right channel
// is strummed a little later with other pluck noise, so the channels differ as in a room.
// Deterministic and free of any library, so every benchmark program feeds the same audio.

#include <cmath>
#include <cstdint>
#include <vector>

namespace StrummedGuitar
{
struct Signal
{
    std::vector<float> left, right;
};

inline Signal make (double sampleRate, double seconds)
{
    const auto numSamples = (size_t) (sampleRate * seconds);
    Signal signal;
    signal.left.assign (numSamples, 0.0f);
    signal.right.assign (numSamples, 0.0f);

    // Fret per string (E A D G B E) of four chords: E, A, D, C.
    static const int chords[4][6] = { { 0, 2, 2, 1, 0, 0 }, { -1, 0, 2, 2, 2, 0 }, { -1, -1, 0, 2, 3, 2 }, { -1, 3, 2, 0, 1, 0 } };
    static const double openStrings[6] = { 82.41, 110.0, 146.83, 196.0, 246.94, 329.63 };

    uint32_t noise = 2710;
    auto nextNoise = [&noise]
    {
        noise = noise * 1664525u + 1013904223u;
        return (double) (noise >> 8) / 8388608.0 - 1.0;
    };

    const auto strumLength = (size_t) (sampleRate * 0.5);

    for (int channel = 0; channel < 2; ++channel)
    {
        auto& out = channel == 0 ? signal.left : signal.right;
        const auto channelDelay = (size_t) (channel * sampleRate * 0.0007);

        for (size_t strum = 0, start = 0; start < numSamples; ++strum, start += strumLength)
        {
            const auto& chord = chords[(strum / 4) % 4];
            const bool down = strum % 2 == 0;
            const double loudness = down ? 0.11 : 0.07;

            for (int k = 0; k < 6; ++k)
            {
                const int string = down ? k : 5 - k;

                if (chord[string] < 0)
                    continue;

                const auto frequency = openStrings[string] * std::pow (2.0, chord[string] / 12.0);
                const auto period = std::max<size_t> (2, (size_t) std::lround (sampleRate / frequency));
                std::vector<double> line (period);

                for (auto& v : line)
                    v = loudness * nextNoise();

                // Strings of a strum follow 12 ms apart; each rings until the next strum.
                const auto onset = start + channelDelay + (size_t) (k * sampleRate * 0.012);
                const auto end = std::min (numSamples, start + 2 * strumLength);
                double previous = 0.0;

                for (size_t i = onset, p = 0; i < end; ++i, p = (p + 1) % period)
                {
                    const auto v = line[p];
                    line[p] = 0.996 * 0.5 * (v + previous);
                    previous = v;
                    out[i] += (float) v;
                }
            }
        }
    }

    return signal;
}
} // namespace StrummedGuitar
