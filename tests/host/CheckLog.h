#pragma once

#include <juce_core/juce_core.h>

#include <cmath>
#include <iostream>

// One line per check on stdout: "PASS <what>" or "FAIL <what>: expected <x> got <y>", plus
// "NOTE" lines for what a format cannot show. Every line carries the format as prefix, so the
// logs of several runs can be read side by side.
class CheckLog
{
public:
    explicit CheckLog (juce::String prefixToUse)
        : prefix (std::move (prefixToUse))
    {
    }

    bool expect (bool ok, const juce::String& what, const juce::String& expected, const juce::String& got)
    {
        if (ok)
            print ("PASS " + prefix + " " + what);
        else
            print ("FAIL " + prefix + " " + what + ": expected " + expected + " got " + got);

        ++numChecks;
        numFailures += ok ? 0 : 1;
        return ok;
    }

    bool expectEqual (const juce::String& what, const juce::String& expected, const juce::String& got)
    {
        return expect (expected == got, what, quoted (expected), quoted (got));
    }

    bool expectEqual (const juce::String& what, int expected, int got)
    {
        return expect (expected == got, what, juce::String (expected), juce::String (got));
    }

    bool expectNear (const juce::String& what, double expected, double got, double tolerance)
    {
        return expect (std::abs (expected - got) <= tolerance,
                       what,
                       juce::String (expected, 7) + " (within " + juce::String (tolerance) + ")",
                       juce::String (got, 7));
    }

    void note (const juce::String& text) { print ("NOTE " + prefix + " " + text); }

    int getNumChecks() const noexcept { return numChecks; }
    int getNumFailures() const noexcept { return numFailures; }

    static juce::String quoted (const juce::String& s) { return "\"" + s + "\""; }

private:
    static void print (const juce::String& line)
    {
        std::cout << line.toStdString() << std::endl;
    }

    juce::String prefix;
    int numChecks = 0;
    int numFailures = 0;
};
