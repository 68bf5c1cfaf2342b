#include "cli/OutputFile.h"

#include "cli/AudioFileTypes.h"
#include "cli/InterruptCleanup.h"

#include <cmath>

// What the framework's writer writes through. The writer ignores the results of the writes it
// makes while closing (the completed header), so they are recorded here.
class OutputFile::CheckedStream : public juce::OutputStream
{
public:
    CheckedStream (juce::FileOutputStream& target, bool& failedFlag)
        : stream (target)
        , failed (failedFlag)
    {
    }

    void flush() override {}
    juce::int64 getPosition() override { return stream.getPosition(); }
    bool setPosition (juce::int64 position) override { return check (stream.setPosition (position)); }
    bool write (const void* data, size_t numBytes) override
    {
        const auto before = stream.getPosition();

        if (stream.write (data, numBytes))
            return true;

        // A write that stops part-way sets no error: writing the rest shows why it stopped
        // ("No space left on device"), or completes it.
        const auto done = (size_t) (stream.getPosition() - before);

        if (! stream.getStatus().failed() && done > 0 && done < numBytes)
            return check (stream.write (static_cast<const char*> (data) + done, numBytes - done));

        return check (false);
    }

private:
    bool check (bool ok) noexcept
    {
        failed = failed || ! ok;
        return ok;
    }

    juce::FileOutputStream& stream;
    bool& failed;
};

//==============================================================================
OutputFile::OutputFile (const juce::File& target)
    : file (target)
    , temporary (target, juce::TemporaryFile::useHiddenFile)
{
}

OutputFile::~OutputFile()
{
    discard();
}

void OutputFile::discard()
{
    writer.reset();
    stream.reset();
    temporary.deleteTemporaryFile();
    InterruptCleanup::remove (cleanupSlot);
    cleanupSlot = -1;
}

RenderStatus OutputFile::writeFailure() const
{
    const auto reason = stream != nullptr && stream->getStatus().failed() ? stream->getStatus().getErrorMessage()
                                                                         : juce::String ("the system took only part of the data");
    return RenderStatus::failure ("writing failed (" + reason + "): " + file.getFullPathName());
}

RenderStatus OutputFile::open (double sampleRate, int numChannels, SampleFormat format)
{
    const auto type = AudioFileTypes::fromExtension (file);
    auto audioFormat = AudioFileTypes::createFormat (type);

    // Registered before the file exists: an interruption in between has nothing to remove.
    cleanupSlot = InterruptCleanup::add (temporary.getFile());
    stream = std::make_unique<juce::FileOutputStream> (temporary.getFile(), 0);

    if (audioFormat == nullptr || stream->failedToOpen())
    {
        discard();
        return RenderStatus::failure ("cannot write output file: " + file.getFullPathName());
    }

    auto checked = std::make_unique<CheckedStream> (*stream, streamFailed);
    writer.reset (audioFormat->createWriterFor (checked.get(), sampleRate, (unsigned int) numChannels, AudioFileTypes::writerBitsPerSample (format), {}, 0));

    if (writer == nullptr)
    {
        discard();
        return RenderStatus::failure ("cannot write " + format.describe() + " " + AudioFileTypes::getName (type)
                                      + " at " + juce::String (sampleRate) + " Hz: " + file.getFullPathName());
    }

    checked.release(); // the writer owns it now
    sampleFormat = format;

    // The writer has written its first header.
    if (streamFailed)
    {
        const auto status = writeFailure();
        discard();
        return status;
    }

    return RenderStatus::ok();
}

RenderStatus OutputFile::write (const juce::AudioBuffer<float>& buffer, int start, int numSamples)
{
    if (numSamples <= 0)
        return RenderStatus::ok();

    const bool written = sampleFormat.isFloat ? writer->writeFromAudioSampleBuffer (buffer, start, numSamples)
                                              : writeRounded (buffer, start, numSamples);

    if (! written || streamFailed)
    {
        const auto status = writeFailure();
        discard();
        return status;
    }

    return RenderStatus::ok();
}

RenderStatus OutputFile::commit()
{
    writer.reset(); // completes the header

    if (streamFailed)
    {
        const auto status = writeFailure();
        discard();
        return status;
    }

    // Down to the disk before the old file is replaced, so that a crash cannot leave a
    // target whose blocks were never written.
    stream->flush();

    if (stream->getStatus().failed())
    {
        const auto status = RenderStatus::failure ("writing failed (" + stream->getStatus().getErrorMessage() + "): " + file.getFullPathName());
        discard();
        return status;
    }

    stream.reset();

    if (! temporary.overwriteTargetFileWithTemporary())
    {
        discard();
        return RenderStatus::failure ("cannot replace output file: " + file.getFullPathName());
    }

    InterruptCleanup::remove (cleanupSlot);
    cleanupSlot = -1;
    return RenderStatus::ok();
}

bool OutputFile::writeRounded (const juce::AudioBuffer<float>& buffer, int start, int numSamples)
{
    const auto numChannels = (int) writer->getNumChannels();
    const auto bits = sampleFormat.bitsPerSample;
    const auto scale = std::ldexp (1.0, bits - 1);
    const auto unit = (juce::int64) 1 << (32 - bits);

    integerSamples.resize ((size_t) numChannels);
    std::vector<const int*> channels;

    for (int ch = 0; ch < numChannels; ++ch)
    {
        auto& destination = integerSamples[(size_t) ch];
        destination.resize ((size_t) numSamples);
        const auto* source = buffer.getReadPointer (ch, start);

        for (int i = 0; i < numSamples; ++i)
        {
            const auto x = std::isfinite (source[i]) ? (double) source[i] : 0.0;
            const auto level = (juce::int64) juce::jlimit (-scale, scale - 1.0, std::round (x * scale));
            destination[(size_t) i] = (int) (level * unit);
        }

        channels.push_back (destination.data());
    }

    channels.push_back (nullptr);
    return writer->write (channels.data(), numSamples);
}
