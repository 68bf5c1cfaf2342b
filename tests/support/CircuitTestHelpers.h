#pragma once

#include "CircuitReferences.h"
#include "models/bluesbreaker/BluesBreakerOverdrive.h"
#include "models/cj/CJOverdrive.h"
#include "models/littlegreen/LittleGreenOverdrive.h"
#include "models/ocd/OCDOverdrive.h"
#include "models/ts9/TS9Overdrive.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <vector>

// Circuits on their own, prepared the way the processor prepares them, and the signals and
// measures their tests share.
namespace CircuitTest
{
inline const char* const circuitNames[] = { "Blues Overdrive", "Boutique Overdrive", "Mad Overdrive", "Modern Overdrive", "Pro Overdrive" };

inline std::unique_ptr<ModuleModel> makeCircuit (int index)
{
    switch (index)
    {
        case 0:
            return std::make_unique<BluesBreakerOverdrive>();
        case 1:
            return std::make_unique<CJOverdrive>();
        case 2:
            return std::make_unique<LittleGreenOverdrive>();
        case 3:
            return std::make_unique<OCDOverdrive>();
        default:
            return std::make_unique<TS9Overdrive>();
    }
}

struct Settings
{
    float drive = 0.5f, tone = 0.5f, level = 0.5f;
    int oversamplingIndex = 0;
    bool on = true;
};

inline void prepare (ModuleModel& circuit, float rate, const Settings& s = {}, int blockSize = 16384)
{
    circuit.setSampleRate (rate);
    circuit.setBlockSize (blockSize);
    circuit.reset();
    circuit.setParameter (0, s.on ? 1.0f : 0.0f);
    circuit.setParameter (1, s.drive);
    circuit.setParameter (2, s.tone);
    circuit.setParameter (3, s.level);
    circuit.setParameter (4, (float) s.oversamplingIndex / 3.0f);
    circuit.start();
}

inline std::unique_ptr<ModuleModel> makePrepared (int index, float rate, const Settings& s = {})
{
    auto c = makeCircuit (index);
    prepare (*c, rate, s);
    return c;
}

// Processes signal[from, to) in place, in blocks.
inline void runMono (ModuleModel& circuit, std::vector<float>& signal, size_t from, size_t to, int block = 512)
{
    for (auto i = from; i < to; i += (size_t) block)
        circuit.processMono (signal.data() + i, (int) std::min ((size_t) block, to - i));
}

// Processes a mono signal in blocks; returns the output.
inline std::vector<float> runMono (ModuleModel& circuit, std::vector<float> x, int block = 512)
{
    runMono (circuit, x, 0, x.size(), block);
    return x;
}

// A circuit of one type, prepared on construction, that runs copies of a signal.
template <typename Model>
struct PreparedCircuit
{
    PreparedCircuit (float rate, float drive, float tone, float level, int osIndex = 0)
    {
        prepare (model, rate, { drive, tone, level, osIndex });
    }

    // Runs a copy of the input in blocks (stereo with both channels equal, or mono).
    std::vector<float> run (std::vector<float> signal, bool stereo = true, int block = 512)
    {
        std::vector<float> right (signal);

        for (size_t start = 0; start < signal.size(); start += (size_t) block)
        {
            const auto n = (int) std::min ((size_t) block, signal.size() - start);

            if (stereo)
                model.processStereo (signal.data() + start, right.data() + start, n);
            else
                model.processMono (signal.data() + start, n);
        }

        if (stereo)
        {
            EXPECT_EQ (0, std::memcmp (signal.data(), right.data(), signal.size() * sizeof (float))) << "both channels alike";
        }

        return signal;
    }

    Model model;
};

//==============================================================================
inline std::vector<float> sine (int samples, double hz, double rate, float amplitude)
{
    std::vector<float> x ((size_t) samples);
    for (int i = 0; i < samples; ++i)
        x[(size_t) i] = amplitude * (float) std::sin (2.0 * pi * hz * i / rate);
    return x;
}

// Uniform noise in [-amplitude, amplitude) from a seeded generator.
inline std::vector<float> noise (int samples, float amplitude, unsigned seed = 7)
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

// The largest difference between neighbours inside s[from, to).
inline float largestStep (const std::vector<float>& s, size_t from, size_t to)
{
    float worst = 0.0f;

    for (auto i = from + 1; i < to; ++i)
        worst = std::max (worst, std::abs (s[i] - s[i - 1]));

    return worst;
}

// Steady-state gain of a stage at one frequency: a sine long enough for the stage to settle,
// then the amplitude by correlation over whole periods.
template <typename Stage>
double measureGain (Stage& stage, double rate, double frequency, double settleSeconds)
{
    const auto periods = std::max (4, (int) std::ceil (0.2 * frequency));
    const auto period = rate / frequency;
    const auto settle = (int) (settleSeconds * rate);
    const auto measure = (int) std::round (periods * period);
    std::vector<float> x ((size_t) (settle + measure));

    for (size_t i = 0; i < x.size(); ++i)
        x[i] = (float) std::sin (2.0 * pi * frequency * (double) i / rate);

    stage.processMono (x.data(), (int) x.size());

    double re = 0.0, im = 0.0, norm = 0.0;

    for (int i = settle; i < settle + measure; ++i)
    {
        const auto phase = 2.0 * pi * frequency * i / rate;
        re += x[(size_t) i] * std::sin (phase);
        im += x[(size_t) i] * std::cos (phase);
        norm += std::sin (phase) * std::sin (phase);
    }

    return std::hypot (re, im) / norm;
}
} // namespace CircuitTest
