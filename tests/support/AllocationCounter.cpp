#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

// Under AddressSanitizer and ThreadSanitizer the sanitizer's runtime owns operator new (a second
// definition does not link with ThreadSanitizer's): allocations are counted through the hook it
// calls for every allocation instead. Elsewhere the test binary replaces operator new.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    #define VARDEKO_SANITIZER_ALLOCATOR 1
#elif defined(__has_feature)
    #if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
        #define VARDEKO_SANITIZER_ALLOCATOR 1
    #endif
#endif

#ifndef VARDEKO_SANITIZER_ALLOCATOR
    #define VARDEKO_SANITIZER_ALLOCATOR 0
#endif

#if VARDEKO_SANITIZER_ALLOCATOR
    #include <sanitizer/allocator_interface.h>
#endif

namespace
{
thread_local bool counting = false;
thread_local size_t allocations = 0;

#if VARDEKO_SANITIZER_ALLOCATOR
void onAllocation (const volatile void*, size_t)
{
    if (counting)
        ++allocations;
}

void onFree (const volatile void*) {}

const int hooksInstalled = __sanitizer_install_malloc_and_free_hooks (onAllocation, onFree);
#else
void* allocate (std::size_t size)
{
    if (counting)
        ++allocations;

    if (auto* p = std::malloc (size == 0 ? 1 : size))
        return p;

    throw std::bad_alloc();
}
#endif
} // namespace

AllocationCounter::AllocationCounter()
    : startCount (allocations)
    , wasCounting (counting)
{
#if VARDEKO_SANITIZER_ALLOCATOR
    (void) hooksInstalled;
#endif
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

#if ! VARDEKO_SANITIZER_ALLOCATOR
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
#endif
