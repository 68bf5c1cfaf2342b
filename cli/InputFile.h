#pragma once

#include "cli/AudioFileHeader.h"
#include "cli/RenderStatus.h"
#include "cli/SampleFormat.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>

// An audio file opened for rendering: its header read and checked here (AudioFileHeader), its
// samples decoded by the framework's WAV or AIFF reader behind a minimal header.
//
// A header may announce more audio than the file holds (a download cut short, a recorder that
// never finished its header, or a hostile file announcing days of audio in a few hundred
// bytes). The length is then cut to the frames the file really holds, with a warning. Headers
// whose numbers cannot describe any real file are refused with a message that says what is
// wrong.
class InputFile
{
public:
    static constexpr double minimumSampleRate = 8000.0;
    static constexpr double maximumSampleRate = 768000.0;

    InputFile();
    ~InputFile();

    // Opens the stream (the contents of the file named by path, which is only used in
    // messages). Warnings are added to warnings, one line each.
    RenderStatus open (std::unique_ptr<juce::InputStream> stream, const juce::String& path, juce::StringArray& warnings);

    double getSampleRate() const noexcept { return header.sampleRate; }
    int getNumChannels() const noexcept { return header.numChannels; }
    SampleFormat getFormat() const noexcept;

    // The frames the file really holds, and what its header announced.
    juce::int64 getLength() const noexcept { return length; }
    juce::int64 getAnnouncedLength() const noexcept { return header.announcedFrames; }

    // Fills channels 0..getNumChannels()-1 of the buffer with frames from start on.
    void read (juce::AudioBuffer<float>& buffer, int numSamples, juce::int64 start);

private:
    AudioFileHeader header;
    std::unique_ptr<juce::AudioFormatReader> reader;
    juce::int64 length = 0;

    JUCE_DECLARE_NON_COPYABLE (InputFile)
};
