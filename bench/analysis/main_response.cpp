// vardeko-response: the small-signal magnitude response of each circuit at 2x, 4x and 8x
// oversampling against 1x, for Tone 0.5 and Level 0.5.
//
//   vardeko-response [--circuit N] [--rate HZ] [--drive D] [--points P] [--full]
//
// Without options: every circuit at 44.1, 48 and 96 kHz, Drive 0 and 0.5, 40 frequencies from
// 100 Hz to 0.4 times the rate. Each line gives, per factor, the largest difference from 1x,
// the frequency where it occurs and, in brackets, the largest departure of the difference from
// what the finer time step of the oversampled stage accounts for (TimeStepReference); --full
// also prints every frequency.

#include "SmallSignalResponse.h"
#include "TimeStepReference.h"
#include "models/CircuitBank.h"
#include "models/ModelParameters.h"
#include "processor/HostParameters.h"

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

namespace
{
// Prepared the way the processor prepares the selected circuit.
std::vector<double> response (int circuitIndex, double rate, float drive, int factorIndex, const std::vector<double>& hz)
{
    auto circuit = CircuitBank::make (circuitIndex);
    circuit->setSampleRate (rate);
    circuit->setBlockSize (16384);
    circuit->reset();
    circuit->setParameter (ModelParameters::bypass, 1.0f);
    circuit->setParameter (ModelParameters::drive, drive);
    circuit->setParameter (ModelParameters::tone, 0.5f);
    circuit->setParameter (ModelParameters::level, 0.5f);
    circuit->setParameter (ModelParameters::numOverSampling, ModelParameters::toNumOverSampling (factorIndex));
    circuit->start();
    return SmallSignalResponse::measure (*circuit, rate, hz);
}
} // namespace

int main (int argc, char** argv)
{
    std::vector<int> circuits { 0, 1, 2, 3, 4 };
    std::vector<double> rates { 44100.0, 48000.0, 96000.0 };
    std::vector<float> drives { 0.0f, 0.5f };
    int points = 40;
    bool full = false;

    for (int i = 1; i < argc; ++i)
    {
        const juce::String option (argv[i]);
        const juce::String value (i + 1 < argc ? argv[i + 1] : "");

        if (option == "--full")
        {
            full = true;
            continue;
        }

        if (option == "--circuit")
            circuits = { juce::jlimit (0, 4, value.getIntValue()) };
        else if (option == "--rate")
            rates = { value.getDoubleValue() };
        else if (option == "--drive")
            drives = { value.getFloatValue() };
        else if (option == "--points")
            points = std::max (2, value.getIntValue());
        else
        {
            std::fprintf (stderr, "usage: %s [--circuit N] [--rate HZ] [--drive D] [--points P] [--full]\n", argv[0]);
            return 2;
        }

        ++i;
    }

    std::printf ("%-20s %6s %5s  %-28s %-28s %-28s\n", "circuit", "rate", "drive", "2x - 1x dB @ Hz (off ref)", "4x - 1x dB @ Hz (off ref)", "8x - 1x dB @ Hz (off ref)");

    for (auto circuit : circuits)
    {
        for (auto rate : rates)
        {
            for (auto drive : drives)
            {
                const auto hz = SmallSignalResponse::frequencies (rate, points);
                std::vector<std::vector<double>> gains;

                for (int factorIndex = 0; factorIndex < 4; ++factorIndex)
                    gains.push_back (response (circuit, rate, drive, factorIndex, hz));

                std::printf ("%-20s %6.0f %5.2f", HostParameters::getModelName (circuit).toRawUTF8(), rate, (double) drive);

                for (size_t factorIndex = 1; factorIndex < 4; ++factorIndex)
                {
                    size_t worst = 0;
                    double offReference = 0.0;

                    for (size_t i = 0; i < hz.size(); ++i)
                    {
                        const auto difference = gains[factorIndex][i] - gains[0][i];
                        const auto expected = TimeStepReference::differenceDb (circuit, drive, rate, (int) factorIndex, hz[i]);

                        if (std::abs (difference) > std::abs (gains[factorIndex][worst] - gains[0][worst]))
                            worst = i;

                        if (std::abs (difference - expected) > std::abs (offReference))
                            offReference = difference - expected;
                    }

                    std::printf ("  %+7.3f @ %5.0f (%+7.4f)", gains[factorIndex][worst] - gains[0][worst], hz[worst], offReference);
                }

                std::printf ("\n");

                if (full)
                {
                    std::printf ("    %10s %10s %10s %10s %10s\n", "Hz", "1x dB", "2x - 1x", "4x - 1x", "8x - 1x");

                    for (size_t i = 0; i < hz.size(); ++i)
                        std::printf ("    %10.1f %10.3f %+10.3f %+10.3f %+10.3f\n", hz[i], gains[0][i], gains[1][i] - gains[0][i], gains[2][i] - gains[0][i], gains[3][i] - gains[0][i]);
                }
            }
        }
    }

    return 0;
}
