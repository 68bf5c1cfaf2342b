#pragma once

#include <cstddef>

// Counts heap allocations made by the current thread while a scope is open, through the test
// binary's replacement of the global operator new (under a sanitizer, through its allocation
// hook, which also sees malloc).
class AllocationCounter
{
public:
    AllocationCounter();
    ~AllocationCounter();

    size_t getCount() const;

private:
    size_t startCount;
    bool wasCounting;
};
