#include "cli/DemoRiff.h"

#include <cmath>
#include <vector>

namespace
{
struct RiffNote
{
    float beat;
    float beats;
    int pitches[3]; // MIDI note numbers, lowest string first
    int numPitches;
    float velocity;
    bool palmMuted;
};

// E2 = 40, G2 = 43, A2 = 45, B2 = 47, D3 = 50, E3 = 52, G3 = 55, A3 = 57, D4 = 62.
constexpr RiffNote riff[] = {
    // A muted pedal tone answered by open notes.
    { 0.0f, 0.5f, { 40 }, 1, 0.9f, true },
    { 0.5f, 0.5f, { 40 }, 1, 0.7f, true },
    { 1.0f, 0.5f, { 43 }, 1, 0.9f, false },
    { 1.5f, 0.5f, { 40 }, 1, 0.7f, true },
    { 2.0f, 0.5f, { 45 }, 1, 0.9f, false },
    { 2.5f, 0.5f, { 40 }, 1, 0.7f, true },
    { 3.0f, 0.5f, { 47 }, 1, 0.9f, false },
    { 3.5f, 0.5f, { 45 }, 1, 0.8f, false },

    // Power chords E5, G5, A5.
    { 4.0f, 1.0f, { 40, 47, 52 }, 3, 1.0f, false },
    { 5.0f, 1.0f, { 43, 50, 55 }, 3, 1.0f, false },
    { 6.0f, 2.0f, { 45, 52, 57 }, 3, 1.0f, false },

    // A falling line back to the low string.
    { 8.0f, 0.5f, { 52 }, 1, 0.9f, false },
    { 8.5f, 0.5f, { 50 }, 1, 0.8f, false },
    { 9.0f, 0.5f, { 47 }, 1, 0.9f, false },
    { 9.5f, 0.5f, { 45 }, 1, 0.8f, false },
    { 10.0f, 0.5f, { 43 }, 1, 0.9f, false },
    { 10.5f, 0.5f, { 40 }, 1, 0.8f, true },
    { 11.0f, 0.5f, { 43 }, 1, 0.9f, false },
    { 11.5f, 0.5f, { 45 }, 1, 0.8f, false },

    // D5, then E5 left to ring until the string is damped.
    { 12.0f, 1.0f, { 50, 57, 62 }, 3, 1.0f, false },
    { 13.0f, 3.0f, { 40, 47, 52 }, 3, 1.0f, false },
};

constexpr juce::int64 seed = 0x2710;
constexpr double strumSecondsPerString = 0.006;
constexpr double timingSpreadSeconds = 0.003;
constexpr double releaseDecaySeconds = 0.06; // the fretting hand lifts: 60 dB in this time
constexpr double releaseRingSeconds = 0.15;
constexpr double pickPosition = 0.13; // fraction of the string length from the bridge

double noteFrequency (int midiNote)
{
    return 440.0 * std::pow (2.0, (midiNote - 69) / 12.0);
}

double loopGainFor (double decaySeconds, double frequency)
{
    // Gain per round trip so that the fundamental falls by 60 dB in decaySeconds.
    return std::pow (10.0, -3.0 / (decaySeconds * frequency));
}

// One plucked string (extended Karplus-Strong): a delay line closed through a two-point
// average (the string's losses, rising with frequency) and a first-order allpass that tunes
// the fractional part of the period. The pick excites it with a band-limited noise burst
// combed at the pick position, and clicks a little on its own.
void pluck (std::vector<double>& out, double sampleRate, juce::int64 start, juce::int64 heldSamples, double frequency, float velocity, bool palmMuted, juce::Random& random)
{
    const auto period = sampleRate / frequency;

    // Line length plus the average's half sample plus an allpass delay kept within 0.1 to 1.1.
    const auto lineLength = juce::jmax (2, (int) std::floor (period - 0.6));
    const auto allpassDelay = period - 0.5 - lineLength;
    const auto allpass = (1.0 - allpassDelay) / (1.0 + allpassDelay);

    const auto sustain = palmMuted ? 0.15 : 2.0 + 200.0 / frequency;
    const auto heldGain = loopGainFor (sustain, frequency);
    const auto releasedGain = loopGainFor (releaseDecaySeconds, frequency);

    // The excitation: one period of noise, darker for a muted or softer pick.
    const auto brightness = palmMuted ? 2000.0 : 2500.0 + 3500.0 * velocity;
    const auto smoothing = std::exp (-juce::MathConstants<double>::twoPi * juce::jmin (brightness, 0.45 * sampleRate) / sampleRate);
    const auto combDelay = juce::jmax (1, juce::roundToInt (pickPosition * period));

    std::vector<double> noise ((size_t) lineLength);
    double state = 0.0;

    for (auto& n : noise)
    {
        state = (1.0 - smoothing) * (2.0 * random.nextDouble() - 1.0) + smoothing * state;
        n = state;
    }

    std::vector<double> excitation ((size_t) lineLength);

    for (int i = 0; i < lineLength; ++i)
        excitation[(size_t) i] = velocity * (noise[(size_t) i] - (i >= combDelay ? noise[(size_t) (i - combDelay)] : 0.0));

    // The pick's own click: a few milliseconds of differentiated noise.
    const auto clickSamples = (juce::int64) (0.003 * sampleRate);
    const auto clickLevel = 0.08 * velocity;
    double lastClickNoise = 0.0;

    std::vector<double> line ((size_t) lineLength, 0.0);
    size_t position = 0;
    double previous = 0.0, allpassIn = 0.0, allpassOut = 0.0;

    const auto total = juce::jmin ((juce::int64) out.size() - start, heldSamples + (juce::int64) (releaseRingSeconds * sampleRate));

    for (juce::int64 n = 0; n < total; ++n)
    {
        const auto delayed = line[position];
        const auto averaged = 0.5 * (delayed + previous);
        previous = delayed;

        const auto tuned = allpass * averaged + allpassIn - allpass * allpassOut;
        allpassIn = averaged;
        allpassOut = tuned;

        auto y = (n < heldSamples ? heldGain : releasedGain) * tuned;

        if (n < lineLength)
            y += excitation[(size_t) n];

        line[position] = y;
        position = (position + 1) % line.size();

        auto sample = y;

        if (n < clickSamples)
        {
            const auto clickNoise = 2.0 * random.nextDouble() - 1.0;
            sample += clickLevel * (clickNoise - lastClickNoise) * (1.0 - (double) n / (double) clickSamples);
            lastClickNoise = clickNoise;
        }

        out[(size_t) (start + n)] += sample;
    }
}

// The pickup and cable: a gentle resonant low-pass (a second-order section), then a DC block.
void pickupResponse (std::vector<double>& signal, double sampleRate)
{
    const auto cutoff = juce::jmin (5000.0, 0.45 * sampleRate);
    const auto q = 1.1;
    const auto w = juce::MathConstants<double>::twoPi * cutoff / sampleRate;
    const auto alpha = std::sin (w) / (2.0 * q);
    const auto cosW = std::cos (w);
    const auto a0 = 1.0 + alpha;
    const auto b0 = (1.0 - cosW) / 2.0 / a0, b1 = (1.0 - cosW) / a0, b2 = b0;
    const auto a1 = -2.0 * cosW / a0, a2 = (1.0 - alpha) / a0;

    double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
    const auto dcPole = std::exp (-juce::MathConstants<double>::twoPi * 20.0 / sampleRate);
    double dcIn = 0.0, dcOut = 0.0;

    for (auto& s : signal)
    {
        const auto y = b0 * s + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = s;
        y2 = y1;
        y1 = y;

        dcOut = y - dcIn + dcPole * dcOut;
        dcIn = y;
        s = dcOut;
    }
}
} // namespace

juce::AudioBuffer<float> DemoRiff::render (double sampleRate)
{
    const auto numSamples = (int) std::llround (getLengthSeconds() * sampleRate);
    const auto secondsPerBeat = 60.0 / beatsPerMinute;

    std::vector<double> signal ((size_t) numSamples, 0.0);
    juce::Random random (seed);

    for (const auto& note : riff)
    {
        const auto noteStart = leadInSeconds + note.beat * secondsPerBeat + timingSpreadSeconds * (2.0 * random.nextDouble() - 1.0);

        for (int s = 0; s < note.numPitches; ++s)
        {
            // A down stroke reaches the higher strings a little later and a little softer.
            const auto start = noteStart + s * strumSecondsPerString;
            const auto velocity = note.velocity * (float) (1.0 - 0.08 * s) * (float) (0.92 + 0.08 * random.nextDouble());
            const auto startSample = juce::jlimit ((juce::int64) 0, (juce::int64) numSamples, (juce::int64) std::llround (start * sampleRate));
            const auto held = (juce::int64) std::llround ((note.beats * secondsPerBeat - s * strumSecondsPerString) * sampleRate);

            pluck (signal, sampleRate, startSample, held, noteFrequency (note.pitches[s]), velocity, note.palmMuted, random);
        }
    }

    pickupResponse (signal, sampleRate);

    double peak = 0.0;

    for (auto s : signal)
        peak = juce::jmax (peak, std::abs (s));

    const auto gain = peak > 0.0 ? juce::Decibels::decibelsToGain ((double) peakDecibels) / peak : 0.0;

    juce::AudioBuffer<float> result (1, numSamples);
    auto* data = result.getWritePointer (0);

    for (int i = 0; i < numSamples; ++i)
        data[i] = (float) (signal[(size_t) i] * gain);

    return result;
}
