#include "processor/PresetFileWriter.h"

#if ! JUCE_WINDOWS
    #include <sys/stat.h>
#endif

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

#if ! JUCE_WINDOWS
    // A preset the user made private stays private.
    struct stat existing = {};

    if (result.wasOk() && ::stat (file.getFullPathName().toRawUTF8(), &existing) == 0)
        ::chmod (temporary.getFullPathName().toRawUTF8(), existing.st_mode & 07777);
#endif

    if (result.wasOk() && ! temporary.replaceFileIn (file))
        result = juce::Result::fail ("The file could not be replaced.");

    if (result.failed())
        temporary.deleteFile();

    return result;
}
} // namespace PresetFileWriter
