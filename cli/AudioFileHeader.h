#pragma once

#include <juce_core/juce_core.h>

#include <memory>

// What a WAV, RF64, AIFF or AIFF-C header says about the audio, read here instead of by the
// framework's readers: those also parse every metadata chunk, trusting its size (a chunk
// announcing 4 GB makes them allocate 4 GB) and its contents. Only the chunks that describe
// the audio are read; every size is checked against the file.
//
// The framework's reader then decodes the samples behind a minimal header written by
// makeDecodableStream, so it never sees the file's own chunks.
struct AudioFileHeader
{
    enum class Container
    {
        wav,
        aiff
    };

    Container container = Container::wav;
    bool isFloat = false;
    bool bigEndian = false;
    int numChannels = 0; // as stored: 0 to 65535
    int bitsPerSample = 0;
    double sampleRate = 0.0;

    juce::int64 dataStart = 0; // byte offset of the first frame
    juce::int64 dataBytes = 0; // the size of the audio data chunk, as its header claims
    juce::int64 announcedFrames = 0; // the frames the header claims; may exceed the file, or be negative (RF64)

    // The frames that both the frame count and the data chunk's size allow.
    juce::int64 getFramesInDataChunk() const noexcept;

    int getBytesPerFrame() const noexcept { return numChannels * (bitsPerSample / 8); }

    // Reads the header from the start of the stream. On failure the result carries nothing
    // and problem is the message ("damaged input: no format chunk").
    static AudioFileHeader read (juce::InputStream& stream, juce::String& problem);

    // A stream that the framework's WAV or AIFF reader decodes: a minimal header of this
    // header's format announcing exactly numFrames, followed by those frames of the source.
    std::unique_ptr<juce::InputStream> makeDecodableStream (std::unique_ptr<juce::InputStream> source, juce::int64 numFrames) const;

    // How many chunks are looked through for the format and the data; a file with more before
    // its audio is refused rather than walked for ever.
    static constexpr int maximumChunks = 10000;
};
