#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

// A short electric guitar riff as it leaves the guitar's output jack (a mono DI signal), so
// that the overdrive can be heard without an input file: palm-muted pedal notes, a few power
// chords and a single-note line, plucked strings with pick noise, at a realistic DI level.
//
// The same sample rate always gives the same samples.
class DemoRiff
{
public:
    static constexpr double defaultSampleRate = 48000.0;
    static constexpr double beatsPerMinute = 140.0;
    static constexpr double leadInSeconds = 0.02;
    static constexpr double tailSeconds = 0.5;
    static constexpr int lengthInBeats = 16;

    // Peak level of the riff: a humbucker DI played firmly peaks around here.
    static constexpr float peakDecibels = -8.0f;

    static double getLengthSeconds() noexcept { return leadInSeconds + lengthInBeats * 60.0 / beatsPerMinute + tailSeconds; }

    static juce::AudioBuffer<float> render (double sampleRate);
};
