// The input section on its own: the entry's bounds, the input volume's ramp, the meter and the
// clip light.

#include "processor/InputSection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace
{
constexpr float rate = 48000.0f;
constexpr int rampLength = 2048;

InputSection prepared (float gain)
{
    InputSection section;
    section.prepare (rate, rampLength);
    section.reset (gain);
    return section;
}

// Runs a constant signal through in blocks of blockSize (mono) and returns the output.
std::vector<float> run (InputSection& section, float value, int numSamples, int blockSize)
{
    std::vector<float> out ((size_t) numSamples, value);

    for (int start = 0; start < numSamples; start += blockSize)
        section.process (out.data() + start, nullptr, std::min (blockSize, numSamples - start));

    return out;
}
} // namespace

TEST (InputSection, TheEntryTurnsWhatIsNotANumberIntoSilenceAndBoundsTheRest)
{
    const auto inf = std::numeric_limits<float>::infinity();
    std::vector<float> samples { std::nanf (""), inf, -inf, 20.0f, -20.0f, 16.0f, -0.5f, 0.0f };
    InputSection::sanitise (samples.data(), (int) samples.size());

    const std::vector<float> expected { 0.0f, 0.0f, 0.0f, InputSection::inputBound, -InputSection::inputBound, 16.0f, -0.5f, 0.0f };
    EXPECT_EQ (expected, samples);
}

TEST (InputSection, TheVolumeRampsLinearlyAndLandsExactlyOnItsTargetWhateverTheBlocks)
{
    std::vector<float> reference;

    for (const int block : { 1, 64, 500, 4096 })
    {
        auto section = prepared (1.0f);
        section.setTargetGain (0.3f);
        const auto out = run (section, 1.0f, 3 * rampLength, block);

        if (reference.empty())
            reference = out;

        EXPECT_EQ (reference, out) << "blocks of " << block;

        // Evenly spaced steps down to the target, reached at the ramp's last sample and kept.
        const auto step = (0.3f - 1.0f) / (float) rampLength;
        EXPECT_NEAR (1.0f + step, out[0], 1e-7f);
        EXPECT_NEAR (1.0f + step * 1024.0f, out[1023], 1e-4f);
        EXPECT_EQ (0.3f, out[rampLength - 1]);
        EXPECT_EQ (0.3f, out[rampLength]);
        EXPECT_EQ (0.3f, out.back());

        for (int i = 1; i < rampLength; ++i)
            ASSERT_LT (out[(size_t) i], out[(size_t) i - 1]) << i;
    }
}

TEST (InputSection, ANewTargetDuringARampStartsFromWhereTheGainIs)
{
    auto section = prepared (0.0f);
    section.setTargetGain (1.0f);
    const auto first = run (section, 1.0f, rampLength / 2, 128);

    section.setTargetGain (1.0f); // the same target again changes nothing
    section.setTargetGain (0.5f);
    const auto second = run (section, 1.0f, rampLength, 128);

    EXPECT_NEAR (0.5f, first.back(), 1e-6f);
    EXPECT_NEAR (first.back(), second.front(), 1e-3f) << "no jump";
    EXPECT_EQ (0.5f, second.back());

    // Settling skips the ramp.
    section.reset (2.0f);
    EXPECT_EQ (2.0f, run (section, 1.0f, 1, 1).front());
}

TEST (InputSection, StereoScalesBothChannelsAndMetersTheLouderOne)
{
    auto section = prepared (0.5f);
    std::vector<float> left (256, 0.2f), right (256, -0.8f);
    section.process (left.data(), right.data(), 256);

    EXPECT_EQ (0.1f, left.back());
    EXPECT_EQ (-0.4f, right.back());
    EXPECT_NEAR (0.4f, section.getMeterLevel(), 0.01f);
    EXPECT_EQ (0.0f, section.getClipLight());
}

TEST (InputSection, TheMeterFallsWithA200MillisecondTimeConstant)
{
    auto section = prepared (1.0f);
    run (section, 0.5f, 64, 64);
    ASSERT_NEAR (0.5f, section.getMeterLevel(), 1e-4f);

    // 200 ms of silence: down to 1/e; the falling meter reads the same on any blocks.
    run (section, 0.0f, (int) (0.2f * rate), 100);
    EXPECT_NEAR (0.5f * std::exp (-1.0f), section.getMeterLevel(), 1e-3f);

    auto fading = prepared (1.0f);
    run (fading, 0.5f, 64, 64);
    fading.decayMeter ((int) (0.2f * rate));
    EXPECT_NEAR (section.getMeterLevel(), fading.getMeterLevel(), 1e-5f) << "a fade to dry falls alike";

    // Long silence reads 0, not a vanishing number.
    fading.decayMeter (10 * (int) rate);
    EXPECT_EQ (0.0f, fading.getMeterLevel());
}

TEST (InputSection, TheClipLightHoldsForFiveSecondsOfAudioWhateverTheBlockSize)
{
    for (const int block : { 32, 512, 4096 })
    {
        auto section = prepared (1.0f);
        run (section, 1.0f, block, block); // full scale
        EXPECT_EQ (1.0f, section.getClipLight()) << block;
        EXPECT_NEAR (1.0f, section.getMeterLevel(), 1e-3f);
        EXPECT_LE (section.getMeterLevel(), 1.0f) << "the meter reads at most 1";

        run (section, 0.0f, (int) (4.9f * rate), block);
        EXPECT_EQ (1.0f, section.getClipLight()) << "still lit after 4.9 s, blocks of " << block;

        run (section, 0.0f, (int) (0.2f * rate), block);
        EXPECT_EQ (0.0f, section.getClipLight()) << "off after 5.1 s, blocks of " << block;
    }

    // Switched off and faded out: the meter and the light go dark at once.
    auto section = prepared (1.0f);
    run (section, 2.0f, 64, 64);
    section.silenceMeter();
    EXPECT_EQ (0.0f, section.getMeterLevel());
    EXPECT_EQ (0.0f, section.getClipLight());
}
