#include "cli/InputFile.h"

#include <cmath>

namespace
{
juce::String describeRate (double rate)
{
    return std::isfinite (rate) && rate == std::floor (rate) && std::abs (rate) < 1e15 ? juce::String ((juce::int64) rate)
                                                                                       : juce::String (rate);
}

// A rate read from a header, with its unit, or what it is when it is no number of Hz.
juce::String describeFoundRate (double rate)
{
    if (std::isnan (rate))
        return "not a number";

    if (std::isinf (rate))
        return rate > 0 ? "infinite" : "minus infinite";

    return describeRate (rate) + " Hz";
}

bool isSupportedDepth (const AudioFileHeader& header)
{
    const auto bits = header.bitsPerSample;
    return header.isFloat ? bits == 32 : (bits == 8 || bits == 16 || bits == 24 || bits == 32);
}
} // namespace

InputFile::InputFile() = default;
InputFile::~InputFile() = default;

SampleFormat InputFile::getFormat() const noexcept
{
    return header.isFloat ? SampleFormat::floatingPoint() : SampleFormat::integer (header.bitsPerSample);
}

RenderStatus InputFile::open (std::unique_ptr<juce::InputStream> stream, const juce::String& path, juce::StringArray& warnings)
{
    reader.reset();
    header = {};
    length = 0;

    if (stream == nullptr)
        return RenderStatus::failure ("cannot read input file: " + path);

    juce::String problem;
    const auto found = AudioFileHeader::read (*stream, problem);

    if (problem.isNotEmpty())
        return RenderStatus::failure (problem + ": " + path);

    if (found.numChannels < 1 || found.numChannels > 2)
        return RenderStatus::failure ("unsupported input: " + juce::String (found.numChannels) + " channels (mono or stereo only): " + path);

    if (! isSupportedDepth (found))
        return RenderStatus::failure ("unsupported input: " + juce::String (found.bitsPerSample) + "-bit " + (found.isFloat ? "float" : "integer")
                                      + " samples (8, 16, 24 or 32-bit integer or 32-bit float): " + path);

    if (! (found.sampleRate >= minimumSampleRate && found.sampleRate <= maximumSampleRate))
        return RenderStatus::failure ("unsupported sample rate: " + describeFoundRate (found.sampleRate) + " (" + describeRate (minimumSampleRate) + " to "
                                      + describeRate (maximumSampleRate) + " Hz): " + path);

    if (found.announcedFrames < 0)
        return RenderStatus::failure ("the header announces a negative length (" + juce::String (found.announcedFrames) + " frames): " + path);

    const auto fileSize = stream->getTotalLength();

    if (found.dataStart > fileSize)
        return RenderStatus::failure ("the header puts the audio data at byte " + juce::String (found.dataStart) + ", past the end of the file ("
                                      + juce::String (fileSize) + " bytes): " + path);

    const auto held = (fileSize - found.dataStart) / found.getBytesPerFrame();
    const auto real = juce::jmin (found.getFramesInDataChunk(), held);

    if (real < found.announcedFrames)
        warnings.add ("warning: the header announces " + juce::String (found.announcedFrames) + " frames but the file holds " + juce::String (real)
                      + "; rendering those: " + path);

    std::unique_ptr<juce::AudioFormat> format;

    if (found.container == AudioFileHeader::Container::wav)
        format = std::make_unique<juce::WavAudioFormat>();
    else
        format = std::make_unique<juce::AiffAudioFormat>();

    reader.reset (format->createReaderFor (found.makeDecodableStream (std::move (stream), real).release(), true));

    // The reader sees only the header written for it; anything else is a fault here.
    if (reader == nullptr || reader->lengthInSamples != real || (int) reader->numChannels != found.numChannels
        || (int) reader->bitsPerSample != found.bitsPerSample || reader->usesFloatingPointData != found.isFloat)
    {
        reader.reset();
        return RenderStatus::failure ("cannot decode input file: " + path);
    }

    header = found;
    length = real;
    return RenderStatus::ok();
}

void InputFile::read (juce::AudioBuffer<float>& buffer, int numSamples, juce::int64 start)
{
    reader->read (&buffer, 0, numSamples, start, true, true);

    // The reader copies a mono file into every channel; an output-only channel starts
    // silent, as a host hands it over.
    for (int ch = getNumChannels(); ch < buffer.getNumChannels(); ++ch)
        buffer.clear (ch, 0, numSamples);
}
