#pragma once

#include <juce_core/juce_core.h>

#include <cstdio>
#include <functional>
#include <optional>

// A one-line progress bar with the time left, on the error stream, drawn only when that
// stream is a terminal, so that logs and pipes stay clean.
class ProgressBar
{
public:
    // The clock gives seconds; tests hand in their own stream and clock.
    explicit ProgressBar (bool enabled, std::FILE* stream = stderr, std::function<double()> clock = {});
    ~ProgressBar();

    // Redraws when the line changes; fraction is 0..1.
    void update (double fraction);

    // Removes the bar so that a message can take the line.
    void clear();

    // "[####----]  42%  1:05 left"; without an estimate, no time.
    static juce::String formatLine (double fraction, std::optional<double> secondsLeft);

    static bool isErrorStreamTerminal();

private:
    std::optional<double> estimateSecondsLeft (double fraction);

    bool enabled;
    std::FILE* stream;
    std::function<double()> clock;

    juce::String shownLine;
    std::optional<double> startTime;
    double startFraction = 0.0;

    static constexpr int width = 40;

    // An estimate from less than this much rendering would jump around.
    static constexpr double settlingSeconds = 1.0;

    JUCE_DECLARE_NON_COPYABLE (ProgressBar)
};
