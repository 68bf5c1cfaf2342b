#include "TimeStepReference.h"

#include "dsp/OversamplingLowpass.h"
#include "dsp/OversamplingRateLimit.h"

#include <cmath>
#include <complex>
#include <utility>
#include <vector>

namespace
{
constexpr long double pi = 3.14159265358979323846264338327950288L;

using Complex = std::complex<long double>;

// The interpolation and decimation low-passes together, at f on the oversampled grid.
Complex lowpassPair (int index, long double rate, long double f)
{
    const auto zInverse = std::polar (1.0L, -2.0L * pi * f / rate);
    Complex numerator, denominator;

    for (int k = OversamplingLowpass::order; k >= 0; --k)
    {
        numerator = numerator * zInverse + (long double) OversamplingLowpass::getNumerator (index, k);
        denominator = denominator * zInverse + (long double) OversamplingLowpass::getDenominator (index, k);
    }

    return (numerator / denominator) * (numerator / denominator);
}

// An analog prototype (ascending powers of s) through the bilinear transform at rate, at f:
// the prototype at the frequency the transform maps f to.
Complex bilinear (const std::vector<long double>& numerator, const std::vector<long double>& denominator, long double rate, long double f)
{
    const Complex s (0.0L, 2.0L * rate * std::tan (pi * f / rate));
    Complex n, d;

    for (size_t k = numerator.size(); k-- > 0;)
        n = n * s + numerator[k];

    for (size_t k = denominator.size(); k-- > 0;)
        d = d * s + denominator[k];

    return n / d;
}

// The diode table read with signals far below the diodes' knee: one backward-Euler step of
// tau dy/dt = x - y - A sinh (y / V) per sample, linearised, (1 + k + k A / V) y' = y + k x
// with k = 1 / (rate tau).
Complex diodeStep (long double tau, long double a, long double v, long double rate, long double f)
{
    const auto k = 1.0L / (rate * tau);
    return k / (1.0L + k * (1.0L + a / v) - std::polar (1.0L, -2.0L * pi * f / rate));
}

// The non-inverting gain network 1 + s R Cg / ((1 + s R Cf)(1 + s Rg Cg)) as a quotient.
std::pair<std::vector<long double>, std::vector<long double>> opampGain (long double r, long double cf, long double cg, long double rgCg)
{
    return { { 1.0L, r * cg + r * cf + rgCg, r * cf * rgCg }, { 1.0L, r * cf + rgCg, r * cf * rgCg } };
}

// The small-signal response of a circuit's oversampled stage at a host rate and factor, for
// Tone 0.5. The stages at the host rate are the same at every factor and are left out.
Complex oversampledStage (int circuit, float drive, long double hostRate, int index, long double f)
{
    const auto rate = hostRate * (long double) (1 << index);
    const auto filters = index > 0 ? lowpassPair (index, rate, f) : Complex (1.0L);
    const auto d = (long double) drive;

    const auto addedToInput = [&] (std::pair<std::vector<long double>, std::vector<long double>> gain, long double tau, long double a)
    {
        return filters * (1.0L + bilinear (gain.first, gain.second, rate, f) * diodeStep (tau, a, 0.025L, rate, f));
    };

    switch (circuit)
    {
        case 0: // the memoryless diode curve only
            return filters;

        case 1: // 1 MOhm drive pot on a base-81 taper with 10 kOhm; 51 pF, 220 nF, 1 kOhm
            return addedToInput (opampGain ((std::pow (81.0L, d) - 1.0L) * 0.0125L * 1.0e6L + 10000.0L, 51e-12L, 220e-9L, 2.2e-4L), 5.1e-7L, 2e-28L);

        case 2: // the 20 kOhm tone pot at its middle (X = 0.01) in the drive network
        {
            const auto r = (std::pow (5.445L, d) - 1.0L) / 4.445L * 500000.0L + 5600.0L;
            const auto x = 0.01L;
            const std::vector<long double> numerator { 1.0L, 0.00144L + x + 1.2201e-6L * r, 4.4e-7L + 4.4e-4L * x + 6.60144e-10L * r + 2.201e-7L * x * r, 4.4e-17L * r + 4.4e-14L * x * r };
            const std::vector<long double> denominator { 1.0L, 0.00144L + x + 1.0e-10L * r, 4.4e-7L + 4.4e-4L * x + 1.44e-13L * r + 1.0e-10L * x * r, 4.4e-17L * r + 4.4e-14L * x * r };
            return addedToInput ({ numerator, denominator }, 5.6e-7L, 1.12e-34L);
        }

        case 3: // the diode stage replaces its input
            return filters * diodeStep (1.0e-5L, 1.5e-11L, 0.025L, rate, f);

        default: // 500 kOhm drive pot on a base-81 taper with 51 kOhm; 51 pF, 47 nF, 4.7 kOhm
            return addedToInput (opampGain ((std::pow (81.0L, d) - 1.0L) * 0.0125L * 500000.0L + 51000.0L, 51e-12L, 47e-9L, 2.209e-4L), 2.601e-6L, 1.02e-7L);
    }
}
} // namespace

double TimeStepReference::stageGainDb (int circuit, float drive, double hostRate, int index, double f)
{
    const auto capped = OversamplingRateLimit::limitIndex (index, (float) hostRate);
    return (double) (20.0L * std::log10 (std::abs (oversampledStage (circuit, drive, (long double) hostRate, capped, (long double) f))));
}

double TimeStepReference::differenceDb (int circuit, float drive, double hostRate, int index, double f)
{
    return stageGainDb (circuit, drive, hostRate, index, f) - stageGainDb (circuit, drive, hostRate, 0, f);
}
