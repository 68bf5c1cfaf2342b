#pragma once

#include <juce_core/juce_core.h>

// How samples are stored in an audio file: integer of a bit depth, or 32-bit float.
struct SampleFormat
{
    int bitsPerSample = 24;
    bool isFloat = false;

    static SampleFormat integer (int bits) { return { bits, false }; }
    static SampleFormat floatingPoint() { return { 32, true }; }

    juce::String describe() const { return isFloat ? juce::String ("32-bit float") : juce::String (bitsPerSample) + "-bit integer"; }

    bool operator== (const SampleFormat& other) const noexcept { return bitsPerSample == other.bitsPerSample && isFloat == other.isFloat; }
    bool operator!= (const SampleFormat& other) const noexcept { return ! operator== (other); }
};
