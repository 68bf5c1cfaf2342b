#include "cli/ProgressBar.h"

#include <gtest/gtest.h>

TEST (ProgressBar, ShowsTheShareDoneAndTheTimeLeft)
{
    const struct
    {
        double fraction;
        std::optional<double> secondsLeft;
        const char* line;
    } cases[] = {
        { 0.0, std::nullopt, "[----------------------------------------]   0%" },
        { 0.999, std::nullopt, "[#######################################-]  99%" },
        { 1.0, 0.0, "[########################################] 100%  0:00 left" },
        { 0.5, 0.2, "[####################--------------------]  50%  0:01 left" },
        { 0.25, 65.0, "[##########------------------------------]  25%  1:05 left" },
        { 0.01, 3600.0 * 2 + 61.0, "[----------------------------------------]   1%  2:01:01 left" },
        { -1.0, std::nullopt, "[----------------------------------------]   0%" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (juce::String (c.line), ProgressBar::formatLine (c.fraction, c.secondsLeft)) << c.fraction;
}

TEST (ProgressBar, EstimatesFromTheRenderingSoFar)
{
    auto* stream = std::tmpfile();
    ASSERT_NE (nullptr, stream);

    double now = 100.0;
    juce::StringArray lines;

    {
        ProgressBar bar (true, stream, [&now] { return now; });

        // Preparing took long; the clock starts with the first report. No estimate in the
        // first second, then the rate so far: 10% in 2 s, 18 s for the remaining 90%.
        for (const auto& [time, fraction] : { std::pair<double, double> { 100.0, 0.0 }, { 100.5, 0.025 }, { 102.0, 0.1 }, { 102.0, 0.1 } })
        {
            now = time;
            bar.update (fraction);
        }
    }

    std::rewind (stream);
    std::string written;

    for (int c; (c = std::fgetc (stream)) != EOF;)
        written += (char) c;

    std::fclose (stream);
    lines.addTokens (juce::String (written), "\r", "");
    lines.removeEmptyStrings (false);

    ASSERT_EQ (4, lines.size()) << written << " (three lines, the repeated one not redrawn, then the blank line of clear())";
    EXPECT_EQ (juce::String ("[----------------------------------------]   0%"), lines[0]);
    EXPECT_EQ (juce::String ("[#---------------------------------------]   2%"), lines[1]);
    EXPECT_EQ (juce::String ("[####------------------------------------]  10%  0:18 left"), lines[2]);
    EXPECT_TRUE (lines[3].trim().isEmpty()) << "cleared when it goes away";
    EXPECT_EQ (lines[2].length(), lines[3].length());
}
