#pragma once

#include <juce_core/juce_core.h>

// Whether two paths lead to the same file, so that the renderer never writes over its input:
// through symbolic links anywhere along either path, ".." after a link, and, for files that
// exist, through hard links and other names of one file.
class FileIdentity
{
public:
    // The absolute path with every symbolic link along it followed, as the file system would.
    // Components that do not exist are kept as they are; a cycle of links stops the walk.
    static juce::File resolve (const juce::File& file);

    static bool refersToSameFile (const juce::File& a, const juce::File& b);

private:
    static constexpr int maximumLinks = 40;
};
