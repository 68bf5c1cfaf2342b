#pragma once

#include "dsp/OversamplingLowpass.h"

#include <cstddef>
#include <cstring>

#ifndef VARDEKO_OVERSAMPLING_SSE2
    #if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
        #define VARDEKO_OVERSAMPLING_SSE2 1
    #else
        #define VARDEKO_OVERSAMPLING_SSE2 0
    #endif
#endif

#if VARDEKO_OVERSAMPLING_SSE2
    #include <emmintrin.h>
#endif

// How the result y of an oversampled stage meets its host sample x.
enum class OversampledOutput
{
    // x + y. Oversampled, the interpolated input is added to the processed sub-samples before
    // decimation, so that both terms pass the same filter pair and take the same delay (a sum
    // of the delayed y and the undelayed x would be a comb filter that moves with the factor).
    // At 1x: x + (float) y, added in single precision.
    addToInput,
    replaceInput // (float) y
};

// The interpolation and decimation low-passes of both channels and the one oversampled
// per-frame loop that every drive stage and the dry-path alignment run. Sharing this code and
// these sections is what keeps the dry path in phase with the processed path.
class OversamplingFilters
{
public:
    static constexpr int maxIndex = OversamplingLowpass::maxIndex;

    OversamplingFilters() noexcept
    {
        // Designs the sections now, on the constructing thread, rather than in the first block.
        OversamplingLowpass::getSections (1);
    }

    // Loads the low-pass of an index (0 to 3; 0 disables both filters). The histories are kept.
    void load (int newIndex) noexcept
    {
        index = newIndex < 0 ? 0 : (newIndex > maxIndex ? maxIndex : newIndex);
        sections = OversamplingLowpass::getSections (index);
    }

    void clear() noexcept
    {
        interpolator = {};
        decimator = {};
    }

    int getIndex() const noexcept { return index; }
    int getFactor() const noexcept { return 1 << index; }

    // Per host frame: F = 2^index sub-samples per channel, the first F * x and the rest 0, are
    // interpolated, each passes the chain (and with addToInput gets its interpolated input
    // added back), and all are decimated; the first decimated sub-sample is the result. At
    // index 0 the chain runs once on x, unfiltered.
    // Every chain stage keeps its own state, so running the chain on one sub-sample after the
    // other gives the same result as running each stage over all sub-samples in turn. The
    // filters run over the whole group at once: their steps for neighbouring sub-samples then
    // overlap in the processor, which takes roughly 30 % off the cost of interleaving them
    // with the chain one sub-sample at a time (and matches running each stage over the group).
    // chain: callable (double& left, double& right).
    template <OversampledOutput output, typename Chain>
    void processStereo (float* left, float* right, int numSamples, Chain&& chain) noexcept
    {
        switch (index)
        {
            case 1:
                runStereo<2, output> (left, right, numSamples, chain);
                break;
            case 2:
                runStereo<4, output> (left, right, numSamples, chain);
                break;
            case 3:
                runStereo<8, output> (left, right, numSamples, chain);
                break;
            default:
                runStereo<1, output> (left, right, numSamples, chain);
                break;
        }
    }

    // As processStereo with the left-channel histories. chain: callable (double& x).
    template <OversampledOutput output, typename Chain>
    void processMono (float* samples, int numSamples, Chain&& chain) noexcept
    {
        switch (index)
        {
            case 1:
                runMono<2, output> (samples, numSamples, chain);
                break;
            case 2:
                runMono<4, output> (samples, numSamples, chain);
                break;
            case 3:
                runMono<8, output> (samples, numSamples, chain);
                break;
            default:
                runMono<1, output> (samples, numSamples, chain);
                break;
        }
    }

private:
    static constexpr int numSections = OversamplingLowpass::numSections;

    // Direct form I cascade: the input history of section k + 1 is the output history of
    // section k. Lane 0 is the left channel, lane 1 the right.
    struct History
    {
        double x1[2] {};
        double x2[2] {};
        double y1[numSections][2] {};
        double y2[numSections][2] {};
    };

#if VARDEKO_OVERSAMPLING_SSE2
    // Both channels packed.
    struct StereoLanes
    {
        static constexpr int width = 2;
        __m128d v;

        static StereoLanes load (const double* p) noexcept { return { _mm_loadu_pd (p) }; }
        static StereoLanes broadcast (double x) noexcept { return { _mm_set1_pd (x) }; }
        void store (double* p) const noexcept { _mm_storeu_pd (p, v); }
        friend StereoLanes operator+ (StereoLanes a, StereoLanes b) noexcept { return { _mm_add_pd (a.v, b.v) }; }
        friend StereoLanes operator- (StereoLanes a, StereoLanes b) noexcept { return { _mm_sub_pd (a.v, b.v) }; }
        friend StereoLanes operator* (StereoLanes a, StereoLanes b) noexcept { return { _mm_mul_pd (a.v, b.v) }; }
    };

    // The left channel with the same instructions, so that mono matches stereo bit for bit.
    struct MonoLane
    {
        static constexpr int width = 1;
        __m128d v;

        static MonoLane load (const double* p) noexcept { return { _mm_load_sd (p) }; }
        static MonoLane broadcast (double x) noexcept { return { _mm_set_sd (x) }; }
        void store (double* p) const noexcept { _mm_store_sd (p, v); }
        friend MonoLane operator+ (MonoLane a, MonoLane b) noexcept { return { _mm_add_sd (a.v, b.v) }; }
        friend MonoLane operator- (MonoLane a, MonoLane b) noexcept { return { _mm_sub_sd (a.v, b.v) }; }
        friend MonoLane operator* (MonoLane a, MonoLane b) noexcept { return { _mm_mul_sd (a.v, b.v) }; }
    };
#else
    struct StereoLanes
    {
        static constexpr int width = 2;
        double left, right;

        static StereoLanes load (const double* p) noexcept { return { p[0], p[1] }; }
        static StereoLanes broadcast (double x) noexcept { return { x, x }; }
        void store (double* p) const noexcept
        {
            p[0] = left;
            p[1] = right;
        }
        friend StereoLanes operator+ (StereoLanes a, StereoLanes b) noexcept { return { a.left + b.left, a.right + b.right }; }
        friend StereoLanes operator- (StereoLanes a, StereoLanes b) noexcept { return { a.left - b.left, a.right - b.right }; }
        friend StereoLanes operator* (StereoLanes a, StereoLanes b) noexcept { return { a.left * b.left, a.right * b.right }; }
    };

    struct MonoLane
    {
        static constexpr int width = 1;
        double v;

        static MonoLane load (const double* p) noexcept { return { *p }; }
        static MonoLane broadcast (double x) noexcept { return { x }; }
        void store (double* p) const noexcept { *p = v; }
        friend MonoLane operator+ (MonoLane a, MonoLane b) noexcept { return { a.v + b.v }; }
        friend MonoLane operator- (MonoLane a, MonoLane b) noexcept { return { a.v - b.v }; }
        friend MonoLane operator* (MonoLane a, MonoLane b) noexcept { return { a.v * b.v }; }
    };
#endif

    // One filter step for one sub-sample of each lane, in place.
    // Each section adds to the running value what its memories contribute; those terms do not
    // depend on the new input, so the only serial work per section is one addition. The stored
    // outputs are guarded against denormals; the value passed on skips that rounding and cannot
    // become denormal itself, since everything it is made of is either 0 or far above that range.
    template <typename Lanes>
    static void step (const OversamplingLowpass::Sections& c, History& h, double* values) noexcept
    {
        const auto tiny = Lanes::broadcast (1.0e-20);
        auto v = Lanes::broadcast (c.gain) * Lanes::load (values);
        auto in1 = Lanes::load (h.x1);
        auto in2 = Lanes::load (h.x2);
        in1.store (h.x2);
        v.store (h.x1);

        for (int k = 0; k < numSections; ++k)
        {
            const auto out1 = Lanes::load (h.y1[k]);
            const auto out2 = Lanes::load (h.y2[k]);
            const auto memory = ((in2 + Lanes::broadcast (c.c[k]) * in1) - Lanes::broadcast (c.a2[k]) * out2) - Lanes::broadcast (c.a1[k]) * out1;
            v = v + memory;
            out1.store (h.y2[k]);
            ((v + tiny) - tiny).store (h.y1[k]); // keeps decaying tails out of the slow denormal range
            in1 = out1;
            in2 = out2;
        }

        v.store (values);
    }

    // Whether the loop adds the interpolated input to the processed sub-samples.
    template <int factor, OversampledOutput output>
    static constexpr bool addsInterpolatedInput = factor > 1 && output == OversampledOutput::addToInput;

    template <int factor, OversampledOutput output>
    static float combine (float x, double y) noexcept
    {
        if constexpr (factor == 1 && output == OversampledOutput::addToInput)
            return x + (float) y;
        else
            return (float) y;
    }

    template <int factor, OversampledOutput output, typename Chain>
    void runStereo (float* left, float* right, int numSamples, Chain& chain) noexcept
    {
        for (int i = 0; i < numSamples; ++i)
        {
            const auto inLeft = left[i];
            const auto inRight = right[i];
            double sub[static_cast<std::size_t> (factor)][2] {};
            sub[0][0] = factor * (double) inLeft;
            sub[0][1] = factor * (double) inRight;

            if constexpr (factor > 1)
                for (auto& pair : sub)
                    step<StereoLanes> (sections, interpolator, pair);

            [[maybe_unused]] double interpolated[static_cast<std::size_t> (factor)][2];

            if constexpr (addsInterpolatedInput<factor, output>)
                std::memcpy (interpolated, sub, sizeof (sub));

            for (auto& pair : sub)
                chain (pair[0], pair[1]);

            if constexpr (addsInterpolatedInput<factor, output>)
            {
                for (int k = 0; k < factor; ++k)
                {
                    sub[k][0] += interpolated[k][0];
                    sub[k][1] += interpolated[k][1];
                }
            }

            if constexpr (factor > 1)
                for (auto& pair : sub)
                    step<StereoLanes> (sections, decimator, pair);

            left[i] = combine<factor, output> (inLeft, sub[0][0]);
            right[i] = combine<factor, output> (inRight, sub[0][1]);
        }
    }

    template <int factor, OversampledOutput output, typename Chain>
    void runMono (float* samples, int numSamples, Chain& chain) noexcept
    {
        for (int i = 0; i < numSamples; ++i)
        {
            const auto in = samples[i];
            double sub[static_cast<std::size_t> (factor)] {};
            sub[0] = factor * (double) in;

            if constexpr (factor > 1)
                for (auto& x : sub)
                    step<MonoLane> (sections, interpolator, &x);

            [[maybe_unused]] double interpolated[static_cast<std::size_t> (factor)];

            if constexpr (addsInterpolatedInput<factor, output>)
                std::memcpy (interpolated, sub, sizeof (sub));

            for (auto& x : sub)
                chain (x);

            if constexpr (addsInterpolatedInput<factor, output>)
                for (int k = 0; k < factor; ++k)
                    sub[k] += interpolated[k];

            if constexpr (factor > 1)
                for (auto& x : sub)
                    step<MonoLane> (sections, decimator, &x);

            samples[i] = combine<factor, output> (in, sub[0]);
        }
    }

    OversamplingLowpass::Sections sections;
    History interpolator;
    History decimator;
    int index = 0;
};
