// "Blues Overdrive": the clipper that replaces its input with the clipped signal mixed with the
// clean one, the component-derived coefficients at the ends of the controls, the network's loss
// applied after rounding, Level 0, the oversampling change through the circuit's own timer, and
// clean behaviour at every rate and factor.

#include "CircuitReferences.h"
#include "CircuitTestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace CircuitTest;

TEST (BluesBreakerOverdrive, DiodeStageReplacesItsInputWithTheClippedMixAtEveryRateAndFactor)
{
    // A settled constant u gives limit (u * 0.68 + curve (rails (22 u))). The one curve serves
    // every rate, also those without a rate-dependent table (32 and 50 kHz).
    const std::vector<std::pair<float, int>> cases { { 44100.0f, 0 }, { 44100.0f, 3 }, { 48000.0f, 1 }, { 96000.0f, 2 }, { 192000.0f, 1 }, { 32000.0f, 0 }, { 50000.0f, 3 } };

    expectSettlesOnItsCurve<BluesBreakerDiodeStage> (
        cases,
        { 1.0f, -1.0f, 0.01f, 0.1f },
        [] (long double u)
        { return u * (long double) 0.68f + settledDiode (railLimited (22.0L * u), 2e-9L, 0.05L); },
        2e-6);

    for (const auto& [rate, index] : cases)
    {
        BluesBreakerDiodeStage stage;
        prepareOversampledStage (stage, rate, index);
        EXPECT_TRUE (stage.tableReader.hasActiveTable()) << rate;
    }

    // The figure to remember: 1.0 settles at about 1.775921, not 1.0 more.
    EXPECT_NEAR (1.775921, settledAtOne<BluesBreakerDiodeStage>(), 1e-6);
}

TEST (BluesBreakerOverdrive, CoefficientsAtTheEndsOfTheControls)
{
    // R = 500 kOhm x Drive; U = 1 - (9^(1 - Tone) - 1) / 8, worked by hand (9^0.5 = 3). The
    // gain prototypes are the component polynomials multiplied out by hand for R = 0 and R = 500k.
    struct Row
    {
        float drive, tone, level;
        double r;
        float u;
        double filterA0;
        std::vector<double> filterNumerator, gainDenominator, gainNumerator;
    };

    const Row rows[] = {
        { 0.0f, 0.0f, 1.0f, 0.0, 0.0f, 132800.0, { 0.0, 10000.0, 0.0, 0.0 }, { 1.0, 0.010127, 1.271551e-6, 1.551e-11, 0.0 }, { 0.0, 0.01, 1.27e-6, 1.551e-11, 0.0 } },
        { 0.5f, 0.5f, 0.5f, 250000.0, 0.75f, 114050.0, { 0.0, 5000.0, 0.9375, 0.0 }, {}, {} },
        { 1.0f, 1.0f, 0.0f, 500000.0, 1.0f, 107800.0, { 0.0, 0.0, 0.0, 0.0 }, { 1.0, 0.0101505, 1.5095355e-6, 4.53914485e-11, 3.64485e-16 }, { 0.0, 0.01, 5.1505e-5, 4.045355e-9, 3.64485e-16 } },
    };

    BluesBreakerOverdrive circuit;
    prepare (circuit, 48000.0f, { 0.5f, 0.5f, 0.5f, 0 });

    for (const auto& row : rows)
    {
        turnKnobs (circuit, row.drive, row.tone, row.level, { ModelParameters::drive, ModelParameters::tone });

        EXPECT_EQ (row.drive, circuit.gainStage.drive);
        EXPECT_EQ (row.tone, circuit.filterStage.tone) << "Tone reaches the stage untapered";
        EXPECT_EQ (row.u, BluesBreakerFilterStage::taper (row.tone)) << row.tone;
        EXPECT_DOUBLE_EQ (row.r, circuit.gainStage.getDriveResistance());

        const auto [a, b] = circuit.filterStage.getPrototype();
        EXPECT_NEAR (row.filterA0, a[0], 1e-9 * row.filterA0);

        for (size_t k = 0; k < 4; ++k)
            EXPECT_NEAR (row.filterNumerator[k], b[k], 1e-12 * (1.0 + std::abs (row.filterNumerator[k]))) << "b" << k;

        const auto [gainA, gainB] = circuit.gainStage.getPrototype();

        expectNear (row.gainDenominator, gainA, "drive " + std::to_string (row.drive) + " a");
        expectNear (row.gainNumerator, gainB, "drive " + std::to_string (row.drive) + " b");

        // The stages take exactly these prototypes.
        expectTakesItsPrototype (circuit.gainStage, 48000.0f);
        expectTakesItsPrototype (circuit.filterStage, 48000.0f);
    }
}

TEST (BluesBreakerOverdrive, NetworkLossIsAppliedAfterRoundingToFloat)
{
    // The same filter run in double precision beside the stage gives y; the stage must give
    // (float) y * 0.3f, which differs from (float) (y * 0.3) on a good share of samples.
    const auto outputs = runBesideItsFilter<3, BluesBreakerFilterStage> (0.3f, 0.8f, 44100.0f);
    int scaledInDouble = 0;

    for (size_t i = 0; i < outputs.stage.size(); ++i)
    {
        const auto y = outputs.reference[i];
        ASSERT_EQ ((float) y * 0.3f, outputs.stage[i]) << i;

        if ((float) (y * (double) 0.3f) != outputs.stage[i])
            ++scaledInDouble;
    }

    EXPECT_GT (scaledInDouble, 100) << "the two orders must be told apart by this signal";
}
