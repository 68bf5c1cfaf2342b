#pragma once

// What oversampling may change in a circuit's small-signal response, worked out from the
// component values without the circuits' code. Between factors only the stage that runs
// oversampled differs: its drive network (bilinear transform, no pre-warping) and its diode
// capacitor (one backward-Euler step per sample) come closer to the circuit at a finer time
// step, and the interpolation and decimation low-passes add their passband ripple.
class TimeStepReference
{
public:
    // Gain in dB of the oversampled stage of a circuit (0 to 4, as the processor numbers
    // them) at f, for a Drive setting and Tone 0.5, at a host rate and an oversampling index
    // (capped by the host rate as the drive stages cap it).
    static double stageGainDb (int circuit, float drive, double hostRate, int index, double f);

    // What the factor of index changes against 1x, in dB.
    static double differenceDb (int circuit, float drive, double hostRate, int index, double f);
};
