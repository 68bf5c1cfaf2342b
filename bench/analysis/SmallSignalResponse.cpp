#include "SmallSignalResponse.h"

#include "dsp/ModuleModel.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr double pi = 3.14159265358979323846;
constexpr int blockSize = 512;

// A phase-continuous sine whose frequency can change between samples.
struct SineSource
{
    double amplitude = 0.0;
    double phase = 0.0;
    double increment = 0.0;

    float next() noexcept
    {
        const auto value = (float) (amplitude * std::sin (phase));
        phase = std::fmod (phase + increment, 2.0 * pi);
        return value;
    }
};

// Plays n samples through the circuit; the output goes to out (when given), the input phase
// of each sample to phases.
void play (ModuleModel& circuit, SineSource& source, int n, std::vector<float>* out, std::vector<double>* phases)
{
    float block[blockSize];

    for (int done = 0; done < n;)
    {
        const auto count = std::min (blockSize, n - done);

        for (int i = 0; i < count; ++i)
        {
            if (phases != nullptr)
                phases->push_back (source.phase);

            block[i] = source.next();
        }

        circuit.processMono (block, count);

        if (out != nullptr)
            out->insert (out->end(), block, block + count);

        done += count;
    }
}

// Amplitude of the sine component by least squares on sin, cos and a constant, so that a
// slowly settling offset does not leak into the result.
double fittedAmplitude (const std::vector<float>& y, const std::vector<double>& phases)
{
    double m[3][3] {};
    double v[3] {};

    for (size_t i = 0; i < y.size(); ++i)
    {
        const double basis[3] = { std::sin (phases[i]), std::cos (phases[i]), 1.0 };

        for (int r = 0; r < 3; ++r)
        {
            v[r] += basis[r] * y[i];

            for (int c = 0; c < 3; ++c)
                m[r][c] += basis[r] * basis[c];
        }
    }

    // Gaussian elimination; the system is well conditioned over whole periods.
    for (int k = 0; k < 3; ++k)
    {
        for (int r = k + 1; r < 3; ++r)
        {
            const auto f = m[r][k] / m[k][k];

            for (int c = k; c < 3; ++c)
                m[r][c] -= f * m[k][c];

            v[r] -= f * v[k];
        }
    }

    double s[3] {};

    for (int k = 2; k >= 0; --k)
    {
        auto sum = v[k];

        for (int c = k + 1; c < 3; ++c)
            sum -= m[k][c] * s[c];

        s[k] = sum / m[k][k];
    }

    return std::hypot (s[0], s[1]);
}
} // namespace

std::vector<double> SmallSignalResponse::frequencies (double rate, int count)
{
    const auto highest = highestFraction * rate;
    std::vector<double> result;

    for (int i = 0; i < count; ++i)
        result.push_back (count > 1 ? lowestHz * std::pow (highest / lowestHz, (double) i / (count - 1)) : lowestHz);

    return result;
}

std::vector<double> SmallSignalResponse::measure (ModuleModel& circuit, double rate, const std::vector<double>& hz)
{
    SineSource source;
    source.amplitude = std::pow (10.0, levelDb / 20.0);
    std::vector<double> gains;

    if (hz.empty())
        return gains;

    // Longer than the start-up fade and every coefficient glide (the longest, 8192 samples at
    // 96 kHz, lasts 85 ms).
    source.increment = 2.0 * pi * hz.front() / rate;
    play (circuit, source, (int) (0.3 * rate), nullptr, nullptr);

    std::vector<float> out;
    std::vector<double> phases;

    for (auto f : hz)
    {
        source.increment = 2.0 * pi * f / rate;
        const auto period = rate / f;
        play (circuit, source, (int) std::max (0.05 * rate, 10.0 * period), nullptr, nullptr);

        out.clear();
        phases.clear();
        const auto periods = std::max (8.0, std::ceil (0.05 * f));
        play (circuit, source, (int) std::lround (periods * period), &out, &phases);

        gains.push_back (20.0 * std::log10 (fittedAmplitude (out, phases) / source.amplitude));
    }

    return gains;
}
