#pragma once

#include <cstddef>
#include <vector>

// One block of work space per channel, for a fade's second signal. A model's own fades fill and
// read it within one block, and a processor runs its models one after the other, so all the
// models of one processor share one pair instead of holding a pair each.
struct FadeBuffers
{
    std::vector<float> left, right;

    // Reallocates both, zeroed, with room for capacity samples (0 releases them).
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
