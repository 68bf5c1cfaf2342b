#pragma once

#include "models/BluesBreakerOverdrive.h"
#include "models/CJOverdrive.h"
#include "models/LittleGreenOverdrive.h"
#include "models/OCDOverdrive.h"
#include "models/TS9Overdrive.h"

#include <cmath>
#include <memory>
#include <vector>

// Circuits on their own, prepared the way the processor prepares them.
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
};

inline void prepare (ModuleModel& circuit, float rate, const Settings& s = {}, int blockSize = 16384)
{
    circuit.setSampleRate (rate);
    circuit.setBlockSize (blockSize);
    circuit.reset();
    circuit.setParameter (0, 1.0f);
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

// Processes a mono signal in blocks; returns the output.
inline std::vector<float> runMono (ModuleModel& circuit, std::vector<float> x, int block = 512)
{
    for (size_t start = 0; start < x.size(); start += (size_t) block)
        circuit.processMono (x.data() + start, (int) std::min ((size_t) block, x.size() - start));

    return x;
}

inline std::vector<float> sine (int samples, double hz, double rate, float amplitude)
{
    std::vector<float> x ((size_t) samples);
    for (int i = 0; i < samples; ++i)
        x[(size_t) i] = amplitude * (float) std::sin (2.0 * 3.14159265358979323846 * hz * i / rate);
    return x;
}

inline double rms (const std::vector<float>& x, size_t from = 0)
{
    double sum = 0.0;
    for (size_t i = from; i < x.size(); ++i)
        sum += (double) x[i] * x[i];
    return std::sqrt (sum / (double) std::max<size_t> (1, x.size() - from));
}
} // namespace CircuitTest
