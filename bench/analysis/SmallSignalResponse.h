#pragma once

#include <vector>

class ModuleModel;

// The magnitude response of a circuit to signals far too small to clip anything (steady sines
// at -70 dBFS), where every stage acts as a linear filter. Comparing it across oversampling
// factors shows whether the quality setting changes the tone.
class SmallSignalResponse
{
public:
    static constexpr double levelDb = -70.0;
    static constexpr double lowestHz = 100.0;

    // The top of the range, as a fraction of the host rate: below it the oversampling filters
    // have not begun to roll off.
    static constexpr double highestFraction = 0.40;

    // count frequencies from lowestHz to highestFraction of rate, evenly spaced on a log scale.
    static std::vector<double> frequencies (double rate, int count);

    // Gain in dB at each frequency (given in ascending order) of a circuit that has been
    // prepared and started at rate. One sine follows the next without a break: the circuit
    // first settles (start-up fade, coefficient glides), then after each change of frequency;
    // the level is fitted over whole periods after that.
    static std::vector<double> measure (ModuleModel& circuit, double rate, const std::vector<double>& frequencies);
};
