#include "cli/InputFile.h"

#include "cli/AudioFileTypes.h"

#include <cmath>

namespace
{
juce::String describeRate (double rate)
{
    return std::isfinite (rate) && rate == std::floor (rate) && std::abs (rate) < 1e15 ? juce::String ((juce::int64) rate)
                                                                                       : juce::String (rate);
}

bool isSupportedDepth (const juce::AudioFormatReader& reader)
{
    const auto bits = reader.bitsPerSample;
    return reader.usesFloatingPointData ? bits == 32 : (bits == 8 || bits == 16 || bits == 24 || bits == 32);
}
} // namespace

// Passes everything through and remembers where the reader last moved to: to read the first
// frame, a reader moves to the start of its audio data.
class InputFile::SeekRecorder : public juce::InputStream
{
public:
    explicit SeekRecorder (std::unique_ptr<juce::InputStream> stream)
        : source (std::move (stream))
    {
    }

    juce::int64 getTotalLength() override { return source->getTotalLength(); }
    bool isExhausted() override { return source->isExhausted(); }
    int read (void* destination, int numBytes) override { return source->read (destination, numBytes); }
    juce::int64 getPosition() override { return source->getPosition(); }

    bool setPosition (juce::int64 position) override
    {
        lastTarget = position;
        return source->setPosition (position);
    }

    juce::int64 lastTarget = -1;

private:
    std::unique_ptr<juce::InputStream> source;
};

//==============================================================================
InputFile::InputFile()
{
    AudioFileTypes::registerReadableFormats (formats);
}

InputFile::~InputFile() = default;

double InputFile::getSampleRate() const noexcept { return reader != nullptr ? reader->sampleRate : 0.0; }
int InputFile::getNumChannels() const noexcept { return reader != nullptr ? (int) reader->numChannels : 0; }

SampleFormat InputFile::getFormat() const noexcept
{
    if (reader == nullptr || reader->usesFloatingPointData)
        return SampleFormat::floatingPoint();

    return SampleFormat::integer ((int) reader->bitsPerSample);
}

RenderStatus InputFile::open (std::unique_ptr<juce::InputStream> stream, const juce::String& path, juce::StringArray& warnings)
{
    reader.reset();
    length = announcedLength = 0;

    if (stream == nullptr)
        return RenderStatus::failure ("cannot read input file: " + path);

    const auto fileSize = stream->getTotalLength();
    auto recorder = std::make_unique<SeekRecorder> (std::move (stream));
    auto* seeks = recorder.get();
    std::unique_ptr<juce::AudioFormatReader> opened (formats.createReaderFor (std::move (recorder)));

    if (opened == nullptr)
        return RenderStatus::failure ("unsupported input format (WAV or AIFF, 8 to 32-bit integer or 32-bit float): " + path);

    // Both formats store the channel count in 16 bits, which the readers widen with its sign.
    const auto channels = (int) (juce::uint16) opened->numChannels;

    if (channels == 0 || channels > 2)
        return RenderStatus::failure ("unsupported input: " + juce::String (channels) + " channels (mono or stereo only): " + path);

    if (! isSupportedDepth (*opened))
        return RenderStatus::failure ("unsupported input: " + juce::String (opened->bitsPerSample) + "-bit " + (opened->usesFloatingPointData ? "float" : "integer")
                                      + " samples (8, 16, 24 or 32-bit integer or 32-bit float): " + path);

    const auto rate = opened->sampleRate;

    if (! (rate >= minimumSampleRate && rate <= maximumSampleRate))
        return RenderStatus::failure ("unsupported sample rate: " + describeRate (rate) + " Hz (" + describeRate (minimumSampleRate) + " to "
                                      + describeRate (maximumSampleRate) + " Hz): " + path);

    auto announced = opened->lengthInSamples;

    // An AIFF frame count is unsigned; the reader takes it as signed.
    if (announced < 0 && opened->getFormatName() == juce::AiffAudioFormat().getFormatName())
        announced = (juce::int64) (juce::uint32) announced;

    if (announced < 0)
        return RenderStatus::failure ("the header announces a negative length (" + juce::String (announced) + " frames): " + path);

    auto real = announced;

    if (announced > 0 && fileSize >= 0)
    {
        // Reading one frame shows where the audio data starts.
        opened->lengthInSamples = announced;
        juce::AudioBuffer<float> probe (channels, 1);
        opened->read (&probe, 0, 1, 0, true, channels > 1);
        const auto dataStart = seeks->lastTarget;

        // Every header comes before the data: at least 12 bytes of it in either format.
        if (dataStart < 12)
            return RenderStatus::failure ("the header announces " + juce::String (announced) + " frames but the file has no audio data: " + path);

        if (dataStart > fileSize)
            return RenderStatus::failure ("the header puts the audio data at byte " + juce::String (dataStart) + ", past the end of the file ("
                                          + juce::String (fileSize) + " bytes): " + path);

        const auto bytesPerFrame = (juce::int64) channels * (juce::int64) (opened->bitsPerSample / 8);
        real = std::min (announced, (fileSize - dataStart) / bytesPerFrame);

        if (real < announced)
            warnings.add ("warning: the header announces " + juce::String (announced) + " frames but the file holds " + juce::String (real)
                          + "; rendering those: " + path);
    }

    opened->lengthInSamples = real;
    reader = std::move (opened);
    length = real;
    announcedLength = announced;
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
