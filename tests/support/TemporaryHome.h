#pragma once

#include <juce_core/juce_core.h>

#include <cstdlib>
#include <optional>

// HOME pointed at a fresh temporary folder for one test, so that the user's documents folder
// (which JUCE finds through HOME each time it is asked) is a temporary one: nothing the test
// writes reaches the real user's presets or manual.
class TemporaryHome
{
public:
    TemporaryHome()
        : home (juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("vardeko-home", {}, false))
    {
        home.createDirectory();

        if (const auto* old = std::getenv ("HOME"))
            previous = old;

        setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);
    }

    ~TemporaryHome()
    {
        if (previous)
            setenv ("HOME", previous->toRawUTF8(), 1);
        else
            unsetenv ("HOME");

        home.deleteRecursively (false);
    }

    const juce::File& getFolder() const noexcept { return home; }

private:
    juce::File home;
    std::optional<juce::String> previous;

    JUCE_DECLARE_NON_COPYABLE (TemporaryHome)
};
