#pragma once

#include "cli/SampleFormat.h"

#include <juce_audio_formats/juce_audio_formats.h>

#include <memory>

// The file types the renderer reads and writes, WAV and AIFF, and the sample formats that the
// framework's writers can store in each.
class AudioFileTypes
{
public:
    enum class Type
    {
        unknown,
        wav,
        aiff
    };

    // By the file's extension (.wav, .aif, .aiff), ignoring case.
    static Type fromExtension (const juce::File& file);

    static juce::String getName (Type type);

    static std::unique_ptr<juce::AudioFormat> createFormat (Type type);

    // Only WAV and AIFF are read, whatever else the platform could decode, so that the program
    // accepts the same files everywhere.
    static void registerReadableFormats (juce::AudioFormatManager& manager);

    static bool canWrite (Type type, SampleFormat format);

    // The writable format nearest to the one asked for: AIFF has no float samples (24-bit is
    // used), WAV has no 32-bit integer samples (float is used).
    static SampleFormat closestWritable (Type type, SampleFormat format);

    // The sample formats a type can hold, for messages: "8, 16, 24-bit or float".
    static juce::String describeWritable (Type type);

    // The bit depth to hand to the framework's writer; its WAV writer stores 32 bits as float.
    static int writerBitsPerSample (SampleFormat format) { return format.isFloat ? 32 : format.bitsPerSample; }
};
