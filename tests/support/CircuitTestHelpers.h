#pragma once

#include "CircuitReferences.h"
#include "TestSignals.h"
#include "models/CircuitBank.h"
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
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

// Circuits on their own, prepared the way the processor prepares them, and the signals and
// measures their tests share.
namespace CircuitTest
{
using namespace TestSignals;

inline const char* const circuitNames[] = { "Blues Overdrive", "Boutique Overdrive", "Mad Overdrive", "Modern Overdrive", "Pro Overdrive" };

// The five circuits in processor index order, for typed tests, with their class prefixes as
// the names the tests are listed by.
using Circuits = ::testing::Types<BluesBreakerOverdrive, CJOverdrive, LittleGreenOverdrive, OCDOverdrive, TS9Overdrive>;

struct CircuitTypeNames
{
    template <typename>
    static std::string GetName (int index)
    {
        const char* const prefixes[] = { "BluesBreaker", "CJ", "LittleGreen", "OCD", "TS9" };
        return prefixes[index];
    }
};

// Calls count on both channels' histories of a stage that has a filter.
template <typename Stage, typename Count>
void countFilterMemories (const Stage& stage, Count& count)
{
    if constexpr (std::is_base_of_v<FxSZBase, Stage> || std::is_base_of_v<SZBase, Stage>)
    {
        count (stage.getFilter().left);
        count (stage.getFilter().right);
    }
}

// Subnormal values in the signal memories of a circuit's filter stages (zero when the
// histories decay cleanly).
template <typename Circuit>
int countSubnormalMemories (Circuit& circuit)
{
    int count = 0;

    const auto countIn = [&count] (const auto& history)
    {
        for (size_t k = 0; k < std::size (history.x); ++k)
            count += (std::fpclassify (history.x[k]) == FP_SUBNORMAL) + (std::fpclassify (history.y[k]) == FP_SUBNORMAL);
    };

    std::apply ([&countIn] (auto&... stage)
                { (countFilterMemories (stage, countIn), ...); },
                circuit.stages());

    return count;
}

inline std::unique_ptr<ModuleModel> makeCircuit (int index) { return CircuitBank::make (index); }

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
    circuit.setParameter (ModelParameters::bypass, s.on ? 1.0f : 0.0f);
    circuit.setParameter (ModelParameters::drive, s.drive);
    circuit.setParameter (ModelParameters::tone, s.tone);
    circuit.setParameter (ModelParameters::level, s.level);
    circuit.setParameter (ModelParameters::numOverSampling, ModelParameters::toNumOverSampling (s.oversamplingIndex));
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

    // Plays a while at 44.1 kHz: true once the start-up fade is over and the circuit runs.
    bool warmUp()
    {
        run (sine (10000, 220.0, 44100.0, 0.25f));
        return model.getFrame().getFadeState() == ModelFrame::active;
    }

    // An oversampling change through the circuit's own timer at 44.1 kHz, up to the moment the
    // stages belong to the timer: the request, which rebuilds nothing while the audio path
    // plays; a quarter second down to silence (returned), on which the timer still waits; the
    // first silent block.
    std::vector<float> fadeOutForRebuild (float numOverSampling)
    {
        auto& stage = model.driveStage;
        model.setParameter (ModelParameters::numOverSampling, numOverSampling);
        model.parameterChanged (ModelParameters::numOverSampling);
        EXPECT_TRUE (model.isTimerRunning());
        model.timerCallback();
        EXPECT_EQ (0, stage.getActiveIndex()) << "nothing is rebuilt while the audio path plays";

        const auto fadeOut = run (sine (11264, 220.0, 44100.0, 0.25f));
        EXPECT_EQ (ModelFrame::silentState, model.getFrame().getFadeState());
        model.timerCallback();
        EXPECT_EQ (0, stage.getActiveIndex()) << "the timer waits for a silent block";
        EXPECT_TRUE (model.isTimerRunning());

        const auto silent = run (sine (512, 220.0, 44100.0, 0.25f));
        EXPECT_EQ (0.0, rms (silent, 0, silent.size()));
        return fadeOut;
    }

    // While the timer owns the stages they do not run: more input gives silence, and the
    // filters' histories stay as they were.
    template <typename... Filters>
    void expectStandingStill (const Filters&... filters)
    {
        const auto histories = std::make_tuple (filters.left...);
        const auto moreSilence = run (sine (2048, 220.0, 44100.0, 0.25f));
        EXPECT_EQ (0.0, rms (moreSilence, 0, moreSilence.size()));
        const auto expectUnchanged = [] (const auto& before, const auto& now)
        { EXPECT_EQ (0, std::memcmp (&before, &now, sizeof (before))); };

        std::apply ([&] (const auto&... before)
                    { (expectUnchanged (before, filters.left), ...); },
                    histories);
    }

    // The timer's next tick rebuilds the oversampled stage for the factor index, at its rate,
    // and stops.
    void rebuild (int index, float oversampledRate)
    {
        auto& stage = model.driveStage;
        model.timerCallback();
        EXPECT_FALSE (model.isTimerRunning());
        EXPECT_EQ (index, stage.getActiveIndex());
        EXPECT_EQ (oversampledRate, stage.preClipper.getSampleRate());
        EXPECT_EQ (oversampledRate, stage.tableReader.getActiveTableRate());
    }

    // After the rebuild the circuit comes back in from silence.
    void expectFadesBackIn (const std::vector<float>& fadeIn)
    {
        EXPECT_EQ (0.0f, fadeIn.front());
        EXPECT_LT (rms (fadeIn, 0, 256), rms (fadeIn, 10000, 11025));
        EXPECT_EQ (ModelFrame::active, model.getFrame().getFadeState());
    }

    Model model;
};

// An oversampled stage prepared on its own, the way its circuit prepares it at start.
template <typename Stage>
void prepareOversampledStage (Stage& stage, float rate, int index)
{
    stage.setSampleRate (rate);
    stage.setFactorIndex (index);
    stage.initParameters();
    stage.applyFactor();
}

// A stage meets its rate and its reset in either order, as the circuits do.
template <typename Stage>
void meetRateAndReset (Stage& stage, float rate, bool resetFirst)
{
    if (resetFirst)
        stage.reset();

    stage.setSampleRate (rate);

    if (! resetFirst)
        stage.reset();
}

// The level a block stage settles at for a constant input, checked to be the same in stereo
// and (after a reset) in mono.
template <typename Stage>
float settledOutput (Stage& stage, float input, int length = 8000)
{
    std::vector<float> left ((size_t) length, input), right ((size_t) length, input), mono ((size_t) length, input);
    stage.processStereo (left.data(), right.data(), length);
    stage.reset();
    stage.processMono (mono.data(), length);
    EXPECT_EQ (left.back(), right.back());
    EXPECT_EQ (left.back(), mono.back());
    return left.back();
}

// A stage that blocks DC: after a clean start, seconds of a constant 1 end within tolerance of 0.
template <typename Stage>
void expectRemovesDc (Stage& stage, float rate, int seconds, float tolerance)
{
    stage.clearState();
    std::vector<float> dc ((size_t) rate * (size_t) seconds, 1.0f);
    stage.processMono (dc.data(), (int) dc.size());
    EXPECT_NEAR (0.0f, dc.back(), tolerance) << "DC is removed at " << rate << " Hz";
}

// Sets a circuit's three knobs and tells it of those that changed (each recomputes the stages
// that follow it).
inline void turnKnobs (ModuleModel& circuit, float drive, float tone, float level, std::initializer_list<int> changed)
{
    circuit.setParameter (ModelParameters::drive, drive);
    circuit.setParameter (ModelParameters::tone, tone);
    circuit.setParameter (ModelParameters::level, level);

    for (const auto knob : changed)
        circuit.parameterChanged (knob);
}

// The figure to remember of an oversampled stage: where 1.0 settles at 44.1 kHz without
// oversampling (the stage prepared as its circuit prepares it, over 100 samples).
template <typename Stage>
float settledAtOne()
{
    Stage stage;
    prepareOversampledStage (stage, 44100.0f, 0);
    return settledOutput (stage, 1.0f, 100);
}

// Checks that an oversampled stage, prepared at each (rate, factor index), settles for each
// constant input on the level that expected (input) gives: within toleranceAt1x without
// oversampling, and within the oversampling filters' passband ripple (2e-5, relative) with it.
template <typename Stage, typename Expected>
void expectSettlesOnItsCurve (const std::vector<std::pair<float, int>>& cases, std::initializer_list<float> inputs, Expected&& expected, double toleranceAt1x)
{
    for (const auto& [rate, index] : cases)
    {
        for (const float input : inputs)
        {
            Stage stage;
            prepareOversampledStage (stage, rate, index);
            const auto level = (double) expected ((long double) input);
            const auto tolerance = index == 0 ? toleranceAt1x : 2e-5 * std::abs (level);
            EXPECT_NEAR (level, settledOutput (stage, input), tolerance) << rate << " Hz, index " << index << ", input " << input;
        }
    }
}

// Checks a prototype's coefficients against expected ones, each within 1e-12 of its size.
template <typename Coefficients>
void expectNear (const std::vector<double>& expected, const Coefficients& actual, const std::string& label)
{
    for (size_t k = 0; k < expected.size(); ++k)
        EXPECT_NEAR (expected[k], actual[k], 1e-12 * std::abs (expected[k])) << label << k;
}

// Checks that a filter stage took exactly the coefficients its prototype discretises to.
template <typename Stage>
void expectTakesItsPrototype (const Stage& stage, float rate)
{
    const auto prototype = stage.getPrototype();
    Stage reference;
    reference.setSampleRate (rate);
    reference.setAnalogCoefficients (prototype);

    const auto& expected = reference.getFilter().target;
    const auto& actual = stage.getFilter().target;

    for (size_t k = 0; k < std::size (expected.a); ++k)
    {
        EXPECT_EQ (expected.a[k], actual.a[k]) << "a" << k;
        EXPECT_EQ (expected.b[k], actual.b[k]) << "b" << k;
    }
}

// The outputs y of a block stage's filter run beside it in double precision over noise, and
// the stage's own outputs, to tell where a fixed output gain rounds.
struct FilterOutputs
{
    std::vector<double> reference;
    std::vector<float> stage;
};

template <int order, typename Stage>
FilterOutputs runBesideItsFilter (float tone, float level, float rate)
{
    Stage stage;
    stage.setSampleRate (rate);
    stage.tone = tone;
    stage.level = level;
    stage.update();

    const auto [a, b] = stage.getPrototype();
    SZFilter<order, true> filter;
    filter.setSampleRate (rate);
    filter.setAnalogCoefficients (a.data(), b.data(), rate);
    filter.beginBlock();

    FilterOutputs outputs;
    const auto signal = noise (4000, 1.0f);
    outputs.stage = signal;
    stage.processMono (outputs.stage.data(), (int) outputs.stage.size());

    for (const auto x : signal)
    {
        filter.advanceGlide();
        outputs.reference.push_back (filter.processSample ((double) x, filter.left));
    }

    return outputs;
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

// A high-pass stage at 44.1 and 96 kHz, in both orders in which a circuit meets its rate and
// its reset: its gain at each frequency is expected (rate, f) within tolerance (measured over
// seconds), and DC is gone after dcSeconds within dcTolerance.
template <typename Stage, typename Expected>
void expectHighPass (std::initializer_list<double> frequencies, Expected&& expected, double seconds, double tolerance, int dcSeconds, float dcTolerance)
{
    for (const auto rate : { 44100.0f, 96000.0f })
    {
        for (const bool resetFirst : { false, true })
        {
            Stage stage;
            meetRateAndReset (stage, rate, resetFirst);

            for (const auto f : frequencies)
            {
                stage.clearState();
                EXPECT_NEAR (expected ((double) rate, f), measureGain (stage, rate, f, seconds), tolerance) << rate << " Hz, " << f << " Hz";
            }

            expectRemovesDc (stage, rate, dcSeconds, dcTolerance);
        }
    }
}
} // namespace CircuitTest
