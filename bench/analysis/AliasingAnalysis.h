#pragma once

#include <vector>

// Spectrum figures of a periodic test tone after a nonlinearity: the harmonics of the tone up
// to the analysis limit, and everything else below that limit (aliases, noise), both relative
// to the fundamental.
class AliasingAnalysis
{
public:
    struct Result
    {
        double fundamentalDb = 0.0; // level of the fundamental, dBFS
        double thdDb = 0.0; // harmonics 2..n up to the limit, relative to the fundamental
        double nonHarmonicDb = 0.0; // every other component up to the limit, relative to it
    };

    // signal: at least fftSize samples; the analysis uses the last fftSize of them.
    static Result analyse (const std::vector<float>& signal, double sampleRate, double toneHz, double limitHz = 20000.0, int fftSize = 65536);

    // In-place radix-2 transform of interleaved complex data (re, im), size a power of two.
    static void fft (std::vector<double>& interleaved);
};
