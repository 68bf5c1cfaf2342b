// The block stages built of coupling high-passes (OnePoleHighpass), for each circuit that has one.

#include "CircuitTestHelpers.h"

#include <gtest/gtest.h>

using namespace CircuitTest;

template <typename Stage>
class CouplingStageTest : public ::testing::Test
{
};

using CouplingStages = ::testing::Types<CJBufferOut, LittleGreenBufferIn>;
TYPED_TEST_SUITE (CouplingStageTest, CouplingStages);

TYPED_TEST (CouplingStageTest, SilenceAfterASignalDecaysToZeroWithoutDenormals)
{
    TypeParam buffer;
    buffer.setSampleRate (44100.0f);
    buffer.reset();

    auto x = noise (4410, 1.0f);
    x.resize (400000, 0.0f);

    for (size_t start = 0; start < x.size(); start += 512)
        buffer.processMono (x.data() + start, (int) std::min ((size_t) 512, x.size() - start));

    for (size_t i = 0; i < x.size(); ++i)
        ASSERT_NE (FP_SUBNORMAL, std::fpclassify (x[i])) << i;

    EXPECT_EQ (0.0f, x.back());
}
