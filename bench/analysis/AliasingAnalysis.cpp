#include "AliasingAnalysis.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace
{
constexpr double pi = 3.14159265358979323846;
}

void AliasingAnalysis::fft (std::vector<double>& data)
{
    const auto n = data.size() / 2;

    for (size_t i = 1, j = 0; i < n; ++i)
    {
        auto bit = n >> 1;
        for (; (j & bit) != 0; bit >>= 1)
            j ^= bit;
        j ^= bit;

        if (i < j)
        {
            std::swap (data[2 * i], data[2 * j]);
            std::swap (data[2 * i + 1], data[2 * j + 1]);
        }
    }

    for (size_t length = 2; length <= n; length <<= 1)
    {
        const auto angle = -2.0 * pi / (double) length;

        for (size_t start = 0; start < n; start += length)
        {
            for (size_t k = 0; k < length / 2; ++k)
            {
                const auto wr = std::cos (angle * (double) k), wi = std::sin (angle * (double) k);
                const auto a = start + k, b = start + k + length / 2;
                const auto xr = data[2 * b] * wr - data[2 * b + 1] * wi;
                const auto xi = data[2 * b] * wi + data[2 * b + 1] * wr;
                data[2 * b] = data[2 * a] - xr;
                data[2 * b + 1] = data[2 * a + 1] - xi;
                data[2 * a] += xr;
                data[2 * a + 1] += xi;
            }
        }
    }
}

AliasingAnalysis::Result AliasingAnalysis::analyse (const std::vector<float>& signal, double sampleRate, double toneHz, double limitHz, int fftSize)
{
    const auto n = (size_t) fftSize;
    const auto offset = signal.size() - n;
    std::vector<double> data (2 * n, 0.0);

    // 7-term Blackman-Harris: sidelobes below -180 dB, so leakage does not pass for aliasing.
    const double a[] = { 0.27105140069342, 0.43329793923448, 0.21812299954311, 0.06592544638803, 0.01081174209837, 0.00077658482522, 0.00001388721735 };
    double windowEnergy = 0.0;

    for (size_t i = 0; i < n; ++i)
    {
        const auto x = 2.0 * pi * (double) i / (double) n;
        double w = 0.0;
        for (int t = 0; t < 7; ++t)
            w += ((t % 2) == 0 ? a[t] : -a[t]) * std::cos (t * x);
        windowEnergy += w * w;
        data[2 * i] = (double) signal[offset + i] * w;
    }

    fft (data);

    const auto binHz = sampleRate / (double) n;
    const auto limitBin = (size_t) (limitHz / binHz);
    const int halfWidth = 12; // main lobe plus margin

    std::vector<double> power (limitBin + 1);
    for (size_t k = 0; k <= limitBin; ++k)
        power[k] = data[2 * k] * data[2 * k] + data[2 * k + 1] * data[2 * k + 1];

    std::vector<bool> claimed (limitBin + 1, false);

    const auto sumAround = [&] (double hz)
    {
        const auto centre = (long) std::lround (hz / binHz);
        double sum = 0.0;

        for (long k = centre - halfWidth; k <= centre + halfWidth; ++k)
        {
            if (k >= 0 && k <= (long) limitBin && ! claimed[(size_t) k])
            {
                sum += power[(size_t) k];
                claimed[(size_t) k] = true;
            }
        }

        return sum;
    };

    sumAround (0.0); // DC is neither harmonic nor alias
    const auto fundamental = sumAround (toneHz);
    double harmonics = 0.0;

    for (int h = 2; h * toneHz <= limitHz; ++h)
        harmonics += sumAround (h * toneHz);

    double rest = 0.0;
    for (size_t k = 0; k <= limitBin; ++k)
        if (! claimed[k])
            rest += power[k];

    const auto toDb = [] (double ratio)
    { return 10.0 * std::log10 (std::max (ratio, 1e-30)); };

    // By Parseval, a sine of amplitude A leaves A^2 n (sum of w^2) / 4 in its positive lobe.
    Result r;
    r.fundamentalDb = toDb (4.0 * fundamental / ((double) n * windowEnergy));
    r.thdDb = toDb (harmonics / fundamental);
    r.nonHarmonicDb = toDb (rest / fundamental);
    return r;
}
