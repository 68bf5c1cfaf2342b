// The one ramp type: its three endings, a new target during a ramp, and a set of numbers that
// glide together.

#include "dsp/LinearRamp.h"
#include "dsp/SZFilter.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
template <typename Ramp>
std::vector<float> steps (Ramp& ramp, int count)
{
    std::vector<float> values;

    for (int i = 0; i < count; ++i)
        values.push_back (ramp.next());

    return values;
}
} // namespace

TEST (LinearRamp, CountedRampsTakeTheirLengthAndTheLandingOneEndsExactlyOnItsTarget)
{
    // Steps of 1/3 do not add up to 1 exactly.
    LinearRamp<float> landing (0.0f);
    LinearRamp<float, RampEnd::keepsItsSteps> stepping (0.0f);

    landing.setLength (3);
    stepping.setLength (3);
    landing.setTarget (1.0f);
    stepping.setTarget (1.0f);

    const auto landed = steps (landing, 5);
    const auto stepped = steps (stepping, 5);

    EXPECT_EQ (1.0f / 3.0f, landed[0]);
    EXPECT_EQ (1.0f, landed[2]) << "the third step lands";
    EXPECT_EQ (1.0f, landed[4]) << "and stays";
    EXPECT_FALSE (landing.isRamping());

    EXPECT_EQ (landed[0], stepped[0]);
    EXPECT_EQ (landed[1], stepped[1]);
    EXPECT_EQ (1.0f / 3.0f + 1.0f / 3.0f + 1.0f / 3.0f, stepped[2]) << "the third step adds its step";
    EXPECT_EQ (stepped[2], stepped[4]);
    EXPECT_FALSE (stepping.isRamping());
}

TEST (LinearRamp, ANewTargetStartsAFreshRampFromThePresentValue)
{
    LinearRamp<float> ramp (1.0f);
    ramp.setLength (4);
    ramp.setTarget (0.0f);
    steps (ramp, 2);
    ASSERT_EQ (0.5f, ramp.getValue());

    ramp.setTarget (1.0f);
    EXPECT_TRUE (ramp.isRamping());
    EXPECT_EQ ((std::vector<float> { 0.625f, 0.75f, 0.875f, 1.0f }), steps (ramp, 4));

    // Stopping keeps the value where it is; settling jumps.
    ramp.setTarget (0.0f);
    ramp.next();
    ramp.stop();
    EXPECT_EQ (0.75f, ramp.next());
    ramp.setValue (0.25f);
    EXPECT_FALSE (ramp.isRamping());
    EXPECT_EQ (0.25f, ramp.next());
}

TEST (LinearRamp, WithoutALengthACountedRampHolds)
{
    LinearRamp<float, RampEnd::keepsItsSteps> ramp;
    ramp.setTarget (1.0f);
    EXPECT_FALSE (ramp.isRamping());
    EXPECT_EQ (0.0f, ramp.next());
    EXPECT_EQ (1.0f, ramp.getTarget());
}

TEST (LinearRamp, AStoppingRampMovesAtItsSpeedAndNeverPassesItsTarget)
{
    // 1/3 of a full swing per step: from 0.5 to 1 takes two steps, the second stopped at 1.
    LinearRamp<float, RampEnd::stopsAtTarget> up (0.5f);
    up.setLength (3);
    up.setTarget (1.0f);
    EXPECT_EQ (0.5f + 1.0f / 3.0f, up.next());
    EXPECT_TRUE (up.isRamping());
    EXPECT_EQ (1.0f, up.next());
    EXPECT_FALSE (up.isRamping());
    EXPECT_EQ (1.0f, up.next());

    LinearRamp<float, RampEnd::stopsAtTarget> down (0.25f);
    down.setLength (3);
    down.setTarget (0.0f);
    EXPECT_EQ (0.0f, down.next());
    EXPECT_FALSE (down.isRamping());

    // The owner may bound the value; the ramp goes on from there.
    up.setTarget (0.0f);
    up.limitValue (0.5f);
    EXPECT_EQ (0.5f - 1.0f / 3.0f, up.next());
}

TEST (LinearRamp, ACoefficientSetGlidesTogetherAndItsA0StaysPut)
{
    SZCoefficients<1> from, to;
    from.a[0] = 1.0;
    from.a[1] = 0.5;
    from.b[0] = 1.0;
    from.b[1] = -1.0;
    to.a[0] = 8.0;
    to.a[1] = -0.5;
    to.b[0] = 3.0;
    to.b[1] = 1.0;

    LinearRamp<SZCoefficients<1>, RampEnd::keepsItsSteps, double> glide (from);
    glide.setLength (4);
    glide.setTarget (to);
    glide.next();
    glide.next();

    const auto& half = glide.getValue();
    EXPECT_EQ (1.0, half.a[0]) << "a0 is not part of the difference equation";
    EXPECT_EQ (0.0, half.a[1]);
    EXPECT_EQ (2.0, half.b[0]);
    EXPECT_EQ (0.0, half.b[1]);
}
