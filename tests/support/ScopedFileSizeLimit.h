#pragma once

#include <sys/resource.h>
#include <csignal>

// Makes writes beyond a size come up short while it lives, as they do on a full disk: the
// process's file size limit, with the signal that the limit would raise ignored.
class ScopedFileSizeLimit
{
public:
    explicit ScopedFileSizeLimit (rlim_t bytes)
        : previousHandler (std::signal (SIGXFSZ, SIG_IGN))
    {
        getrlimit (RLIMIT_FSIZE, &previous);
        auto limited = previous;
        limited.rlim_cur = bytes;
        active = setrlimit (RLIMIT_FSIZE, &limited) == 0;
    }

    ~ScopedFileSizeLimit()
    {
        setrlimit (RLIMIT_FSIZE, &previous);
        std::signal (SIGXFSZ, previousHandler);
    }

    bool isActive() const noexcept { return active; }

private:
    void (*previousHandler) (int);
    rlimit previous {};
    bool active = false;

    ScopedFileSizeLimit (const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator= (const ScopedFileSizeLimit&) = delete;
};
