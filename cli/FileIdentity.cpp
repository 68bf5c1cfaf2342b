#include "cli/FileIdentity.h"

#include <vector>

namespace
{
juce::File rootOf (juce::File file)
{
    for (auto parent = file.getParentDirectory(); parent != file; parent = file.getParentDirectory())
        file = parent;

    return file;
}

#if JUCE_WINDOWS
constexpr bool posixPaths = false;
#else
constexpr bool posixPaths = true;
#endif

// Pushes the components of a path so that the first one is popped first. A backslash is an
// ordinary character in a POSIX file name.
void pushComponents (const juce::String& path, std::vector<juce::String>& pending)
{
    juce::StringArray parts;
    parts.addTokens (path, posixPaths ? "/" : "/\\", "");

    for (int i = parts.size(); --i >= 0;)
        if (parts[i].isNotEmpty())
            pending.push_back (parts[i]);
}

// The framework also takes "~" as absolute, which a link target never means.
bool isAbsoluteTarget (const juce::String& target)
{
    return posixPaths ? target.startsWithChar ('/') : juce::File::isAbsolutePath (target);
}

// Without the framework's reading of "~" and "..", which the walk has dealt with already.
juce::File childOf (const juce::File& folder, const juce::String& name)
{
    return juce::File::createFileWithoutCheckingPath (juce::File::addTrailingSeparator (folder.getFullPathName()) + name);
}
} // namespace

juce::File FileIdentity::resolve (const juce::File& file)
{
    // The file's own path is already free of "." and ".." (the framework removes them); the
    // targets of links are not, and are split here so that ".." applies after a link.
    auto resolved = rootOf (file);
    std::vector<juce::String> pending;
    pushComponents (file.getFullPathName().substring (resolved.getFullPathName().length()), pending);

    int linksFollowed = 0;

    while (! pending.empty())
    {
        const auto name = pending.back();
        pending.pop_back();

        if (name == ".")
            continue;

        if (name == "..")
        {
            resolved = resolved.getParentDirectory();
            continue;
        }

        const auto next = childOf (resolved, name);

        if (linksFollowed < maximumLinks && next.isSymbolicLink())
        {
            ++linksFollowed;
            const auto target = next.getNativeLinkedTarget();

            if (isAbsoluteTarget (target))
            {
                resolved = rootOf (juce::File (target));
                pushComponents (target.substring (resolved.getFullPathName().length()), pending);
            }
            else
            {
                pushComponents (target, pending);
            }

            continue;
        }

        resolved = next;
    }

    return resolved;
}

bool FileIdentity::refersToSameFile (const juce::File& a, const juce::File& b)
{
    if (a == b || resolve (a) == resolve (b))
        return true;

    // One file under two names (hard links, case-insensitive volumes, bind mounts). The
    // identifier alone is only unique per volume, so size and time must match as well.
    if (a.existsAsFile() && b.existsAsFile())
    {
        const auto idA = a.getFileIdentifier();

        return idA != 0 && idA == b.getFileIdentifier() && a.getSize() == b.getSize()
               && a.getLastModificationTime() == b.getLastModificationTime();
    }

    return false;
}
