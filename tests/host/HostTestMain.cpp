// vardeko-hosttest: loads the built plug-in from disk through JUCE's VST3 or LV2 host and
// checks what a host sees. One line per check on stdout; exit code 0 only when all pass.
//
//   vardeko-hosttest --format VST3|LV2 --plugin <absolute path> [--show-editor] [--expect-distortion]
//
// --plugin is the bundle folder. On Windows JUCE's VST3 host accepts only the DLL inside the
// bundle; the bundle folder is resolved to it, or the DLL can be given directly.

#include "tests/host/CheckLog.h"
#include "tests/host/HostChecks.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <iostream>

namespace
{
void printUsage()
{
    std::cout << "usage: vardeko-hosttest --format VST3|LV2 --plugin <absolute path> [--show-editor] [--expect-distortion]" << std::endl;
}

// Hosts reject paths with "." or ".." in them: drop those elements.
juce::String normalisePath (const juce::String& path)
{
#if JUCE_WINDOWS
    auto unified = path.replaceCharacter ('/', '\\');

    if (unified.startsWith ("\\\\"))
        return unified; // a network path

    // A path from the root of no drive ("/work/build/..." as a Linux build hands it to a
    // program under Wine) is on the drive of the working directory: under Wine, with a Unix
    // working directory, the drive that maps to the Unix root.
    if (unified.startsWithChar ('\\'))
        unified = juce::File::getCurrentWorkingDirectory().getFullPathName().substring (0, 2) + unified;
#else
    const auto& unified = path;
#endif

    const auto separator = juce::String::charToString (juce::File::getSeparatorChar());
    const auto parts = juce::StringArray::fromTokens (unified, separator, "");
    juce::StringArray kept;

    for (int i = 0; i < parts.size(); ++i)
    {
        const auto& part = parts[i];

        if (i > 0 && (part.isEmpty() || part == "."))
            continue;

        if (part == ".." && kept.size() > 1)
        {
            kept.remove (kept.size() - 1);
            continue;
        }

        kept.add (part);
    }

    return kept.joinIntoString (separator);
}

juce::File resolvePlugin (const juce::File& given, const juce::String& formatName)
{
#if JUCE_WINDOWS
    if (formatName == "VST3" && given.isDirectory())
    {
        const auto dll = given.getChildFile ("Contents").getChildFile ("x86_64-win").getChildFile (given.getFileName());

        if (dll.existsAsFile())
            return dll;
    }
#else
    juce::ignoreUnused (formatName);
#endif

    return given;
}

bool parseArguments (const juce::StringArray& args, HostTestOptions& options)
{
    juce::String pluginPath;

    for (int i = 0; i < args.size(); ++i)
    {
        const auto& arg = args[i];

        if (arg == "--format" && i + 1 < args.size())
            options.formatName = args[++i].toUpperCase();
        else if (arg == "--plugin" && i + 1 < args.size())
            pluginPath = args[++i].unquoted();
        else if (arg == "--show-editor")
            options.showEditor = true;
        else if (arg == "--expect-distortion")
            options.expectDistortion = true;
        else
            return false;
    }

    pluginPath = normalisePath (pluginPath);

    if ((options.formatName != "VST3" && options.formatName != "LV2") || ! juce::File::isAbsolutePath (pluginPath))
        return false;

    options.plugin = resolvePlugin (juce::File (pluginPath), options.formatName);
    return true;
}

// A JUCE application rather than a bare initialiser: JUCE then sets up X11 for threads and
// installs its X error handlers, without which a window on a display with no window manager
// (Xvfb) ends the program. The checks run inside initialise() on the message thread and run
// the message loop themselves whenever values have to travel.
class HostTestApplication : public juce::JUCEApplicationBase
{
public:
    const juce::String getApplicationName() override { return "vardeko-hosttest"; }
    const juce::String getApplicationVersion() override { return "1.0"; }
    bool moreThanOneInstanceAllowed() override { return true; }
    void anotherInstanceStarted (const juce::String&) override {}
    void suspended() override {}
    void resumed() override {}
    void shutdown() override {}
    void systemRequestedQuit() override { quit(); }
    void unhandledException (const std::exception*, const juce::String&, int) override {}

    void initialise (const juce::String&) override
    {
        setApplicationReturnValue (runChecks());
        quit();
    }

private:
    int runChecks()
    {
        HostTestOptions options;

        if (! parseArguments (getCommandLineParameterArray(), options))
        {
            printUsage();
            return 2;
        }

        CheckLog log (options.formatName.toLowerCase());
        log.note ("plug-in " + options.plugin.getFullPathName());

        const auto started = juce::Time::getMillisecondCounterHiRes();

        {
            HostChecks checks (options, log);
            checks.run();
        }

        const auto seconds = (juce::Time::getMillisecondCounterHiRes() - started) / 1000.0;
        std::cout << log.getNumChecks() - log.getNumFailures() << " passed, " << log.getNumFailures()
                  << " failed in " << juce::String (seconds, 2).toStdString() << " s" << std::endl;

        return log.getNumChecks() > 0 && log.getNumFailures() == 0 ? 0 : 1;
    }
};
} // namespace

START_JUCE_APPLICATION (HostTestApplication)
