#pragma once

#include <juce_audio_processors/juce_audio_processors.h>

#include <vector>

// What the host hears from the processor: values and gesture begins and ends, in order.
class HostRecorder : public juce::AudioProcessorListener
{
public:
    explicit HostRecorder (juce::AudioProcessor& p)
        : processor (p)
    {
        processor.addListener (this);
    }
    ~HostRecorder() override { processor.removeListener (this); }

    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float value) override
    {
        events.push_back ("set " + juce::String (index) + " " + juce::String (value, 4));
    }

    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override
    {
        events.push_back ("begin " + juce::String (index));
    }

    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index) override
    {
        events.push_back ("end " + juce::String (index));
    }

    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}

    // The events of one parameter, "set" values left out: begin, set, ..., end.
    juce::StringArray shapeOf (int index) const
    {
        juce::StringArray shape;

        for (const auto& e : events)
        {
            if (e.fromFirstOccurrenceOf (" ", false, false).upToFirstOccurrenceOf (" ", false, false) != juce::String (index))
                continue;

            const auto kind = e.upToFirstOccurrenceOf (" ", false, false);

            if (kind != "set" || shape.isEmpty() || shape[shape.size() - 1] != "set")
                shape.add (kind);
        }

        return shape;
    }

    // How many gestures the host saw on one parameter.
    int gesturesOf (int index) const
    {
        int count = 0;

        for (const auto& e : events)
            count += e == "begin " + juce::String (index) ? 1 : 0;

        return count;
    }

    std::vector<juce::String> events;

private:
    juce::AudioProcessor& processor;
};
