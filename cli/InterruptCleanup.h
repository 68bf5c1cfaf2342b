#pragma once

#include <juce_core/juce_core.h>

// Removes the files a render has half written when the program is interrupted (Ctrl-C,
// SIGTERM, a closed terminal), then ends the program as the signal would have, so that the
// shell still sees an interrupted program.
//
// The handler may only touch memory prepared in advance: paths are copied into fixed slots
// when a file is registered, and a slot is marked used only once its path is complete.
class InterruptCleanup
{
public:
    static constexpr int numSlots = 4;

    // Installs the signal handlers; called once by the program, never by the tests.
    static void install();

    // Registers a file to remove on interruption; returns its slot, or -1 when all slots are
    // taken or the path is too long (the file is then simply not removed).
    static int add (const juce::File& file);

    // The file is complete or gone: forget it.
    static void remove (int slot) noexcept;
};
