#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <random>
#include <vector>

// The test signals and the measures on them that every test uses: sines, seeded noise, rms,
// peak and the largest step between neighbours.
namespace TestSignals
{
inline std::vector<float> sine (int samples, double hz, double rate, float amplitude)
{
    std::vector<float> x ((size_t) samples);
    for (int i = 0; i < samples; ++i)
        x[(size_t) i] = amplitude * (float) std::sin (2.0 * 3.14159265358979323846 * hz * i / rate);
    return x;
}

// Uniform noise in [-amplitude, amplitude) from a seeded generator.
inline std::vector<float> noise (int samples, float amplitude = 1.0f, unsigned seed = 7)
{
    std::mt19937 random (seed);
    std::uniform_real_distribution<float> uniform (-amplitude, amplitude);
    std::vector<float> x ((size_t) samples);

    for (auto& v : x)
        v = uniform (random);

    return x;
}

// Over x[from, to).
inline double rms (const std::vector<float>& x, size_t from = 0, size_t to = std::numeric_limits<size_t>::max())
{
    to = std::min (to, x.size());
    double sum = 0.0;
    for (size_t i = from; i < to; ++i)
        sum += (double) x[i] * x[i];
    return std::sqrt (sum / (double) std::max<size_t> (1, to - from));
}

inline float peak (const std::vector<float>& s, size_t from, size_t to)
{
    float p = 0.0f;

    for (auto i = from; i < to; ++i)
        p = std::max (p, std::abs (s[i]));

    return p;
}

// The largest difference between neighbours inside x[from, to).
inline float largestStep (const float* x, size_t from, size_t to)
{
    float worst = 0.0f;

    for (auto i = std::max<size_t> (from, 1); i < to; ++i)
        worst = std::max (worst, std::abs (x[i] - x[i - 1]));

    return worst;
}

inline float largestStep (const std::vector<float>& s, size_t from = 0, size_t to = std::numeric_limits<size_t>::max())
{
    return largestStep (s.data(), from, std::min (to, s.size()));
}
} // namespace TestSignals
