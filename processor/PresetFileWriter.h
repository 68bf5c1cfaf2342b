#pragma once

#include <juce_core/juce_core.h>

// Writes a preset document as a ".mvkp" file (UTF-8, no DTD). The text goes to a hidden file
// beside the target first and replaces the target only when complete, so that a full disk or a
// failing drive never leaves a truncated or half-replaced preset behind. A file that is
// replaced keeps its permissions. The target is written as named: a link there is replaced.
namespace PresetFileWriter
{
juce::Result write (const juce::XmlElement& document, const juce::File& file);
} // namespace PresetFileWriter
