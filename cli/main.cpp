#include "cli/InterruptCleanup.h"
#include "cli/ProgressBar.h"
#include "cli/RenderOptions.h"
#include "cli/Renderer.h"

#include <csignal>
#include <cstdio>

namespace
{
void printLine (std::FILE* stream, const juce::String& text)
{
    std::fputs ((text + "\n").toRawUTF8(), stream);
    std::fflush (stream);
}

int fail (ProgressBar& progress, const RenderStatus& status)
{
    progress.clear();
    printLine (stderr, "vardeko-render: " + status.message);
    return status.exitCode;
}
} // namespace

int main (int argc, char* argv[])
{
    InterruptCleanup::install();

#ifdef SIGXFSZ
    // Past a file size limit a write then fails with its own error, which is reported, instead
    // of the signal ending the program without a word.
    std::signal (SIGXFSZ, SIG_IGN);
#endif

    juce::StringArray arguments;

    for (int i = 1; i < argc; ++i)
        arguments.add (juce::String (juce::CharPointer_UTF8 (argv[i])));

    RenderOptions options;
    ProgressBar noProgress (false);

    if (const auto status = RenderOptions::parse (arguments, juce::File::getCurrentWorkingDirectory(), options); status.failed())
        return fail (noProgress, status);

    if (options.helpRequested)
    {
        std::fputs (RenderOptions::getUsage().toRawUTF8(), stdout);
        return RenderStatus::success;
    }

    ProgressBar progress (! options.quiet && ProgressBar::isErrorStreamTerminal());
    Renderer renderer (options);

    renderer.onProgress = [&progress] (double fraction)
    { progress.update (fraction); };
    renderer.onWarning = [&progress] (const juce::String& text)
    {
        progress.clear();
        printLine (stderr, "vardeko-render: " + text);
    };

    const auto status = renderer.run();

    if (status.failed())
        return fail (progress, status);

    progress.clear();

    if (! options.quiet)
        printLine (stdout, renderer.getSummary().describe());

    return RenderStatus::success;
}
