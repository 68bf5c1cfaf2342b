#pragma once

#include <juce_core/juce_core.h>

#include <chrono>
#include <future>
#include <optional>

#if ! JUCE_WINDOWS
    #include <fcntl.h>
    #include <sys/stat.h>
    #include <unistd.h>
#endif

// A FIFO (named pipe) in the file system for one test, removed afterwards. Opening one for
// reading waits for a writer and reading it waits for data: code that must never block is
// run through finishesWithin, which frees a reader that blocked (so the test ends) and tells.
class ScopedFifo
{
public:
    explicit ScopedFifo (const juce::File& path)
        : file (path)
    {
#if ! JUCE_WINDOWS
        created = ::mkfifo (file.getFullPathName().toRawUTF8(), 0600) == 0;
#endif
    }

    ~ScopedFifo() { file.deleteFile(); }

    bool exists() const noexcept { return created; }
    const juce::File& getFile() const noexcept { return file; }

    // Runs work on a thread of its own; its result when it returns within the time, nothing
    // when it blocked (it is then freed by a writer that writes nothing and goes).
    template <typename Work>
    auto finishesWithin (int milliseconds, Work&& work) -> std::optional<decltype (work())>
    {
        auto running = std::async (std::launch::async, std::forward<Work> (work));

        if (running.wait_for (std::chrono::milliseconds (milliseconds)) == std::future_status::ready)
            return running.get();

        while (running.wait_for (std::chrono::milliseconds (10)) != std::future_status::ready)
            unblockReaders();

        running.get();
        return std::nullopt;
    }

private:
    void unblockReaders() const
    {
#if ! JUCE_WINDOWS
        // A reader's open returns once a writer has opened; reading then ends when it closes.
        const auto fd = ::open (file.getFullPathName().toRawUTF8(), O_RDWR | O_NONBLOCK);

        if (fd >= 0)
            ::close (fd);
#endif
    }

    juce::File file;
    bool created = false;

    JUCE_DECLARE_NON_COPYABLE (ScopedFifo)
};
