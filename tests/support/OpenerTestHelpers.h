#pragma once

#include <juce_core/juce_core.h>

#include <cstdlib>
#include <optional>

#include <unistd.h>

// For tests of what opens documents and web addresses outside the plug-in: a search path of
// the test's choosing, a stand-in for the desktop's opener, and this process's children.
namespace OpenerTest
{
// PATH set to one folder for the lifetime of the object.
class ScopedSearchPath
{
public:
    explicit ScopedSearchPath (const juce::File& folder)
    {
        if (const auto* old = std::getenv ("PATH"))
            previous = old;

        setenv ("PATH", folder.getFullPathName().toRawUTF8(), 1);
    }

    ~ScopedSearchPath()
    {
        if (previous)
            setenv ("PATH", previous->toRawUTF8(), 1);
        else
            unsetenv ("PATH");
    }

private:
    std::optional<juce::String> previous;
};

// An "xdg-open" in folder that writes its argument into record and ends. Unix line ends: a
// "\r" would end up in the interpreter's name.
inline void writeFakeOpener (const juce::File& folder, const juce::File& record)
{
    const auto script = folder.getChildFile ("xdg-open");
    script.replaceWithText ("#!/bin/sh\nprintf '%s' \"$1\" > '" + record.getFullPathName() + "'\n", false, false, "\n");
    script.setExecutePermission (true);
}

// The processes whose parent is this one, zombies included.
inline juce::StringArray childrenOfThisProcess()
{
    juce::StringArray children;
    const auto self = juce::String ((int) getpid());

    for (const auto& entry : juce::File ("/proc").findChildFiles (juce::File::findDirectories, false))
    {
        if (! entry.getFileName().containsOnly ("0123456789"))
            continue;

        // "pid (name) state ppid ...": the name may hold spaces and parentheses.
        const auto stat = entry.getChildFile ("stat").loadFileAsString();
        const auto fields = juce::StringArray::fromTokens (stat.fromLastOccurrenceOf (")", false, false).trim(), " ", {});

        if (fields.size() > 1 && fields[1] == self)
            children.add (entry.getFileName() + " " + stat.fromFirstOccurrenceOf ("(", false, false).upToLastOccurrenceOf (")", false, false) + " " + fields[0]);
    }

    return children;
}
} // namespace OpenerTest
