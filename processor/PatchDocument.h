#pragma once

#include <juce_core/juce_core.h>

#include <array>
#include <optional>

// The vocabulary of the "molvekPatch" documents: writing values in their exact text forms and
// reading documents by position, tolerant of case in element names and of foreign content.
class PatchDocument
{
public:
    struct ParsedValue
    {
        int index;
        float value;
    };

    static constexpr const char* rootTag = "molvekPatch";

    // Preset paths are relative paths inside the preset folder. A longer one cannot name a
    // real preset, and it is what could make a saved state too large to be read again: the
    // writer may store each character as a reference of up to ten bytes.
    static constexpr int maximumPresetPathLength = 1024;

    // Fills the root element, "DeviceName" and an empty "Properties"; returns "Properties".
    static juce::XmlElement& writeHeader (juce::XmlElement& document);

    // Appends the eight "Value" elements of one channel. A stepped value between two steps (a
    // host may set any value) is written as its step, as always, and exactly in a third
    // attribute, "value", which earlier readers skip: a restored state gives a host back what
    // it set.
    static void writeValues (juce::XmlElement& parent, const std::array<float, 8>& values);

    // The text content a value is stored with ("true", "0.50000", "2").
    static juce::String valueText (int index, float value);

    static bool isPatchRoot (const juce::XmlElement* document);
    static juce::XmlElement* findProperties (const juce::XmlElement& document);

    // Attribute by position; missing attributes read as empty strings.
    static juce::String attribute (const juce::XmlElement& element, int position);

    // The path itself, or empty when it is longer than maximumPresetPathLength.
    static juce::String boundedPresetPath (const juce::String& path);

    // A "Channel" element's "presetPath" (attribute 1), bounded as above.
    static juce::String readPresetPath (const juce::XmlElement& channel);

    // An empty or non-numeric string reads as 0.
    static int integerAttribute (const juce::XmlElement& element, int position);

    // A "Value" element with a known identifier and a finite number, converted and kept
    // inside 0..1; nothing for anything else. A stepped value takes the exact value of the
    // third attribute when that lies in the band of the step its text names.
    static std::optional<ParsedValue> readValue (const juce::XmlElement& element);
};
