#pragma once

#include "cli/RenderStatus.h"
#include "cli/SampleFormat.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>
#include <vector>

// Writes an audio file through a hidden temporary sibling that replaces the target only when
// everything has reached the disk: every write, the header the writer completes when it
// closes, and the final flush are checked. On any failure, and when the object goes away
// uncommitted, the temporary file is removed and an existing target stays as it was.
class OutputFile
{
public:
    explicit OutputFile (const juce::File& target);
    ~OutputFile();

    RenderStatus open (double sampleRate, int numChannels, SampleFormat format);
    RenderStatus write (const juce::AudioBuffer<float>& buffer, int start, int numSamples);
    RenderStatus commit();

    juce::File getTemporaryFile() const { return temporary.getFile(); }

private:
    class CheckedStream;

    RenderStatus writeFailure() const;
    void discard();

    // The framework's own conversion scales by 2^31 - 1 and truncates to the file's depth, so
    // a file read and written unchanged loses a least significant bit in about half of its
    // samples. Rounding to the depth here keeps unchanged samples exact; the writer then only
    // shifts the left-justified values.
    bool writeRounded (const juce::AudioBuffer<float>& buffer, int start, int numSamples);

    juce::File file;
    juce::TemporaryFile temporary;
    int cleanupSlot = -1;

    // Unbuffered, so that every write reaches the system and reports its own result.
    std::unique_ptr<juce::FileOutputStream> stream;
    bool streamFailed = false;
    std::unique_ptr<juce::AudioFormatWriter> writer;

    SampleFormat sampleFormat;
    std::vector<std::vector<int>> integerSamples;

    JUCE_DECLARE_NON_COPYABLE (OutputFile)
};
