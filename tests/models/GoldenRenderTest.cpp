// Golden renders: a fixed short input through each circuit at 1x and 8x, compared with stored
// samples, so that an unintended change of the sound fails here. To accept a deliberate change,
// regenerate the references with
//     VARDEKO_UPDATE_GOLDEN=1 build/tests/VardekoTests --gtest_filter='GoldenRender.*'
// and commit the changed files in tests/data/golden together with the change.

#include "CircuitTestHelpers.h"

#include <gtest/gtest.h>

using namespace CircuitTest;

namespace
{
constexpr float rate = 48000.0f;
constexpr int length = 12000;
constexpr int stride = 48; // every 48th sample of the second half is stored
constexpr float tolerance = 5e-5f;

// A plucked-string-like burst, a chord and a little noise: enough to drive every stage.
std::vector<float> goldenInput()
{
    juce::Random random (2710);
    std::vector<float> x ((size_t) length);

    for (int i = 0; i < length; ++i)
    {
        const auto t = (double) i / rate;
        const auto envelope = std::exp (-3.0 * t);
        x[(size_t) i] = (float) (envelope * (0.35 * std::sin (2.0 * juce::MathConstants<double>::pi * 110.0 * t) + 0.2 * std::sin (2.0 * juce::MathConstants<double>::pi * 164.81 * t) + 0.1 * std::sin (2.0 * juce::MathConstants<double>::pi * 1318.5 * t)))
                        + 0.01f * (random.nextFloat() - 0.5f);
    }

    return x;
}

juce::File referenceFile (int circuit, int factor)
{
    const auto name = juce::String (circuitNames[circuit]).toLowerCase().replaceCharacter (' ', '-');
    return juce::File (VARDEKO_TEST_DATA_DIR).getChildFile ("golden").getChildFile (name + "-" + juce::String (factor) + "x.txt");
}

std::vector<float> render (int circuit, int index)
{
    auto c = makePrepared (circuit, rate, { 0.8f, 0.6f, 0.7f, index });
    return runMono (*c, goldenInput(), 512);
}

std::vector<float> stored (const std::vector<float>& output)
{
    std::vector<float> picked;
    for (size_t i = (size_t) length / 2; i < output.size(); i += stride)
        picked.push_back (output[i]);
    return picked;
}

// The circuits that have references; every circuit is listed once its sound is settled.
const int circuitsWithReferences[] = { 0, 1, 2, 3, 4 };
} // namespace

TEST (GoldenRender, CircuitsSoundAsRecorded)
{
    const bool update = juce::SystemStats::getEnvironmentVariable ("VARDEKO_UPDATE_GOLDEN", {}).isNotEmpty();

    for (int circuit : circuitsWithReferences)
    {
        for (int index : { 0, 3 })
        {
            const auto factor = 1 << index;
            const auto file = referenceFile (circuit, factor);
            const auto picked = stored (render (circuit, index));

            if (update)
            {
                juce::String text;
                text << "# " << circuitNames[circuit] << ", " << factor << "x: Drive 0.8, Tone 0.6, Level 0.7, 48 kHz;"
                     << " every " << stride << "th output sample from " << length / 2 << "\n";
                for (auto v : picked)
                    text << juce::String (v, 9) << "\n";

                file.getParentDirectory().createDirectory();
                ASSERT_TRUE (file.replaceWithText (text));
                continue;
            }

            ASSERT_TRUE (file.existsAsFile()) << file.getFullPathName() << " is missing: see the top of " << __FILE__;

            juce::StringArray lines;
            lines.addLines (file.loadFileAsString());
            lines.removeEmptyStrings();
            lines.removeRange (0, 1);
            ASSERT_EQ ((int) picked.size(), lines.size()) << file.getFileName();

            for (int i = 0; i < lines.size(); ++i)
                ASSERT_NEAR (lines[i].getFloatValue(), picked[(size_t) i], tolerance) << file.getFileName() << " value " << i;
        }
    }
}
