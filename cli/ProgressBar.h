#pragma once

#include <juce_core/juce_core.h>

// A one-line progress bar on the error stream, drawn only when that stream is a terminal, so
// that logs and pipes stay clean.
class ProgressBar
{
public:
    explicit ProgressBar (bool enabled);
    ~ProgressBar();

    // Redraws when the shown percentage changes; fraction is 0..1.
    void update (double fraction);

    // Removes the bar so that a message can take the line.
    void clear();

    static bool isErrorStreamTerminal();

private:
    bool enabled;
    bool drawn = false;
    int shownPercent = -1;

    static constexpr int width = 40;

    JUCE_DECLARE_NON_COPYABLE (ProgressBar)
};
