#include "cli/ProgressBar.h"

#include <cmath>

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

ProgressBar::ProgressBar (bool shouldDraw, std::FILE* output, std::function<double()> timeSource)
    : enabled (shouldDraw)
    , stream (output)
    , clock (std::move (timeSource))
{
    if (! clock)
        clock = [] { return juce::Time::getMillisecondCounterHiRes() / 1000.0; };
}

ProgressBar::~ProgressBar()
{
    clear();
}

juce::String ProgressBar::formatLine (double fraction, std::optional<double> secondsLeft)
{
    const auto clamped = juce::jlimit (0.0, 1.0, fraction);
    const auto percent = (int) std::floor (clamped * 100.0);
    const auto filled = (int) std::floor (clamped * width);

    auto line = "[" + juce::String::repeatedString ("#", filled) + juce::String::repeatedString ("-", width - filled) + "] "
                + juce::String (percent).paddedLeft (' ', 3) + "%";

    if (secondsLeft.has_value())
    {
        const auto total = (juce::int64) std::ceil (juce::jmax (0.0, *secondsLeft));
        const auto hours = total / 3600, minutes = (total / 60) % 60, seconds = total % 60;
        const auto twoDigits = [] (juce::int64 n)
        { return juce::String (n).paddedLeft ('0', 2); };

        line << "  " << (hours > 0 ? juce::String (hours) + ":" + twoDigits (minutes) : juce::String (minutes)) << ":" << twoDigits (seconds) << " left";
    }

    return line;
}

std::optional<double> ProgressBar::estimateSecondsLeft (double fraction)
{
    const auto now = clock();

    // Timed from the first report, so that opening the files and preparing the processor do
    // not count as rendering.
    if (! startTime.has_value())
    {
        startTime = now;
        startFraction = fraction;
        return std::nullopt;
    }

    const auto elapsed = now - *startTime;
    const auto done = fraction - startFraction;

    if (elapsed < settlingSeconds || done <= 0.0)
        return std::nullopt;

    return elapsed / done * (1.0 - fraction);
}

void ProgressBar::update (double fraction)
{
    if (! enabled)
        return;

    const auto line = formatLine (fraction, estimateSecondsLeft (juce::jlimit (0.0, 1.0, fraction)));

    if (line == shownLine)
        return;

    // Padded over the end of a longer line drawn before.
    std::fputs (("\r" + line.paddedRight (' ', shownLine.length())).toRawUTF8(), stream);
    std::fflush (stream);
    shownLine = line;
}

void ProgressBar::clear()
{
    if (shownLine.isEmpty())
        return;

    const auto blank = "\r" + juce::String::repeatedString (" ", shownLine.length()) + "\r";
    std::fputs (blank.toRawUTF8(), stream);
    std::fflush (stream);
    shownLine.clear();
}
