#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

// References for the circuit tests, derived without the circuits' code: worked in long double
// from the component values.
namespace CircuitTest
{
constexpr double pi = 3.14159265358979323846;
constexpr long double longPi = 3.14159265358979323846264338327950288L;

// The settled output of a diode pair: the y that solves y + A sinh (y / V) = x, by bisection.
inline long double settledDiode (long double x, long double a, long double v)
{
    auto lo = -std::fabs (x) - 1.0L, hi = std::fabs (x) + 1.0L;

    for (int i = 0; i < 200; ++i)
    {
        const auto mid = 0.5L * (lo + hi);
        (mid + a * std::sinh (mid / v) > x ? hi : lo) = mid;
    }

    return 0.5L * (lo + hi);
}

// The op-amp rails: unchanged up to 12.36905353 dB, a knee of -(L - T)^2 / 2 dB over the next
// dB, then the ceiling of 4.4.
inline long double railLimited (long double x)
{
    constexpr long double t = 12.36905353L;
    const auto level = 20.0L * std::log10 (std::fabs (x));

    if (level <= t)
        return x;

    if (level >= t + 1.0L)
        return std::copysign (4.4L, x);

    return std::copysign (std::pow (10.0L, (level - 0.5L * (level - t) * (level - t)) / 20.0L), x);
}

// p (s) with s = 2 fs (1 - z^-1) / (1 + z^-1), times (1 + z^-1)^N, by multiplying out the
// factors one by one; returns a1..aN and b0..bN divided by a0.
struct Discrete
{
    std::vector<long double> a, b;
};

inline std::vector<long double> expandBilinear (const std::vector<long double>& p, long double rate)
{
    const auto order = p.size() - 1;
    std::vector<long double> result (order + 1, 0.0L);

    for (size_t i = 0; i <= order; ++i)
    {
        std::vector<long double> term { p[i] * std::pow (2.0L * rate, (long double) i) };

        for (size_t f = 0; f < order; ++f)
        {
            const auto sign = f < i ? -1.0L : 1.0L;
            std::vector<long double> next (term.size() + 1, 0.0L);

            for (size_t j = 0; j < term.size(); ++j)
            {
                next[j] += term[j];
                next[j + 1] += sign * term[j];
            }

            term = next;
        }

        for (size_t j = 0; j <= order; ++j)
            result[j] += term[j];
    }

    return result;
}

inline Discrete discretise (const std::vector<long double>& denominator, const std::vector<long double>& numerator, long double rate)
{
    auto a = expandBilinear (denominator, rate);
    auto b = expandBilinear (numerator, rate);
    const auto a0 = a[0];

    for (auto& c : a)
        c /= a0;

    for (auto& c : b)
        c /= a0;

    return { a, b };
}

// A filter's target coefficients against the expected ones, within a relative tolerance
// (looser for prototypes the stage computes in single precision).
template <typename Filter>
void expectTargets (const Filter& filter, const Discrete& expected, const char* what, double tolerance = 1.0e-9)
{
    for (size_t k = 1; k < expected.a.size(); ++k)
        EXPECT_NEAR (filter.target.a[k], (double) expected.a[k], tolerance * std::fabs ((double) expected.a[k]) + 1.0e-12) << what << " a" << k;

    for (size_t k = 0; k < expected.b.size(); ++k)
        EXPECT_NEAR (filter.target.b[k], (double) expected.b[k], tolerance * std::fabs ((double) expected.b[k]) + 1.0e-12) << what << " b" << k;
}

// The digital response of a one-pole high-pass whose corner is warped to fc: the analog
// s / (s + wc) at the frequency the bilinear transform maps f to.
inline double warpedHighpassGain (double rate, double fc, double f)
{
    const auto t = std::tan (pi * f / rate);
    const auto g = std::tan (pi * fc / rate);
    return t / std::hypot (t, g);
}
} // namespace CircuitTest
