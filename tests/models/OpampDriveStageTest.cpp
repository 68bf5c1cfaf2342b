// The op-amp clipping stage that "Pro", "Boutique" and "Mad Overdrive" share, for each of them.

#include "CircuitTestHelpers.h"

#include <gtest/gtest.h>

using namespace CircuitTest;

namespace
{
// The saturation current of each circuit's diode pair (the thermal voltage is 0.025 V for all).
template <typename Stage>
constexpr long double diodeSaturation = 0.0L;

template <>
constexpr long double diodeSaturation<TS9DriveStageOS> = 1.02e-7L; // "PDRD1"

template <>
constexpr long double diodeSaturation<CJDriveStageOS> = 2.0e-28L; // "BODD1"

template <>
constexpr long double diodeSaturation<LittleGreenDriveStageOS> = 1.12e-34L; // "MODD1"
} // namespace

template <typename Stage>
class OpampDriveStageTest : public ::testing::Test
{
};

using OpampDriveStages = ::testing::Types<CJDriveStageOS, LittleGreenDriveStageOS, TS9DriveStageOS>;
TYPED_TEST_SUITE (OpampDriveStageTest, OpampDriveStages);

TYPED_TEST (OpampDriveStageTest, AddsTheSettledDiodeCurveToItsInput)
{
    // A constant input passes the pre-clipper at its DC gain of 1 and the rails, and settles
    // on the diodes' static curve; the stage adds that to its input.
    const float inputs[] = { 0.05f, -0.5f, 1.0f, 2.0f, -3.0f, 4.4f, 6.0f };

    for (const auto rate : { 44100.0f, 96000.0f })
    {
        for (const auto index : { 0, 1, 3 })
        {
            for (const auto x : inputs)
            {
                TypeParam stage;
                stage.setSampleRate (rate);
                stage.setDrive (0.7f);

                if constexpr (std::is_same_v<TypeParam, LittleGreenDriveStageOS>)
                    stage.setTone (1.0f);

                stage.setFactorIndex (index);
                stage.initParameters();
                stage.applyFactor();

                const auto expected = (long double) x + settledDiode (railLimited (x), diodeSaturation<TypeParam>, 0.025L);
                EXPECT_NEAR ((double) expected, settledOutput (stage, x, 6 * 4096), 1.0e-4) << rate << " Hz, index " << index << ", x " << x;
            }
        }
    }
}
