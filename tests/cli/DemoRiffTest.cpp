#include "cli/DemoRiff.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
// The period between 1/400 s and 1/60 s by normalised autocorrelation, refined by a parabola
// through the peak: a route to the pitch that knows nothing of how it was made.
double measurePitch (const juce::AudioBuffer<float>& riff, double sampleRate, double fromSeconds, double toSeconds)
{
    const auto* x = riff.getReadPointer (0);
    const auto start = (int) (fromSeconds * sampleRate);
    const auto length = (int) ((toSeconds - fromSeconds) * sampleRate);
    const auto minLag = (int) (sampleRate / 400.0);
    const auto maxLag = (int) (sampleRate / 60.0);

    std::vector<double> score ((size_t) maxLag + 2, 0.0);

    for (int lag = minLag - 1; lag <= maxLag + 1; ++lag)
    {
        double product = 0.0, energyA = 0.0, energyB = 0.0;

        for (int i = 0; i < length - lag; ++i)
        {
            const auto a = (double) x[start + i], b = (double) x[start + i + lag];
            product += a * b;
            energyA += a * a;
            energyB += b * b;
        }

        score[(size_t) lag] = product / std::sqrt (energyA * energyB + 1e-30);
    }

    // Multiples of the period score about as high as the period itself: take the first peak
    // that comes close to the highest.
    double highest = 0.0;

    for (int lag = minLag; lag <= maxLag; ++lag)
        highest = std::max (highest, score[(size_t) lag]);

    int best = minLag;

    for (int lag = minLag; lag <= maxLag; ++lag)
    {
        if (score[(size_t) lag] >= 0.9 * highest && score[(size_t) lag] >= score[(size_t) lag - 1] && score[(size_t) lag] >= score[(size_t) lag + 1])
        {
            best = lag;
            break;
        }
    }

    const auto left = score[(size_t) best - 1], middle = score[(size_t) best], right = score[(size_t) best + 1];
    const auto offset = 0.5 * (left - right) / (left - 2.0 * middle + right);
    return sampleRate / (best + offset);
}

double equalTemperament (int midiNote)
{
    return 440.0 * std::exp2 ((midiNote - 69) / 12.0);
}

double rmsDecibels (const juce::AudioBuffer<float>& riff, double fromSeconds, double toSeconds, double sampleRate)
{
    const auto start = (int) (fromSeconds * sampleRate);
    const auto end = std::min (riff.getNumSamples(), (int) (toSeconds * sampleRate));
    return juce::Decibels::gainToDecibels ((double) riff.getRMSLevel (0, start, end - start), -200.0);
}
} // namespace

TEST (DemoRiff, IsTheSameEveryTime)
{
    const auto a = DemoRiff::render (48000.0);
    const auto b = DemoRiff::render (48000.0);

    ASSERT_EQ (a.getNumSamples(), b.getNumSamples());
    EXPECT_EQ (0, std::memcmp (a.getReadPointer (0), b.getReadPointer (0), sizeof (float) * (size_t) a.getNumSamples()));
}

TEST (DemoRiff, LengthLevelAndTuningAtEveryRate)
{
    const auto secondsPerBeat = 60.0 / DemoRiff::beatsPerMinute;

    for (const auto rate : { 8000.0, 44100.0, 48000.0, 96000.0, 192000.0 })
    {
        SCOPED_TRACE (rate);
        const auto riff = DemoRiff::render (rate);

        ASSERT_EQ (1, riff.getNumChannels());
        EXPECT_EQ (std::llround (DemoRiff::getLengthSeconds() * rate), riff.getNumSamples());
        EXPECT_GE (DemoRiff::getLengthSeconds(), 6.0);
        EXPECT_LE (DemoRiff::getLengthSeconds(), 8.0);

        // A DI level, and no offset that a pickup could not make.
        const auto range = riff.findMinMax (0, 0, riff.getNumSamples());
        const auto peak = std::max (-range.getStart(), range.getEnd());
        EXPECT_NEAR (-8.0, juce::Decibels::gainToDecibels (peak), 0.01);

        double sum = 0.0;

        for (int i = 0; i < riff.getNumSamples(); ++i)
            sum += riff.getSample (0, i);

        EXPECT_LT (std::abs (sum / riff.getNumSamples()), 1e-3 * peak);

        // The first note is the low E (muted), the first note of the third bar the E an octave up.
        const auto lowE = measurePitch (riff, rate, DemoRiff::leadInSeconds + 0.03, DemoRiff::leadInSeconds + 0.18);
        EXPECT_NEAR (equalTemperament (40), lowE, 0.001 * equalTemperament (40));

        const auto bar3 = DemoRiff::leadInSeconds + 8 * secondsPerBeat;
        const auto highE = measurePitch (riff, rate, bar3 + 0.05, bar3 + 0.2);
        EXPECT_NEAR (equalTemperament (52), highE, 0.001 * equalTemperament (52));
    }
}

TEST (DemoRiff, PlaysThroughEveryBeatAndEndsInSilence)
{
    const auto rate = 48000.0;
    const auto riff = DemoRiff::render (rate);
    const auto secondsPerBeat = 60.0 / DemoRiff::beatsPerMinute;

    for (int beat = 0; beat < DemoRiff::lengthInBeats; ++beat)
    {
        const auto from = DemoRiff::leadInSeconds + beat * secondsPerBeat;
        EXPECT_GT (rmsDecibels (riff, from, from + secondsPerBeat, rate), -50.0) << "beat " << beat;
    }

    // The last chord is damped: the end of the tail is far below the playing.
    const auto end = DemoRiff::getLengthSeconds();
    EXPECT_LT (rmsDecibels (riff, end - 0.2, end, rate), -90.0);
}
