#pragma once

#include "processor/VardekoQX2710AudioProcessor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

// Small tools shared by the processor tests: a prepared processor with a chosen layout, and
// deterministic test signals.
namespace ProcessorTest
{
inline void setLayout (juce::AudioProcessor& p, int inputs, int outputs)
{
    juce::AudioProcessor::BusesLayout layout;
    layout.inputBuses.add (juce::AudioChannelSet::canonicalChannelSet (inputs));
    layout.outputBuses.add (juce::AudioChannelSet::canonicalChannelSet (outputs));
    ASSERT_TRUE (p.setBusesLayout (layout));
}

JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
inline void setValue (juce::AudioProcessor& p, int index, float value) { p.setParameter (index, value); }
inline float getValue (juce::AudioProcessor& p, int index) { return p.getParameter (index); }
inline juce::String getText (juce::AudioProcessor& p, int index) { return p.getParameterText (index); }
JUCE_END_IGNORE_WARNINGS_GCC_LIKE

// A sine plus a little deterministic noise, different on each channel.
inline juce::AudioBuffer<float> makeSignal (int channels, int samples, float amplitude = 0.5f, double rate = 48000.0)
{
    juce::AudioBuffer<float> buffer (channels, samples);
    juce::Random random (1234);

    for (int ch = 0; ch < channels; ++ch)
        for (int i = 0; i < samples; ++i)
            buffer.setSample (ch, i, amplitude * (float) std::sin (2.0 * juce::MathConstants<double>::pi * (220.0 + 110.0 * ch) * i / rate) + 0.05f * (random.nextFloat() - 0.5f));

    return buffer;
}

// Runs a signal through the processor in blocks and returns the output.
inline juce::AudioBuffer<float> process (juce::AudioProcessor& p, const juce::AudioBuffer<float>& input, int blockSize)
{
    juce::AudioBuffer<float> output (input);
    juce::MidiBuffer midi;

    for (int start = 0; start < output.getNumSamples(); start += blockSize)
    {
        const auto n = std::min (blockSize, output.getNumSamples() - start);
        juce::AudioBuffer<float> block (output.getArrayOfWritePointers(), output.getNumChannels(), start, n);
        p.processBlock (block, midi);
    }

    return output;
}

inline float maxAbsDifference (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b, int channel, int start = 0, int end = -1)
{
    if (end < 0)
        end = a.getNumSamples();

    float worst = 0.0f;

    for (int i = start; i < end; ++i)
        worst = std::max (worst, std::abs (a.getSample (channel, i) - b.getSample (channel, i)));

    return worst;
}

inline bool allFinite (const juce::AudioBuffer<float>& b)
{
    for (int ch = 0; ch < b.getNumChannels(); ++ch)
        for (int i = 0; i < b.getNumSamples(); ++i)
            if (! std::isfinite (b.getSample (ch, i)))
                return false;

    return true;
}
} // namespace ProcessorTest
