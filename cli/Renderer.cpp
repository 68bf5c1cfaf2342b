#include "cli/Renderer.h"

#include "cli/AudioFileTypes.h"
#include "cli/DemoRiff.h"
#include "cli/FileIdentity.h"
#include "cli/ProcessorSetup.h"
#include "processor/VardekoQX2710AudioProcessor.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
// Writes through a temporary sibling that replaces the target only when complete, so a
// failed render never leaves a truncated file or destroys an older one.
class OutputFile
{
public:
    explicit OutputFile (const juce::File& target)
        : file (target)
        , temporary (target, juce::TemporaryFile::useHiddenFile)
    {
    }

    RenderStatus open (double sampleRate, int numChannels, SampleFormat format)
    {
        auto type = AudioFileTypes::fromExtension (file);
        auto audioFormat = AudioFileTypes::createFormat (type);
        std::unique_ptr<juce::OutputStream> stream (temporary.getFile().createOutputStream());

        if (audioFormat == nullptr || stream == nullptr)
            return RenderStatus::failure ("cannot write output file: " + file.getFullPathName());

        writer.reset (audioFormat->createWriterFor (stream.get(), sampleRate, (unsigned int) numChannels, AudioFileTypes::writerBitsPerSample (format), {}, 0));

        if (writer == nullptr)
            return RenderStatus::failure ("cannot write " + format.describe() + " " + AudioFileTypes::getName (type)
                                          + " at " + juce::String (sampleRate) + " Hz: " + file.getFullPathName());

        stream.release(); // the writer owns it now
        sampleFormat = format;
        return RenderStatus::ok();
    }

    RenderStatus write (const juce::AudioBuffer<float>& buffer, int start, int numSamples)
    {
        if (numSamples <= 0)
            return RenderStatus::ok();

        const bool written = sampleFormat.isFloat ? writer->writeFromAudioSampleBuffer (buffer, start, numSamples)
                                                  : writeRounded (buffer, start, numSamples);

        if (! written)
            return RenderStatus::failure ("writing failed (disk full?): " + file.getFullPathName());

        return RenderStatus::ok();
    }

    RenderStatus commit()
    {
        writer.reset(); // completes the header and closes the stream

        if (! temporary.overwriteTargetFileWithTemporary())
            return RenderStatus::failure ("cannot replace output file: " + file.getFullPathName());

        return RenderStatus::ok();
    }

private:
    // The framework's own conversion scales by 2^31 - 1 and truncates to the file's depth, so
    // a file read and written unchanged loses a least significant bit in about half of its
    // samples. Rounding to the depth here keeps unchanged samples exact; the writer then only
    // shifts the left-justified values.
    bool writeRounded (const juce::AudioBuffer<float>& buffer, int start, int numSamples)
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

    juce::File file;
    juce::TemporaryFile temporary;
    std::unique_ptr<juce::AudioFormatWriter> writer;
    SampleFormat sampleFormat;
    std::vector<std::vector<int>> integerSamples;
};

RenderStatus writeWholeBuffer (const juce::File& target, const juce::AudioBuffer<float>& buffer, double sampleRate, SampleFormat format)
{
    OutputFile file (target);

    if (auto status = file.open (sampleRate, buffer.getNumChannels(), format); status.failed())
        return status;

    if (auto status = file.write (buffer, 0, buffer.getNumSamples()); status.failed())
        return status;

    return file.commit();
}
} // namespace

//==============================================================================
// Where the samples come from: an input file or the demo riff in memory.
struct Renderer::Source
{
    double sampleRate = 0.0;
    int numChannels = 0;
    juce::int64 length = 0;
    SampleFormat format;

    juce::AudioFormatManager formats;
    std::unique_ptr<juce::AudioFormatReader> reader;
    juce::AudioBuffer<float> memory;

    // Fills channels 0..numChannels-1 of the buffer from position start.
    void read (juce::AudioBuffer<float>& buffer, int numSamples, juce::int64 start)
    {
        if (reader != nullptr)
            reader->read (&buffer, 0, numSamples, start, true, true);
        else
            for (int ch = 0; ch < numChannels; ++ch)
                buffer.copyFrom (ch, 0, memory, ch, (int) start, numSamples);

        // The reader copies a mono file into every channel; an output-only channel starts
        // silent, as a host hands it over.
        for (int ch = numChannels; ch < buffer.getNumChannels(); ++ch)
            buffer.clear (ch, 0, numSamples);
    }
};

//==============================================================================
juce::String RenderSummary::describe() const
{
    const auto seconds = sampleRate > 0.0 ? (double) frames / sampleRate : 0.0;
    const auto peakText = peak > 0.0f ? juce::String (juce::Decibels::gainToDecibels (peak), 1) + " dBFS" : juce::String ("-inf dBFS");

    return "Rendered " + juce::String (frames) + " frames (" + juce::String (seconds, 3) + " s at " + juce::String (sampleRate) + " Hz)"
           + " through " + circuit + (effectOn ? "" : " (switched off)") + ", " + oversampling
           + " -> " + output.getFullPathName()
           + " (" + format.describe() + ", " + (numChannels == 1 ? "mono" : "stereo") + ", peak " + peakText + ")";
}

//==============================================================================
Renderer::Renderer (const RenderOptions& renderOptions)
    : options (renderOptions)
{
}

void Renderer::warn (const juce::String& text)
{
    if (onWarning)
        onWarning (text);
}

RenderStatus Renderer::openInput (Source& source)
{
    const auto& input = options.input;
    const auto path = input.getFullPathName();

    if (input.isDirectory())
        return RenderStatus::failure ("input is a folder: " + path);

    if (! input.existsAsFile())
        return RenderStatus::failure ("input file not found: " + path);

    auto stream = input.createInputStream();

    if (stream == nullptr)
        return RenderStatus::failure ("cannot read input file: " + path);

    AudioFileTypes::registerReadableFormats (source.formats);
    source.reader.reset (source.formats.createReaderFor (std::move (stream)));

    auto* reader = source.reader.get();
    const auto supportedDepth = reader != nullptr
                                && (reader->usesFloatingPointData ? reader->bitsPerSample == 32
                                                                  : (reader->bitsPerSample == 8 || reader->bitsPerSample == 16
                                                                     || reader->bitsPerSample == 24 || reader->bitsPerSample == 32));

    if (! supportedDepth || ! (reader->sampleRate > 0.0) || reader->lengthInSamples < 0)
        return RenderStatus::failure ("unsupported input format (WAV or AIFF, 8 to 32-bit integer or 32-bit float): " + path);

    if (reader->numChannels > 2)
        return RenderStatus::failure ("unsupported input: " + juce::String (reader->numChannels) + " channels (mono or stereo only): " + path);

    source.sampleRate = reader->sampleRate;
    source.numChannels = (int) reader->numChannels;
    source.length = reader->lengthInSamples;
    source.format = reader->usesFloatingPointData ? SampleFormat::floatingPoint() : SampleFormat::integer ((int) reader->bitsPerSample);
    return RenderStatus::ok();
}

RenderStatus Renderer::checkOutput (const juce::File& file) const
{
    const auto folder = file.getParentDirectory();

    if (! options.demo && FileIdentity::refersToSameFile (options.input, file))
        return RenderStatus::usage ("refusing to overwrite the input file: " + file.getFullPathName());

    if (! folder.isDirectory())
        return RenderStatus::failure ("output folder does not exist: " + folder.getFullPathName());

    if (file.isDirectory())
        return RenderStatus::failure ("output is a folder: " + file.getFullPathName());

    if (! folder.hasWriteAccess())
        return RenderStatus::failure ("output folder is not writable: " + folder.getFullPathName());

    return RenderStatus::ok();
}

RenderStatus Renderer::run()
{
    summary = {};
    Source source;

    if (options.demo)
    {
        source.sampleRate = (double) options.demoRate;
        source.numChannels = 1;
        source.format = SampleFormat::integer (24);
    }
    else if (auto status = openInput (source); status.failed())
    {
        return status;
    }

    if (auto status = checkOutput (options.output); status.failed())
        return status;

    if (options.demoDry != juce::File())
    {
        if (FileIdentity::refersToSameFile (options.demoDry, options.output))
            return RenderStatus::usage ("--demo-dry and the output are the same file: " + options.output.getFullPathName());

        if (auto status = checkOutput (options.demoDry); status.failed())
            return status;
    }

    if (options.demo)
    {
        source.memory = DemoRiff::render (source.sampleRate);
        source.length = source.memory.getNumSamples();
    }

    // The settings come before anything is written, so a bad preset leaves no files behind.
    auto processor = std::make_unique<VardekoQX2710AudioProcessor>();

    if (auto status = setUpProcessor (*processor, source.numChannels); status.failed())
        return status;

    // Explicit depths were checked against the output type with the command line.
    const auto type = AudioFileTypes::fromExtension (options.output);
    auto format = options.sampleFormat.value_or (source.format);

    if (! AudioFileTypes::canWrite (type, format))
    {
        const auto closest = AudioFileTypes::closestWritable (type, format);
        warn ("warning: " + AudioFileTypes::getName (type) + " files cannot hold " + format.describe() + " samples; writing " + closest.describe());
        format = closest;
    }

    summary.format = format;

    if (options.demoDry != juce::File())
    {
        const auto dryType = AudioFileTypes::fromExtension (options.demoDry);
        const auto dryFormat = AudioFileTypes::closestWritable (dryType, format);

        if (auto status = writeWholeBuffer (options.demoDry, source.memory, source.sampleRate, dryFormat); status.failed())
            return status;
    }

    return process (source, *processor);
}

RenderStatus Renderer::setUpProcessor (VardekoQX2710AudioProcessor& processor, int inputChannels)
{
    const auto outputChannels = options.stereoOutput ? 2 : inputChannels;

    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (juce::AudioChannelSet::canonicalChannelSet (inputChannels));
    layout.outputBuses.add (juce::AudioChannelSet::canonicalChannelSet (outputChannels));

    if (! processor.setBusesLayout (layout))
        return RenderStatus::failure ("the processor does not take " + juce::String (inputChannels) + " input and "
                                      + juce::String (outputChannels) + " output channels");

    juce::StringArray warnings;

    if (auto status = ProcessorSetup::apply (processor, options, warnings); status.failed())
        return status;

    for (const auto& w : warnings)
        warn (w);

    return RenderStatus::ok();
}

RenderStatus Renderer::process (Source& source, VardekoQX2710AudioProcessor& processor)
{
    const auto inputChannels = source.numChannels;
    const auto outputChannels = processor.getTotalNumOutputChannels();
    const auto blockSize = options.blockSize;
    const auto rate = source.sampleRate;

    // After the settings: prepareToPlay applies the circuit and factor without the timer.
    processor.setNonRealtime (true);
    processor.setRateAndBufferSizeDetails (rate, options.getAnnouncedBlockSize());
    processor.prepareToPlay (rate, options.getAnnouncedBlockSize());

    OutputFile output (options.output);

    if (auto status = output.open (rate, outputChannels, summary.format); status.failed())
        return status;

    // A processor reporting latency is fed that much silence at the end, and the same amount
    // is dropped from the start, so the output lines up with the input and is as long.
    const auto latency = (juce::int64) juce::jmax (0, processor.getLatencySamples());
    const auto total = source.length;

    juce::AudioBuffer<float> block (juce::jmax (inputChannels, outputChannels), blockSize);
    juce::MidiBuffer midi;
    float peak = 0.0f;
    juce::int64 processed = 0, written = 0;

    while (written < total)
    {
        const auto n = (int) std::min ((juce::int64) blockSize, total + latency - processed);
        const auto fromSource = (int) juce::jlimit ((juce::int64) 0, (juce::int64) n, total - processed);

        block.clear();

        if (fromSource > 0)
            source.read (block, fromSource, processed);

        // A host hands over exactly n samples; the view shares the block's memory.
        juce::AudioBuffer<float> view (block.getArrayOfWritePointers(), block.getNumChannels(), n);
        processor.processBlock (view, midi);

        const auto skip = (int) juce::jlimit ((juce::int64) 0, (juce::int64) n, latency - processed);
        const auto keep = (int) std::min ((juce::int64) (n - skip), total - written);

        for (int ch = 0; ch < outputChannels; ++ch)
            peak = juce::jmax (peak, view.getMagnitude (ch, skip, keep));

        if (auto status = output.write (view, skip, keep); status.failed())
            return status;

        processed += n;
        written += keep;

        if (onProgress)
            onProgress (total > 0 ? (double) written / (double) total : 1.0);
    }

    if (total == 0 && onProgress)
        onProgress (1.0);

    if (auto status = output.commit(); status.failed())
        return status;

    summary.frames = written;
    summary.sampleRate = rate;
    summary.numChannels = outputChannels;
    summary.circuit = processor.getParameterText (HostParameters::overdriveType);
    summary.oversampling = processor.getParameterText (HostParameters::oversampling);
    summary.effectOn = processor.getParameter (HostParameters::onBypass) > 0.0f;
    summary.peak = peak;
    summary.output = options.output;

    processor.releaseResources();
    return RenderStatus::ok();
}
