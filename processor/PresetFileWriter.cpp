#include "processor/PresetFileWriter.h"

namespace PresetFileWriter
{
juce::Result write (const juce::XmlElement& document, const juce::File& file)
{
    // A name the preset menu does not list.
    const auto temporary = file.getSiblingFile ("." + file.getFileName() + ".partial").getNonexistentSibling (false);
    const auto text = document.toString();
    const auto bytes = text.getNumBytesAsUTF8();
    auto result = juce::Result::ok();

    {
        juce::FileOutputStream out (temporary);

        if (out.openedOk())
        {
            out.write (text.toRawUTF8(), bytes);
            out.flush();
        }

        result = out.getStatus();
    }

    // A short write (a full disk, a file size limit) is no error to the stream.
    if (result.wasOk() && temporary.getSize() != (juce::int64) bytes)
        result = juce::Result::fail ("The disk is full.");

    if (result.wasOk() && ! temporary.replaceFileIn (file))
        result = juce::Result::fail ("The file could not be replaced.");

    if (result.failed())
        temporary.deleteFile();

    return result;
}
} // namespace PresetFileWriter
