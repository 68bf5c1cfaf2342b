#pragma once

#include "cli/RenderStatus.h"
#include "cli/SampleFormat.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>

// An audio file opened for rendering through the framework's WAV and AIFF readers, with what
// their headers announce checked against the file itself.
//
// A header may announce more audio than the file holds (a download cut short, a recorder that
// never finished its header, or a hostile file announcing days of audio in a few hundred
// bytes). The framework's readers would then deliver silence for the whole announced length;
// here the length is cut to the frames the file really holds, with a warning. Headers whose
// numbers cannot describe any real file are refused with a message that says what is wrong.
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

    double getSampleRate() const noexcept;
    int getNumChannels() const noexcept;
    SampleFormat getFormat() const noexcept;

    // The frames the file really holds, and what its header announced.
    juce::int64 getLength() const noexcept { return length; }
    juce::int64 getAnnouncedLength() const noexcept { return announcedLength; }

    // Fills channels 0..getNumChannels()-1 of the buffer with frames from start on.
    void read (juce::AudioBuffer<float>& buffer, int numSamples, juce::int64 start);

private:
    class SeekRecorder;

    juce::AudioFormatManager formats;
    std::unique_ptr<juce::AudioFormatReader> reader;
    juce::int64 length = 0, announcedLength = 0;

    JUCE_DECLARE_NON_COPYABLE (InputFile)
};
