#pragma once

#include <cstddef>

// Counts the mutex and read-write lock acquisitions the current thread makes while a scope is
// open, through the test binary's own definitions of the pthread lock calls (which forward to
// the C library's). Covers std::mutex, juce::CriticalSection and everything else built on them.
class LockCounter
{
public:
    LockCounter();
    ~LockCounter();

    size_t getCount() const;

private:
    size_t startCount;
    bool wasCounting;
};
