#include "processor/PresetPath.h"

#include <filesystem>

namespace
{
juce::StringArray elementsOf (const juce::String& relativePath)
{
    juce::StringArray elements;
    elements.addTokens (relativePath.replaceCharacter ('/', PresetPath::separator), juce::String::charToString (PresetPath::separator), {});
    return elements;
}
} // namespace

juce::String PresetPath::canonical (const juce::String& relativePath)
{
    return relativePath.replaceCharacter ('/', separator);
}

juce::File PresetPath::resolve (const juce::File& root, const juce::String& relativePath)
{
    const auto path = canonical (relativePath);

    if (root == juce::File() || path.isEmpty() || path[0] == separator || juce::File::isAbsolutePath (relativePath))
        return {};

    auto file = root;

    for (const auto& element : elementsOf (path))
    {
        // "a\\b" and "a\.\b" name a\b; ".." is never followed, whatever it would lead to.
        if (element.isEmpty() || element == ".")
            continue;

        if (element == "..")
            return {};

        file = file.getChildFile (element);
    }

    return isInside (root, file) ? file : juce::File();
}

juce::String PresetPath::relativeTo (const juce::File& root, const juce::File& file)
{
    return isInside (root, file) ? canonical (file.getRelativePathFrom (root)) : juce::String();
}

bool PresetPath::isInside (const juce::File& root, const juce::File& file)
{
    return root != juce::File() && file != juce::File() && file.isAChildOf (root);
}

juce::File PresetPath::realLocation (const juce::File& file)
{
    if (file == juce::File())
        return {};

#if JUCE_WINDOWS
    const std::filesystem::path path (file.getFullPathName().toWideCharPointer());
#else
    const std::filesystem::path path (file.getFullPathName().toRawUTF8());
#endif
    std::error_code error;
    const auto real = std::filesystem::weakly_canonical (path, error);

    if (error)
        return file;

#if JUCE_WINDOWS
    return juce::File (juce::String (real.wstring().c_str()));
#else
    return juce::File (juce::String::fromUTF8 (real.string().c_str()));
#endif
}

bool PresetPath::isReallyInside (const juce::File& root, const juce::File& file)
{
    return isInside (root, file) && isInside (realLocation (root), realLocation (file));
}

bool PresetPath::canBeStored (const juce::File& root, const juce::File& file)
{
    return isInside (root, file) && resolve (root, relativeTo (root, file)) == file;
}

juce::String PresetPath::displayName (const juce::String& relativePath)
{
    const auto name = canonical (relativePath).fromLastOccurrenceOf (juce::String::charToString (separator), false, false);
    return name.containsChar ('.') ? name.upToLastOccurrenceOf (".", false, false) : name;
}
