#pragma once

#include <juce_core/juce_core.h>

// Opens a document or a web address with the system's own application and does not wait for it.
// False means nothing was started (no application to open it with), so the caller can tell the
// user what to open by hand. Nothing started here stays behind as a child of the host.
class SystemOpener
{
public:
    static bool openDocument (const juce::File& document);
    static bool openWebAddress (const juce::URL& address);

#if JUCE_LINUX || JUCE_BSD
    // The desktop's opener on the search path, or none.
    static juce::File findOpener();
#endif

private:
    static bool open (const juce::String& target);
};
