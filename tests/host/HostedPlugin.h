#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

// One plug-in instance loaded from disk, driven the way a host drives it: blocks of audio on
// this thread, values set through the host's parameters, the message loop run in between so
// that values and the plug-in's deferred changes can travel.
class HostedPlugin
{
public:
    static constexpr double sampleRate = 48000.0;
    static constexpr int blockSize = 512;

    // Null with a reason in error when the format cannot create it.
    static std::unique_ptr<HostedPlugin> create (juce::AudioPluginFormat& format,
                                                 const juce::PluginDescription& description,
                                                 juce::String& error);

    ~HostedPlugin();

    juce::AudioPluginInstance& get() noexcept { return *instance; }

    // The channels of the layout the plug-in came with, before the host enabled its buses.
    int getDefaultInputChannels() const noexcept { return defaultInputChannels; }
    int getDefaultOutputChannels() const noexcept { return defaultOutputChannels; }

    // False when the plug-in has no audio channels at all: a host must not run it then.
    bool canProcess() const;

    // Prepares the processor for the layout it has now (after a layout change as well).
    void prepare();

    // The host-side parameter with this name; null when there is none.
    juce::AudioProcessorParameter* findParameter (const juce::String& name) const;

    // Sets a value as a host's automation does. Returns false when the parameter is missing.
    bool setValue (const juce::String& name, float value);
    float getValue (const juce::String& name) const;
    juce::String getText (const juce::String& name) const;

    // Runs the buffer through the plug-in in place, in blocks of blockSize.
    void process (juce::AudioBuffer<float>& buffer);
    void processSilence (int numBlocks);

    // Lets changes travel both ways between host and plug-in: a couple of blocks, the message
    // loop for the given time, and a couple more blocks.
    void settle (int milliseconds);

    // The plug-in's own document from the host's saved state; null when it cannot be found.
    std::unique_ptr<juce::XmlElement> readPatchDocument();

    // Runs the message loop of this thread.
    static void runMessageLoop (int milliseconds);

private:
    explicit HostedPlugin (std::unique_ptr<juce::AudioPluginInstance> instanceToUse);

    std::unique_ptr<juce::AudioPluginInstance> instance;
    juce::AudioBuffer<float> block;
    juce::MidiBuffer midi;
    bool prepared = false;
    int defaultInputChannels = 0;
    int defaultOutputChannels = 0;
};
