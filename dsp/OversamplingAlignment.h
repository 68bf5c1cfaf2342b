#pragma once

#include "dsp/FxModuleBase.h"
#include "dsp/OversamplingFilters.h"

// Delays the dry signal by the phase response of the oversampled wet path: the same
// interpolation and decimation filters as the drive stages, with nothing between them.
class OversamplingAlignment final : public FxModuleBase
{
public:
    OversamplingAlignment() = default;

    // The owner writes the index (0 to 3) and then calls clearState and update.
    void setRequestedIndex (int index) noexcept { requestedIndex = index; }
    int getRequestedIndex() const noexcept { return requestedIndex; }
    int getActiveIndex() const noexcept { return filters.getIndex(); }

    void clearState() override;

    // Unloads the filters: the buffers pass untouched until the next update.
    void initParameters() override;

    // Caps the requested index by the sample rate as the drive stages do and loads its filters.
    void update() override;

    // How far the oversampled path (and so this one) delays a guitar's fundamentals, in host
    // samples: the group delay at 1 kHz of the interpolation and decimation filters of an
    // index, capped by the host rate as update does. 0 at 1x.
    static double getDelaySamples (int index, float hostRate) noexcept;

    // That delay rounded to whole samples: the latency the plug-in reports to the host, and the
    // delay of its dry signal while the effect is off.
    static int getLatencySamples (int index, float hostRate) noexcept;

    void processStereo (float* left, float* right, int numSamples) override;
    void processMono (float* samples, int numSamples) override;

private:
    // The filters alone, nothing between them; at 1x the block passes untouched.
    template <int numChannels>
    void process (BlockChannels<numChannels> block, int numSamples) noexcept
    {
        if (filters.getIndex() != 0)
            filters.process<OversampledOutput::replaceInput> (block, numSamples, [] (auto&) {});
    }

    int requestedIndex = 0;
    OversamplingFilters filters;
};
