#include "cli/InterruptCleanup.h"

#include <atomic>
#include <csignal>
#include <cstring>

#if JUCE_WINDOWS
    #include <cstdio>
    #include <cwchar>
#else
    #include <unistd.h>
#endif

namespace
{
#if JUCE_WINDOWS
using PathChar = wchar_t;
#else
using PathChar = char;
#endif

constexpr size_t maximumPathLength = 4096;

struct Slot
{
    PathChar path[maximumPathLength];
    volatile std::sig_atomic_t used;
};

Slot slots[InterruptCleanup::numSlots];

void removeFiles() noexcept
{
    for (auto& slot : slots)
    {
        if (slot.used != 0)
        {
#if JUCE_WINDOWS
            _wremove (slot.path);
#else
            unlink (slot.path);
#endif
        }
    }
}

extern "C" void onInterrupt (int signalNumber)
{
    removeFiles();
    std::signal (signalNumber, SIG_DFL);
    std::raise (signalNumber);
}
} // namespace

void InterruptCleanup::install()
{
    std::signal (SIGINT, onInterrupt);
    std::signal (SIGTERM, onInterrupt);
#if ! JUCE_WINDOWS
    std::signal (SIGHUP, onInterrupt);
#endif
}

int InterruptCleanup::add (const juce::File& file)
{
    const auto path = file.getFullPathName();

#if JUCE_WINDOWS
    const auto* text = path.toWideCharPointer();
    const auto length = std::wcslen (text);
#else
    const auto* text = path.toRawUTF8();
    const auto length = std::strlen (text);
#endif

    if (length >= maximumPathLength)
        return -1;

    for (int i = 0; i < numSlots; ++i)
    {
        auto& slot = slots[i];

        if (slot.used == 0)
        {
            std::memcpy (slot.path, text, (length + 1) * sizeof (PathChar));
            std::atomic_signal_fence (std::memory_order_seq_cst);
            slot.used = 1;
            return i;
        }
    }

    return -1;
}

void InterruptCleanup::remove (int slot) noexcept
{
    if (slot >= 0 && slot < numSlots)
        slots[slot].used = 0;
}
