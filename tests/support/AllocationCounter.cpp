#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

namespace
{
thread_local bool counting = false;
thread_local size_t allocations = 0;

void* allocate (std::size_t size)
{
    if (counting)
        ++allocations;

    if (auto* p = std::malloc (size == 0 ? 1 : size))
        return p;

    throw std::bad_alloc();
}
} // namespace

AllocationCounter::AllocationCounter()
    : startCount (allocations)
    , wasCounting (counting)
{
    counting = true;
}

AllocationCounter::~AllocationCounter()
{
    counting = wasCounting;
}

size_t AllocationCounter::getCount() const
{
    return allocations - startCount;
}

void* operator new (std::size_t size)
{
    return allocate (size);
}

void* operator new[] (std::size_t size)
{
    return allocate (size);
}

void* operator new (std::size_t size, const std::nothrow_t&) noexcept
{
    if (counting)
        ++allocations;

    return std::malloc (size == 0 ? 1 : size);
}

void* operator new[] (std::size_t size, const std::nothrow_t&) noexcept
{
    if (counting)
        ++allocations;

    return std::malloc (size == 0 ? 1 : size);
}

void operator delete (void* p) noexcept
{
    std::free (p);
}

void operator delete[] (void* p) noexcept
{
    std::free (p);
}

void operator delete (void* p, std::size_t) noexcept
{
    std::free (p);
}

void operator delete[] (void* p, std::size_t) noexcept
{
    std::free (p);
}
