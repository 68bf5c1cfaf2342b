#include "tests/host/HostedPlugin.h"

#include "tests/host/PatchReader.h"

std::unique_ptr<HostedPlugin> HostedPlugin::create (juce::AudioPluginFormat& format,
                                                    const juce::PluginDescription& description,
                                                    juce::String& error)
{
    auto instance = format.createInstanceFromDescription (description, sampleRate, blockSize, error);

    if (instance == nullptr)
    {
        if (error.isEmpty())
            error = "no instance";

        return nullptr;
    }

    std::unique_ptr<HostedPlugin> plugin (new HostedPlugin (std::move (instance)));
    plugin->defaultInputChannels = plugin->instance->getTotalNumInputChannels();
    plugin->defaultOutputChannels = plugin->instance->getTotalNumOutputChannels();

    // As JUCE's own plug-in host does: buses that a plug-in declares optional are switched on.
    plugin->instance->enableAllBuses();
    plugin->prepare();
    return plugin;
}

HostedPlugin::HostedPlugin (std::unique_ptr<juce::AudioPluginInstance> instanceToUse)
    : instance (std::move (instanceToUse))
{
}

HostedPlugin::~HostedPlugin()
{
    if (prepared)
        instance->releaseResources();
}

void HostedPlugin::prepare()
{
    if (prepared)
        instance->releaseResources();

    instance->setRateAndBufferSizeDetails (sampleRate, blockSize);
    instance->prepareToPlay (sampleRate, blockSize);
    prepared = true;

    const auto channels = juce::jmax (instance->getTotalNumInputChannels(), instance->getTotalNumOutputChannels(), 1);
    block.setSize (channels, blockSize);
}

bool HostedPlugin::canProcess() const
{
    return instance->getTotalNumInputChannels() + instance->getTotalNumOutputChannels() > 0;
}

juce::AudioProcessorParameter* HostedPlugin::findParameter (const juce::String& name) const
{
    for (auto* parameter : instance->getParameters())
        if (parameter->getName (1024) == name)
            return parameter;

    return nullptr;
}

bool HostedPlugin::setValue (const juce::String& name, float value)
{
    auto* parameter = findParameter (name);

    if (parameter == nullptr)
        return false;

    parameter->beginChangeGesture();
    parameter->setValueNotifyingHost (value);
    parameter->endChangeGesture();
    return true;
}

float HostedPlugin::getValue (const juce::String& name) const
{
    auto* parameter = findParameter (name);
    return parameter != nullptr ? parameter->getValue() : -1.0f;
}

juce::String HostedPlugin::getText (const juce::String& name) const
{
    auto* parameter = findParameter (name);
    return parameter != nullptr ? parameter->getCurrentValueAsText() : juce::String ("<no parameter>");
}

void HostedPlugin::process (juce::AudioBuffer<float>& buffer)
{
    if (! canProcess())
        return;

    const auto channels = juce::jmin (buffer.getNumChannels(), block.getNumChannels());

    for (int start = 0; start < buffer.getNumSamples(); start += blockSize)
    {
        const auto n = juce::jmin (blockSize, buffer.getNumSamples() - start);
        block.clear();

        for (int c = 0; c < channels; ++c)
            block.copyFrom (c, 0, buffer, c, start, n);

        // A host hands over exactly the samples of this block.
        juce::AudioBuffer<float> view (block.getArrayOfWritePointers(), block.getNumChannels(), n);
        midi.clear();
        instance->processBlock (view, midi);

        for (int c = 0; c < channels; ++c)
            buffer.copyFrom (c, start, block, c, 0, n);
    }
}

void HostedPlugin::processSilence (int numBlocks)
{
    if (! canProcess())
        return;

    for (int i = 0; i < numBlocks; ++i)
    {
        block.clear();
        midi.clear();
        instance->processBlock (block, midi);
    }
}

void HostedPlugin::settle (int milliseconds)
{
    processSilence (2);
    runMessageLoop (milliseconds);
    processSilence (2);
    runMessageLoop (10);
}

std::unique_ptr<juce::XmlElement> HostedPlugin::readPatchDocument()
{
    juce::MemoryBlock state;
    instance->getStateInformation (state);
    return PatchReader::findDocument (state);
}

void HostedPlugin::runMessageLoop (int milliseconds)
{
    juce::MessageManager::getInstance()->runDispatchLoopUntil (milliseconds);
}
