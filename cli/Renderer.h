#pragma once

#include "cli/RenderOptions.h"

#include <functional>

class VardekoQX2710AudioProcessor;

// What a finished render did, for the closing line.
struct RenderSummary
{
    juce::int64 frames = 0;
    double sampleRate = 0.0;
    int numChannels = 0;
    SampleFormat format;
    juce::String circuit;
    juce::String oversampling;
    bool effectOn = true;
    float peak = 0.0f;
    juce::int64 clippedSamples = 0; // output samples at or beyond full scale
    juce::File output;

    juce::String describe() const;
};

// Renders an input file, or the demo riff, through the plug-in's processor into an output
// file, block by block as a host would: bus layout, settings, prepareToPlay, processBlock.
class Renderer
{
public:
    explicit Renderer (const RenderOptions& options);

    // Called after every block with the share done, 0..1.
    std::function<void (double)> onProgress;

    // Lines that do not stop the render, as they arise.
    std::function<void (const juce::String&)> onWarning;

    RenderStatus run();

    const RenderSummary& getSummary() const noexcept { return summary; }

    // The silence processed before the first sample: the circuits' start-up fade.
    static juce::int64 getPreRollLength (double sampleRate);

private:
    struct Source;

    RenderStatus openInput (Source& source);
    RenderStatus checkOutput (const juce::File& file) const;
    RenderStatus setUpProcessor (VardekoQX2710AudioProcessor& processor, int inputChannels);
    RenderStatus process (Source& source, VardekoQX2710AudioProcessor& processor);
    void warn (const juce::String& text);

    RenderOptions options;
    RenderSummary summary;
};
