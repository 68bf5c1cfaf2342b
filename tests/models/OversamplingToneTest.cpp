// Oversampling is a quality setting: at every factor and every host rate a circuit keeps its
// tone. What may differ between factors is only what a finer time step does to the stage that
// runs oversampled (TimeStepReference, from the component values).

#include "CircuitTestHelpers.h"
#include "SmallSignalResponse.h"
#include "TimeStepReference.h"

#include <gtest/gtest.h>

#include <string>

using namespace CircuitTest;

namespace
{
std::vector<double> response (int circuit, float rate, float drive, int index, const std::vector<double>& hz)
{
    auto c = makePrepared (circuit, rate, { drive, 0.5f, 0.5f, index });
    return SmallSignalResponse::measure (*c, rate, hz);
}
} // namespace

// The small-signal response (-70 dBFS, nothing clips) from 100 Hz to 0.4 times the host rate
// at 2x, 4x and 8x differs from 1x by no more than the finer time step of the oversampled
// stages predicts: the bilinear transform of the drive network and the diode capacitor's
// backward-Euler step come closer to the circuit, and the low-pass pair ripples by 0.01 dB.
// A term that took another delay than the rest (a comb filter) would show as dips of dB.
TEST (OversamplingTone, OversamplingChangesTheSmallSignalResponseOnlyByTheFinerTimeStep)
{
    struct Case
    {
        int circuit;
        float rate;
        float drive;
    };

    std::vector<Case> cases;

    for (int circuit = 0; circuit < 5; ++circuit)
        for (const auto rate : { 44100.0f, 48000.0f, 96000.0f })
            for (const auto drive : { 0.0f, 0.5f })
                cases.push_back ({ circuit, rate, drive });

    for (const auto& c : cases)
    {
        const auto trace = std::string (circuitNames[c.circuit]) + ", " + std::to_string ((int) c.rate) + " Hz, Drive " + std::to_string (c.drive);
        const auto hz = SmallSignalResponse::frequencies (c.rate, 16);
        const auto reference = response (c.circuit, c.rate, c.drive, 0, hz);

        for (int index = 1; index <= 3; ++index)
        {
            const auto measured = response (c.circuit, c.rate, c.drive, index, hz);

            for (size_t i = 0; i < hz.size(); ++i)
            {
                const auto expected = TimeStepReference::differenceDb (c.circuit, c.drive, c.rate, index, hz[i]);
                EXPECT_NEAR (expected, measured[i] - reference[i], 0.005)
                    << trace << ", " << (1 << index) << "x, " << hz[i] << " Hz: " << measured[i] << " dB against " << reference[i] << " dB at 1x";
            }
        }
    }
}

namespace
{
// How far apart two renders are, in dB relative to the first.
double apartDb (const std::vector<float>& expected, const std::vector<float>& actual)
{
    auto difference = expected;

    for (size_t i = 0; i < difference.size(); ++i)
        difference[i] -= actual[i];

    return 20.0 * std::log10 (std::max (1.0e-30, rms (difference)) / rms (expected));
}

// A chord loud enough to bend every diode.
std::vector<float> chord (float rate, float seconds)
{
    auto x = sine ((int) (seconds * rate), 220.0, rate, 0.2f);
    const auto fifth = sine ((int) x.size(), 330.0, rate, 0.15f);

    for (size_t i = 0; i < x.size(); ++i)
        x[i] += fifth[i];

    return x;
}

// What a circuit sounds like with the settings in use: it plays until every fade and glide
// has ended, its histories are cleared (as when the effect is switched on), and the chord is
// played again. Filters whose coefficients glided in from another setting then differ only by
// the rounding of the glide.
std::vector<float> settledSound (ModuleModel& circuit, float rate)
{
    runMono (circuit, chord (rate, 0.3f));
    circuit.clearState();
    return runMono (circuit, chord (rate, 0.05f));
}

void prepareAt (ModuleModel& circuit, float rate, int index)
{
    prepare (circuit, rate, { 0.7f, 0.5f, 0.5f, index });
}

// The user changes the factor while playing: the circuit fades out, the timer switches its
// drive stage, and it fades back in.
void changeFactor (ModuleModel& circuit, float rate, int index)
{
    circuit.setParameter (ModelParameters::numOverSampling, ModelParameters::toNumOverSampling (index));
    circuit.parameterChanged (ModelParameters::numOverSampling);
    runMono (circuit, chord (rate, 0.3f));
    circuit.timerCallback();
}
} // namespace

// A setting sounds the same whatever host rates and factors came before it, including rates
// whose effective rate has no diode table of its own: those take the nearest table every time.
TEST (OversamplingTone, SameSettingsSoundTheSameWhateverCameBefore)
{
    const std::pair<float, int> settings[] = {
        { 22050.0f, 0 }, { 32000.0f, 0 }, { 32000.0f, 3 }, { 44100.0f, 0 }, { 44100.0f, 3 }, { 50000.0f, 1 }, { 64000.0f, 0 }, { 64000.0f, 2 }, { 96000.0f, 1 }
    };
    const std::pair<float, int> before[] = { { 44100.0f, 3 }, { 96000.0f, 0 }, { 32000.0f, 3 }, { 50000.0f, 0 } };

    for (int circuit = 0; circuit < 5; ++circuit)
    {
        for (const auto& [rate, index] : settings)
        {
            const auto trace = std::string (circuitNames[circuit]) + " at " + std::to_string ((int) rate) + " Hz, index " + std::to_string (index);
            auto fresh = makeCircuit (circuit);
            prepareAt (*fresh, rate, index);
            const auto expected = settledSound (*fresh, rate);

            // The host prepares again at another rate.
            for (const auto& [earlierRate, earlierIndex] : before)
            {
                auto c = makeCircuit (circuit);
                prepareAt (*c, earlierRate, earlierIndex);
                runMono (*c, chord (earlierRate, 0.05f));
                prepareAt (*c, rate, index);
                const auto db = apartDb (expected, settledSound (*c, rate));
                EXPECT_LT (db, -100.0) << trace << " after " << earlierRate << " Hz, index " << earlierIndex;
            }

            // The factor changes while the circuit plays at this rate.
            auto c = makeCircuit (circuit);
            prepareAt (*c, rate, 3 - index);
            settledSound (*c, rate);
            changeFactor (*c, rate, index);
            const auto db = apartDb (expected, settledSound (*c, rate));
            EXPECT_LT (db, -100.0) << trace << " after a change from index " << 3 - index;
        }
    }
}
