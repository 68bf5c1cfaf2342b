#include "cli/Renderer.h"

#include "cli/AudioFileTypes.h"
#include "cli/DemoRiff.h"
#include "cli/FileIdentity.h"
#include "cli/InputFile.h"
#include "cli/OutputFile.h"
#include "cli/ProcessorSetup.h"
#include "processor/VardekoQX2710AudioProcessor.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
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

    InputFile file;
    juce::AudioBuffer<float> memory;

    // Fills channels 0..numChannels-1 of the buffer from position start; the others start
    // silent, as a host hands an output-only channel over.
    void read (juce::AudioBuffer<float>& buffer, int numSamples, juce::int64 start)
    {
        if (memory.getNumChannels() == 0)
        {
            file.read (buffer, numSamples, start);
            return;
        }

        for (int ch = 0; ch < numChannels; ++ch)
            buffer.copyFrom (ch, 0, memory, ch, (int) start, numSamples);

        for (int ch = numChannels; ch < buffer.getNumChannels(); ++ch)
            buffer.clear (ch, 0, numSamples);
    }
};

//==============================================================================
juce::int64 Renderer::getPreRollLength (double sampleRate)
{
    return VardekoQX2710AudioProcessor::getStartFadeLength (sampleRate);
}

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

    juce::StringArray warnings;

    if (auto status = source.file.open (input.createInputStream(), path, warnings); status.failed())
        return status;

    for (const auto& w : warnings)
        warn (w);

    source.sampleRate = source.file.getSampleRate();
    source.numChannels = source.file.getNumChannels();
    source.length = source.file.getLength();
    source.format = source.file.getFormat();
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

    // Each circuit fades itself in when it starts. That fade runs on silence before the first
    // sample, as in a host that was already playing, so a note at time 0 keeps its attack.
    for (juce::int64 done = 0, preRoll = getPreRollLength (rate); done < preRoll;)
    {
        const auto n = (int) std::min ((juce::int64) blockSize, preRoll - done);
        block.clear();
        juce::AudioBuffer<float> view (block.getArrayOfWritePointers(), block.getNumChannels(), n);
        processor.processBlock (view, midi);
        done += n;
    }

    float peak = 0.0f;
    juce::int64 clipped = 0;
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
        {
            peak = juce::jmax (peak, view.getMagnitude (ch, skip, keep));
            const auto* samples = view.getReadPointer (ch, skip);

            for (int i = 0; i < keep; ++i)
                clipped += std::abs (samples[i]) >= 1.0f ? 1 : 0;
        }

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

    if (clipped > 0)
        warn ("warning: the output clips: " + juce::String (clipped) + (clipped == 1 ? " sample" : " samples") + " at or beyond full scale (peak +"
              + juce::String (juce::Decibels::gainToDecibels (peak), 1) + " dBFS)");

    summary.frames = written;
    summary.sampleRate = rate;
    summary.numChannels = outputChannels;
    summary.circuit = processor.getParameterText (HostParameters::overdriveType);
    summary.oversampling = processor.getParameterText (HostParameters::oversampling);
    summary.effectOn = processor.getParameter (HostParameters::onBypass) > 0.0f;
    summary.peak = peak;
    summary.clippedSamples = clipped;
    summary.output = options.output;

    processor.releaseResources();
    return RenderStatus::ok();
}
