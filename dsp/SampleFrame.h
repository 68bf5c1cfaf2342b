#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

// One sample of each channel in double precision: two for stereo, one for mono (which uses the
// left channel's memories). A chain of per-sample stages is written once for both.
template <int numChannels>
struct SampleFrame
{
    static_assert (numChannels == 1 || numChannels == 2, "stereo or mono");

    std::array<double, static_cast<std::size_t> (numChannels)> channels {};

    double& operator[] (int channel) noexcept { return channels[(size_t) channel]; }
    double operator[] (int channel) const noexcept { return channels[(size_t) channel]; }

    bool isSilent() const noexcept
    {
        for (auto x : channels)
            if (x != 0.0)
                return false;

        return true;
    }

    // The largest magnitude of the channels.
    double peak() const noexcept
    {
        auto largest = std::abs (channels[0]);

        for (size_t c = 1; c < channels.size(); ++c)
            largest = std::max (largest, std::abs (channels[c]));

        return largest;
    }

    SampleFrame& operator*= (double gain) noexcept
    {
        for (auto& x : channels)
            x *= gain;

        return *this;
    }

    friend SampleFrame operator* (SampleFrame frame, double gain) noexcept { return frame *= gain; }

    friend SampleFrame operator+ (SampleFrame a, const SampleFrame& b) noexcept
    {
        for (size_t c = 0; c < a.channels.size(); ++c)
            a.channels[c] += b.channels[c];

        return a;
    }
};

// Runs a per-sample stage on a frame, stereo or mono.
template <typename Stage>
void processFrame (Stage& stage, SampleFrame<2>& frame)
{
    stage.processStereoSample (frame[0], frame[1]);
}

template <typename Stage>
void processFrame (Stage& stage, SampleFrame<1>& frame)
{
    stage.processMonoSample (frame[0]);
}

// The float buffers of one block, processed in place: { left, right } or { mono }.
template <int numChannels>
struct BlockChannels
{
    std::array<float*, static_cast<std::size_t> (numChannels)> buffers;

    SampleFrame<numChannels> read (int index) const noexcept
    {
        SampleFrame<numChannels> frame;

        for (int c = 0; c < numChannels; ++c)
            frame[c] = (double) buffers[(size_t) c][index];

        return frame;
    }

    void write (int index, const SampleFrame<numChannels>& frame) const noexcept
    {
        for (int c = 0; c < numChannels; ++c)
            buffers[(size_t) c][index] = (float) frame[c];
    }
};
