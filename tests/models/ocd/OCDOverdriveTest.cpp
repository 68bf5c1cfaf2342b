// "Modern Overdrive": the clipper that replaces its input with the clipped signal, the
// component-derived coefficients at the ends of the controls, the output's loss applied in
// double precision before rounding, Level 0, the oversampling change through the circuit's own
// timer, and clean behaviour at every rate and factor.

#include "CircuitReferences.h"
#include "CircuitTestHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace CircuitTest;

TEST (OCDOverdrive, DiodeStageReplacesItsInputWithTheClippedSignal)
{
    // A settled constant x gives curve (rails (x)): small signals pass at unity (0.1 stays
    // 0.1, never 0.2), 1.0 gives about 0.61645 and 10 is held by the rails first.
    // The table's grid leaves the settled curve about 2e-6 off at 1x.
    expectSettlesOnItsCurve<OCDDiodeStageOS> (
        { { 44100.0f, 0 }, { 44100.0f, 3 }, { 48000.0f, 1 }, { 96000.0f, 2 }, { 192000.0f, 1 } },
        { 1.0f, -1.0f, 0.1f, 10.0f },
        [] (long double x)
        { return settledDiode (railLimited (x), 1.5e-11L, 0.025L); },
        5e-6);

    EXPECT_NEAR (0.61645, settledAtOne<OCDDiodeStageOS>(), 1e-5);
}

TEST (OCDOverdrive, CoefficientsAtTheEndsOfTheControls)
{
    // R = ((32^Drive - 1) / 31) 500 kOhm + 18 kOhm; Rt and Rv = (81^x - 1) / 80 times 25 kOhm
    // and 100 kOhm (81^0.5 = 9). The drive prototype is checked against the gain network's
    // components below; the tone prototypes are multiplied out by hand where given.
    struct Row
    {
        float drive, tone, level;
        long double r;
        double rt, rv;
        std::vector<double> toneDenominator, toneNumerator;
    };

    const auto rAt = [] (long double d)
    { return (std::pow (32.0L, d) - 1.0L) / 31.0L * 500000.0L + 18000.0L; };

    const Row rows[] = {
        { 0.0f, 0.0f, 0.0f, 18000.0L, 0.0, 0.0, { 1.0, 0.017133, 5.20443e-5, 1.69884e-9, 0.0 }, { 0.0, 0.0, 0.0, 0.0, 0.0 } },
        { 0.5f, 0.5f, 0.5f, rAt (0.5L), 2500.0, 10000.0, {}, {} },
        { 1.0f, 1.0f, 1.0f, 518000.0L, 25000.0, 100000.0, {}, {} },
        { 0.25f, 0.0f, 1.0f, rAt (0.25L), 0.0, 100000.0, { 1.0, 0.121833, 5.258694e-4, 2.5917705e-7, 7.984548e-12 }, { 0.0, 0.1, 1.8933e-3, 1.287e-8, 0.0 } },
        { 0.75f, 1.0f, 0.0f, rAt (0.75L), 25000.0, 0.0, { 1.0, 0.018308, 7.2175575e-5, 6.28508925e-8, 1.996137e-12 }, { 0.0, 0.0, 0.0, 0.0, 0.0 } },
    };

    // The op-amp stage: Cf = 220 pF, Cg = 68 nF and Rg Cg = 1.496e-4 s.
    constexpr double cf = 220e-12, cg = 68e-9, rgCg = 1.496e-4;

    OCDOverdrive circuit;
    prepare (circuit, 48000.0f, { 0.5f, 0.5f, 0.5f, 0 });

    for (const auto& row : rows)
    {
        turnKnobs (circuit, row.drive, row.tone, row.level, { ModelParameters::drive, ModelParameters::level });

        EXPECT_EQ (row.drive, circuit.driveStage.drive);
        EXPECT_EQ (row.tone, circuit.toneVolumeStage.tone);
        EXPECT_EQ (row.level, circuit.toneVolumeStage.level);

        // The tapers are worked in single precision: a few 1e-8 of the pot's value.
        const auto r = circuit.driveStage.getDriveResistance();
        EXPECT_NEAR ((double) row.r, r, 0.05) << "drive " << row.drive;
        EXPECT_NEAR (row.rt, circuit.toneVolumeStage.getToneResistance(), 0.01) << "tone " << row.tone;
        EXPECT_NEAR (row.rv, circuit.toneVolumeStage.getVolumeResistance(), 0.01) << "level " << row.level;

        // 1 + s R Cg / ((1 + s R Cf) (1 + s Rg Cg)) over one denominator.
        const double driveDenominator[] = { 1.0, r * cf + rgCg, r * cf * rgCg };
        const double driveNumerator[] = { 1.0, r * cg + r * cf + rgCg, r * cf * rgCg };
        const auto [a, b] = circuit.driveStage.getPrototype();

        for (size_t k = 0; k < 3; ++k)
        {
            EXPECT_NEAR (driveDenominator[k], a[k], 1e-12 * driveDenominator[k]) << "drive " << row.drive << " a" << k;
            EXPECT_NEAR (driveNumerator[k], b[k], 1e-12 * driveNumerator[k]) << "drive " << row.drive << " b" << k;
        }

        expectTakesItsPrototype (circuit.driveStage, 48000.0f);

        const auto [toneA, toneB] = circuit.toneVolumeStage.getPrototype();

        expectNear (row.toneDenominator, toneA, "tone " + std::to_string (row.tone) + " a");
        expectNear (row.toneNumerator, toneB, "tone " + std::to_string (row.tone) + " b");

        expectTakesItsPrototype (circuit.toneVolumeStage, 48000.0f);
    }
}

TEST (OCDOverdrive, OutputLossIsAppliedInDoublePrecisionBeforeRounding)
{
    // The same filter run in double precision beside the stage gives y; the stage must give
    // (float) (y * 0.238), which differs from (float) y * 0.238f on a good share of samples.
    const auto outputs = runBesideItsFilter<4, OCDToneVolumeStage> (0.3f, 0.8f, 44100.0f);
    constexpr double gain = 0.23800000548362732;
    ASSERT_EQ (gain, (double) 0.238f);
    int scaledAfterRounding = 0;

    for (size_t i = 0; i < outputs.stage.size(); ++i)
    {
        const auto y = outputs.reference[i];
        ASSERT_EQ ((float) (y * gain), outputs.stage[i]) << i;

        if ((float) y * 0.238f != outputs.stage[i])
            ++scaledAfterRounding;
    }

    EXPECT_GT (scaledAfterRounding, 100) << "the two orders must be told apart by this signal";
}
