#pragma once

#include <cstddef>
#include <vector>

// The dry signal a model's fade mixes with, one buffer per channel. A model fills and reads it
// within one block, and a processor runs its models one after the other, so all the models of
// one processor can share one pair instead of holding a pair each.
struct FadeBuffers
{
    std::vector<float> left, right;

    // Reallocates both, zeroed, with room for capacity samples.
    void allocate (int capacity)
    {
        for (auto* b : { &left, &right })
        {
            std::vector<float>().swap (*b);
            b->assign (static_cast<std::size_t> (capacity > 0 ? capacity : 0), 0.0f);
        }
    }

    int getCapacity() const noexcept { return (int) left.size(); }
};
