#pragma once

#include "dsp/OversamplingRateLimit.h"

#include <juce_core/juce_core.h>

#include <algorithm>
#include <atomic>

// The two buffers of a diode table reader, each with the view (values and grid) the lookup
// takes through one pointer. A table is read into the idle buffer off the audio thread and
// put in use by swap, so the lookup never reads a buffer that is being written. A reader of
// tables shared by the whole process (share) holds no buffers: its views point at the shared
// values.
template <typename View>
class DiodeTableBuffers
{
public:
    // Until a table is put in use the lookup reads none.
    explicit DiodeTableBuffers (const View& none) noexcept
        : active (&none)
    {
    }

    // The rate tables are read for: the host rate times the oversampling factor, capped as
    // the drive stages cap it.
    static float effectiveRate (float hostRate, int oversamplingIndex) noexcept
    {
        return static_cast<float> (OversamplingRateLimit::limitFactor (oversamplingIndex, hostRate)) * hostRate;
    }

    // Sized once: every table of a set has the same grid.
    void allocate (int numValues)
    {
        if (allocated)
            return;

        bufferA.calloc (static_cast<size_t> (numValues));
        bufferB.calloc (static_cast<size_t> (numValues));
        capacity = numValues;
        allocated = true;
    }

    // Tables of up to numValues values that live elsewhere for the life of the process.
    void share (int numValues) noexcept
    {
        if (allocated)
            return;

        capacity = numValues;
        allocated = true;
        sharing = true;
    }

    bool isAllocated() const noexcept { return allocated; }
    bool isSharing() const noexcept { return sharing; }
    int getCapacity() const noexcept { return capacity; }

    // nullptr while sharing.
    float* getIdle() noexcept { return nextLoadIntoA ? bufferA.get() : bufferB.get(); }

    // After a read into the idle buffer: when it succeeded, the next swap puts it in use with
    // view; when it failed, an earlier read not yet swapped in is dropped too.
    void readFinished (bool succeeded, const View& view) noexcept
    {
        if (succeeded)
            (nextLoadIntoA ? viewA : viewB) = view;

        swapPending = succeeded;
    }

    void dropPendingRead() noexcept { swapPending = false; }

    void swap() noexcept
    {
        if (! swapPending)
            return;

        active.store (nextLoadIntoA ? &viewA : &viewB, std::memory_order_release);
        nextLoadIntoA = ! nextLoadIntoA;
        swapPending = false;
    }

    // Zeroes both buffers and puts the first in use at once, with the grid of view.
    void useZeros (View view) noexcept
    {
        static const float sharedZeros[4] {};

        if (sharing)
        {
            view.values = sharedZeros; // enough for the neutral 2 x 2 grid
        }
        else
        {
            std::fill (bufferA.get(), bufferA.get() + capacity, 0.0f);
            std::fill (bufferB.get(), bufferB.get() + capacity, 0.0f);
            view.values = bufferA.get();
        }

        viewA = view;
        nextLoadIntoA = false;
        active.store (&viewA, std::memory_order_release);
    }

    const View& getActive() const noexcept { return *active.load (std::memory_order_acquire); }

private:
    juce::HeapBlock<float> bufferA, bufferB;
    View viewA, viewB;
    std::atomic<const View*> active;
    int capacity = 0;
    bool allocated = false;
    bool sharing = false;
    bool nextLoadIntoA = false;
    bool swapPending = false;
};
