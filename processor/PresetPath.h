#pragma once

#include <juce_core/juce_core.h>

// Preset paths are stored relative to the preset folder ("Crunch\Warm.mvkp"). Sessions and
// preset paths travel between Windows and other systems, so both separators are read, one
// form is written (the backslash, as sessions of earlier versions hold), and a path is only
// ever turned into a file through juce::File, inside the preset folder.
class PresetPath
{
public:
    static constexpr juce::juce_wchar separator = '\\';

    // The stored form: every "/" turned into "\".
    static juce::String canonical (const juce::String& relativePath);

    // The file a relative path names inside root. Paths that are empty, absolute, hold ".."
    // or end up outside root (a drive name, a link) give an invalid juce::File.
    static juce::File resolve (const juce::File& root, const juce::String& relativePath);

    // A file's path relative to root in the stored form; empty unless the file lies inside.
    static juce::String relativeTo (const juce::File& root, const juce::File& file);

    // Real containment (the file or folder lies below root), not a match of names: a sibling
    // folder whose name starts with root's name is outside.
    static bool isInside (const juce::File& root, const juce::File& file);

    // Where a file really is: every link on its path followed, as far as the path exists.
    static juce::File realLocation (const juce::File& file);

    // isInside for writing: where a write would really land, links followed, lies below root's
    // real location. Reading through a link the user put in the folder is allowed; writing
    // through one that leads out is not.
    static bool isReallyInside (const juce::File& root, const juce::File& file);

    // Whether the stored form of the file's path names the file again: a name that holds "\"
    // (a plain character outside Windows) or begins with "~" cannot be stored.
    static bool canBeStored (const juce::File& root, const juce::File& file);

    // The last element of a relative path without its extension ("Crunch\Warm.mvkp": "Warm").
    static juce::String displayName (const juce::String& relativePath);
};
