#include "editor/SystemOpener.h"

#if JUCE_LINUX || JUCE_BSD
    #include <cerrno>
    #include <cstdlib>
    #include <sys/wait.h>
    #include <unistd.h>

    #include <string>
#endif

bool SystemOpener::openDocument (const juce::File& document)
{
    return open (document.getFullPathName());
}

bool SystemOpener::openWebAddress (const juce::URL& address)
{
    return open (address.toString (true));
}

#if JUCE_LINUX || JUCE_BSD

juce::File SystemOpener::findOpener()
{
    const auto* path = std::getenv ("PATH");

    if (path == nullptr)
        return {};

    for (const auto& folder : juce::StringArray::fromTokens (path, ":", {}))
    {
        if (! juce::File::isAbsolutePath (folder))
            continue;

        const auto candidate = juce::File (folder).getChildFile ("xdg-open");

        if (candidate.existsAsFile() && access (candidate.getFullPathName().toRawUTF8(), X_OK) == 0)
            return candidate;
    }

    return {};
}

bool SystemOpener::open (const juce::String& target)
{
    // The framework's own call starts a shell that tries a list of programs, reports success
    // whatever happens and leaves the shell behind unreaped.
    const auto opener = findOpener();

    if (opener == juce::File())
        return false;

    // Everything the children need is made before forking: between fork and exec only
    // async-signal-safe calls are allowed (the host has other threads).
    const std::string program = opener.getFullPathName().toStdString();
    const std::string argument = target.toStdString();
    char* const argv[] = { const_cast<char*> (program.c_str()), const_cast<char*> (argument.c_str()), nullptr };

    // Forked twice: the middle child ends at once and is reaped here, so the opener belongs to
    // init, not to the host, and never lingers as a zombie.
    const auto middle = fork();

    if (middle < 0)
        return false;

    if (middle == 0)
    {
        setsid();

        const auto child = fork();

        if (child == 0)
        {
            execv (argv[0], argv);
            _exit (127);
        }

        _exit (child < 0 ? 1 : 0);
    }

    int status = 0;

    while (waitpid (middle, &status, 0) < 0 && errno == EINTR)
    {
    }

    return WIFEXITED (status) && WEXITSTATUS (status) == 0;
}

#else

bool SystemOpener::open (const juce::String& target)
{
    return juce::File::isAbsolutePath (target) ? juce::File (target).startAsProcess()
                                               : juce::URL (target).launchInDefaultBrowser();
}

#endif
