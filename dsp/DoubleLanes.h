#pragma once

#include <cstddef>

#ifndef VARDEKO_SSE2
    #if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
        #define VARDEKO_SSE2 1
    #else
        #define VARDEKO_SSE2 0
    #endif
#endif

#if VARDEKO_SSE2
    #include <emmintrin.h>
#endif

// Doubles of both channels side by side (width 2), or of the left channel alone (width 1),
// with the same operations in the same order for each lane. With SSE2 (every x86-64 CPU) a
// stereo pair is one register and mono runs the same instructions on its low lane, so mono
// matches stereo bit for bit; elsewhere each lane is a plain double. Only IEEE operations
// that round identically in both forms are offered.
template <int width>
struct DoubleLanes
{
    static_assert (width == 1 || width == 2, "one or two lanes");

#if VARDEKO_SSE2
    static constexpr bool packed = width == 2;
    __m128d v;

    static DoubleLanes load (const double* p) noexcept { return { packed ? _mm_loadu_pd (p) : _mm_load_sd (p) }; }
    static DoubleLanes broadcast (double x) noexcept { return { packed ? _mm_set1_pd (x) : _mm_set_sd (x) }; }

    void store (double* p) const noexcept
    {
        if constexpr (packed)
            _mm_storeu_pd (p, v);
        else
            _mm_store_sd (p, v);
    }

    friend DoubleLanes operator+ (DoubleLanes a, DoubleLanes b) noexcept { return { packed ? _mm_add_pd (a.v, b.v) : _mm_add_sd (a.v, b.v) }; }
    friend DoubleLanes operator- (DoubleLanes a, DoubleLanes b) noexcept { return { packed ? _mm_sub_pd (a.v, b.v) : _mm_sub_sd (a.v, b.v) }; }
    friend DoubleLanes operator* (DoubleLanes a, DoubleLanes b) noexcept { return { packed ? _mm_mul_pd (a.v, b.v) : _mm_mul_sd (a.v, b.v) }; }
#else
    static constexpr bool packed = false;
    double v[static_cast<std::size_t> (width)];

    static DoubleLanes load (const double* p) noexcept
    {
        DoubleLanes lanes;

        for (int c = 0; c < width; ++c)
            lanes.v[c] = p[c];

        return lanes;
    }

    static DoubleLanes broadcast (double x) noexcept
    {
        DoubleLanes lanes;

        for (auto& lane : lanes.v)
            lane = x;

        return lanes;
    }

    void store (double* p) const noexcept
    {
        for (int c = 0; c < width; ++c)
            p[c] = v[c];
    }

    friend DoubleLanes operator+ (DoubleLanes a, DoubleLanes b) noexcept
    {
        for (int c = 0; c < width; ++c)
            a.v[c] += b.v[c];

        return a;
    }

    friend DoubleLanes operator- (DoubleLanes a, DoubleLanes b) noexcept
    {
        for (int c = 0; c < width; ++c)
            a.v[c] -= b.v[c];

        return a;
    }

    friend DoubleLanes operator* (DoubleLanes a, DoubleLanes b) noexcept
    {
        for (int c = 0; c < width; ++c)
            a.v[c] *= b.v[c];

        return a;
    }
#endif
};
