#pragma once

#include "dsp/DoubleLanes.h"
#include "dsp/OversamplingLowpass.h"
#include "dsp/SampleFrame.h"

#include <cstddef>
#include <cstring>

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
    // chain: callable (SampleFrame<numChannels>&); mono uses the left channel's histories.
    template <OversampledOutput output, int numChannels, typename Chain>
    void process (BlockChannels<numChannels> block, int numSamples, Chain&& chain) noexcept
    {
        switch (index)
        {
            case 1:
                run<2, output> (block, numSamples, chain);
                break;
            case 2:
                run<4, output> (block, numSamples, chain);
                break;
            case 3:
                run<8, output> (block, numSamples, chain);
                break;
            default:
                run<1, output> (block, numSamples, chain);
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

    // One filter step for one sub-sample of each lane, in place.
    // Each section adds to the running value what its memories contribute; those terms do not
    // depend on the new input, so the only serial work per section is one addition. The
    // memories are rounded against denormals once per host frame (guard), not here.
    // hasInput false: the input is known to be zero (gain * 0 is 0, whatever the sign).
    template <typename LaneSet, bool hasInput>
    static void step (const OversamplingLowpass::Sections& c, History& h, double* values) noexcept
    {
        auto v = hasInput ? LaneSet::broadcast (c.gain) * LaneSet::load (values) : LaneSet::broadcast (0.0);
        auto in1 = LaneSet::load (h.x1);
        auto in2 = LaneSet::load (h.x2);
        in1.store (h.x2);
        v.store (h.x1);

        for (int k = 0; k < numSections; ++k)
        {
            const auto out1 = LaneSet::load (h.y1[k]);
            const auto out2 = LaneSet::load (h.y2[k]);
            const auto memory = ((in2 + LaneSet::broadcast (c.c[k]) * in1) - LaneSet::broadcast (c.a2[k]) * out2) - LaneSet::broadcast (c.a1[k]) * out1;
            v = v + memory;
            out1.store (h.y2[k]);
            v.store (h.y1[k]);
            in1 = out1;
            in2 = out2;
        }

        v.store (values);
    }

    // Rounds the stored outputs onto a grid far above the denormal range, so that decaying tails
    // end in exact zeros instead of slow denormals. Once per host frame is enough (from that
    // grid, eight steps of arithmetic cannot reach the denormal range), and it keeps two of the
    // six additions out of every section's step; additions are what a step is short of.
    template <typename LaneSet>
    static void guard (History& h) noexcept
    {
        const auto tiny = LaneSet::broadcast (1.0e-20);

        for (int k = 0; k < numSections; ++k)
        {
            ((LaneSet::load (h.y1[k]) + tiny) - tiny).store (h.y1[k]);
            ((LaneSet::load (h.y2[k]) + tiny) - tiny).store (h.y2[k]);
        }
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

    template <int factor, OversampledOutput output, int numChannels, typename Chain>
    void run (BlockChannels<numChannels> block, int numSamples, Chain& chain) noexcept
    {
        using Frame = SampleFrame<numChannels>;
        using Lanes = DoubleLanes<numChannels>;

        // The histories live in locals for the block: nothing else can reach them, so the
        // compiler keeps them out of the way of the sub-sample stores instead of reloading.
        History up = interpolator;
        History down = decimator;

        for (int i = 0; i < numSamples; ++i)
        {
            float in[static_cast<std::size_t> (numChannels)];
            Frame sub[static_cast<std::size_t> (factor)] {};

            for (int c = 0; c < numChannels; ++c)
            {
                in[c] = block.buffers[(size_t) c][i];
                sub[0][c] = factor * (double) in[c];
            }

            if constexpr (factor > 1)
            {
                // Zero-stuffed: only the first sub-sample carries input.
                step<Lanes, true> (sections, up, sub[0].channels.data());

                for (int k = 1; k < factor; ++k)
                    step<Lanes, false> (sections, up, sub[k].channels.data());

                guard<Lanes> (up);
            }

            [[maybe_unused]] Frame interpolated[static_cast<std::size_t> (factor)];

            if constexpr (addsInterpolatedInput<factor, output>)
                std::memcpy (interpolated, sub, sizeof (sub));

            for (auto& frame : sub)
                chain (frame);

            if constexpr (addsInterpolatedInput<factor, output>)
                for (int k = 0; k < factor; ++k)
                    for (int c = 0; c < numChannels; ++c)
                        sub[k][c] += interpolated[k][c];

            if constexpr (factor > 1)
            {
                for (auto& frame : sub)
                    step<Lanes, true> (sections, down, frame.channels.data());

                guard<Lanes> (down);
            }

            for (int c = 0; c < numChannels; ++c)
                block.buffers[(size_t) c][i] = combine<factor, output> (in[c], sub[0][c]);
        }

        interpolator = up;
        decimator = down;
    }

    OversamplingLowpass::Sections sections;
    History interpolator;
    History decimator;
    int index = 0;
};
