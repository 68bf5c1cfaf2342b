#include "cli/ProgressBar.h"

#include <cstdio>

//==============================================================================
// Platform dependent: the only place that asks the operating system about the console.
#if JUCE_WINDOWS
    #include <io.h>

bool ProgressBar::isErrorStreamTerminal()
{
    return _isatty (_fileno (stderr)) != 0;
}
#else
    #include <unistd.h>

bool ProgressBar::isErrorStreamTerminal()
{
    return isatty (STDERR_FILENO) != 0;
}
#endif
//==============================================================================

ProgressBar::ProgressBar (bool shouldDraw)
    : enabled (shouldDraw)
{
}

ProgressBar::~ProgressBar()
{
    clear();
}

void ProgressBar::update (double fraction)
{
    if (! enabled)
        return;

    const auto clamped = juce::jlimit (0.0, 1.0, fraction);
    const auto percent = juce::roundToInt (clamped * 100.0);

    if (percent == shownPercent)
        return;

    shownPercent = percent;
    const auto filled = juce::roundToInt (clamped * width);

    const auto line = "\r[" + juce::String::repeatedString ("#", filled) + juce::String::repeatedString ("-", width - filled)
                      + "] " + juce::String (percent).paddedLeft (' ', 3) + "%";

    std::fputs (line.toRawUTF8(), stderr);
    std::fflush (stderr);
    drawn = true;
}

void ProgressBar::clear()
{
    if (! drawn)
        return;

    const auto blank = "\r" + juce::String::repeatedString (" ", width + 8) + "\r";
    std::fputs (blank.toRawUTF8(), stderr);
    std::fflush (stderr);
    drawn = false;
    shownPercent = -1;
}
