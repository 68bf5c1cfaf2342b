#pragma once

#include <juce_core/juce_core.h>

// The outcome of one step of a render: success, or a one-line message with the exit code the
// program ends with (1 when reading or writing failed, 2 when the command line was wrong).
struct RenderStatus
{
    enum ExitCode
    {
        success = 0,
        runtimeFailure = 1,
        usageError = 2
    };

    int exitCode = success;
    juce::String message;

    static RenderStatus ok() { return {}; }
    static RenderStatus failure (const juce::String& text) { return { runtimeFailure, text }; }
    static RenderStatus usage (const juce::String& text) { return { usageError, text }; }

    bool failed() const noexcept { return exitCode != success; }
};
