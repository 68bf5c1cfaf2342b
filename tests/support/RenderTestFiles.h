#pragma once

#include "cli/AudioFileTypes.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <gtest/gtest.h>

#include <cmath>

// Files for the renderer's tests: a scratch folder per test, audio files with a known signal,
// and the decoded contents of what the renderer wrote.
class RenderScratchFolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // A unique name: ctest runs test cases side by side in separate processes.
        folder = juce::File::getSpecialLocation (juce::File::tempDirectory).getChildFile ("vardeko-render-test-" + juce::Uuid().toString());
        ASSERT_TRUE (folder.createDirectory().wasOk());
    }

    void TearDown() override { folder.deleteRecursively(); }

    juce::File folder;
};

struct DecodedAudio
{
    bool valid = false;
    double sampleRate = 0.0;
    int bitsPerSample = 0;
    bool isFloat = false;
    juce::String formatName;
    juce::AudioBuffer<float> samples;
};

inline DecodedAudio decodeAudioFile (const juce::File& file)
{
    juce::AudioFormatManager formats;
    AudioFileTypes::registerReadableFormats (formats);
    std::unique_ptr<juce::AudioFormatReader> reader (formats.createReaderFor (file));
    DecodedAudio result;

    if (reader == nullptr)
        return result;

    result.valid = true;
    result.sampleRate = reader->sampleRate;
    result.bitsPerSample = (int) reader->bitsPerSample;
    result.isFloat = reader->usesFloatingPointData;
    result.formatName = reader->getFormatName();
    result.samples.setSize ((int) reader->numChannels, (int) reader->lengthInSamples);
    reader->read (&result.samples, 0, (int) reader->lengthInSamples, 0, true, true);
    return result;
}

// A tone per channel (220 Hz, 330 Hz) with a slow swell up to 0.9, so that channels and
// blocks can be told apart.
inline juce::AudioBuffer<float> makeTestSignal (int numChannels, int numSamples, double sampleRate)
{
    juce::AudioBuffer<float> signal (numChannels, numSamples);

    for (int ch = 0; ch < numChannels; ++ch)
        for (int i = 0; i < numSamples; ++i)
        {
            const auto t = i / sampleRate;
            const auto swell = 0.6 + 0.4 * std::sin (juce::MathConstants<double>::twoPi * 1.5 * t);
            signal.setSample (ch, i, (float) (0.9 * swell * std::sin (juce::MathConstants<double>::twoPi * 110.0 * (ch + 2) * t)));
        }

    return signal;
}

inline bool writeAudioFile (const juce::File& file, const juce::AudioBuffer<float>& signal, double sampleRate, SampleFormat format)
{
    auto audioFormat = AudioFileTypes::createFormat (AudioFileTypes::fromExtension (file));
    file.deleteFile();
    std::unique_ptr<juce::OutputStream> stream (file.createOutputStream());

    if (audioFormat == nullptr || stream == nullptr)
        return false;

    std::unique_ptr<juce::AudioFormatWriter> writer (audioFormat->createWriterFor (stream.get(), sampleRate, (unsigned int) signal.getNumChannels(), AudioFileTypes::writerBitsPerSample (format), {}, 0));

    if (writer == nullptr)
        return false;

    stream.release();
    return writer->writeFromAudioSampleBuffer (signal, 0, signal.getNumSamples());
}

inline juce::AudioBuffer<float> channelOf (const juce::AudioBuffer<float>& buffer, int channel)
{
    juce::AudioBuffer<float> result (1, buffer.getNumSamples());
    result.copyFrom (0, 0, buffer, channel, 0, buffer.getNumSamples());
    return result;
}

inline float largestDifference (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
{
    float largest = 0.0f;

    for (int ch = 0; ch < std::min (a.getNumChannels(), b.getNumChannels()); ++ch)
        for (int i = 0; i < std::min (a.getNumSamples(), b.getNumSamples()); ++i)
            largest = std::max (largest, std::abs (a.getSample (ch, i) - b.getSample (ch, i)));

    return largest;
}
