#include "LockCounter.h"

#include <dlfcn.h>
#include <pthread.h>

// ThreadSanitizer defines these calls itself to see every lock: there the counter stays out of
// its way (and counts nothing).
#if defined(__SANITIZE_THREAD__)
    #define VARDEKO_COUNT_LOCKS 0
#elif defined(__has_feature)
    #if __has_feature(thread_sanitizer)
        #define VARDEKO_COUNT_LOCKS 0
    #endif
#endif

#ifndef VARDEKO_COUNT_LOCKS
    #define VARDEKO_COUNT_LOCKS 1
#endif

namespace
{
thread_local bool counting = false;
thread_local size_t locks = 0;

#if VARDEKO_COUNT_LOCKS
template <typename Function>
Function next (const char* name)
{
    return reinterpret_cast<Function> (dlsym (RTLD_NEXT, name));
}

void count() noexcept
{
    if (counting)
        ++locks;
}
#endif
} // namespace

LockCounter::LockCounter()
    : startCount (locks)
    , wasCounting (counting)
{
    counting = true;
}

LockCounter::~LockCounter()
{
    counting = wasCounting;
}

size_t LockCounter::getCount() const
{
    return locks - startCount;
}

#if VARDEKO_COUNT_LOCKS
extern "C"
{
    int pthread_mutex_lock (pthread_mutex_t* mutex)
    {
        static const auto real = next<int (*) (pthread_mutex_t*)> ("pthread_mutex_lock");
        count();
        return real (mutex);
    }

    int pthread_mutex_trylock (pthread_mutex_t* mutex)
    {
        static const auto real = next<int (*) (pthread_mutex_t*)> ("pthread_mutex_trylock");
        count();
        return real (mutex);
    }

    int pthread_rwlock_rdlock (pthread_rwlock_t* lock)
    {
        static const auto real = next<int (*) (pthread_rwlock_t*)> ("pthread_rwlock_rdlock");
        count();
        return real (lock);
    }

    int pthread_rwlock_wrlock (pthread_rwlock_t* lock)
    {
        static const auto real = next<int (*) (pthread_rwlock_t*)> ("pthread_rwlock_wrlock");
        count();
        return real (lock);
    }
}
#endif
