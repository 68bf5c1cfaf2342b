#include "JuceGuiTest.h"

#include "editor/MolvekArtwork.h"
#include "editor/MolvekKnob.h"
#include "editor/PedalLayout.h"
#include "resources/ArtworkCatalogue.h"

#include <cmath>

namespace
{
class ArtworkTest : public JuceGuiTest
{
};

juce::Image frameOf (const juce::Image& strip, int numFrames, int frame)
{
    const auto frameHeight = strip.getHeight() / numFrames;
    return strip.getClippedImage ({ 0, frame * frameHeight, strip.getWidth(), frameHeight });
}

// The largest difference of any channel of any pixel (premultiplied, as stored).
int largestDifference (const juce::Image& a, const juce::Image& b)
{
    if (a.getBounds() != b.getBounds())
        return 256;

    int largest = 0;

    for (int y = 0; y < a.getHeight(); ++y)
    {
        for (int x = 0; x < a.getWidth(); ++x)
        {
            const auto p = a.getPixelAt (x, y).getPixelARGB();
            const auto q = b.getPixelAt (x, y).getPixelARGB();

            for (const auto& [u, v] : { std::pair (p.getAlpha(), q.getAlpha()), std::pair (p.getRed(), q.getRed()), std::pair (p.getGreen(), q.getGreen()), std::pair (p.getBlue(), q.getBlue()) })
                largest = juce::jmax (largest, std::abs ((int) u - (int) v));
        }
    }

    return largest;
}

// The picture laid over mid grey, as brightness 0 to 1 per pixel.
float brightnessOverGrey (const juce::Image& image, int x, int y)
{
    return juce::Colour (0xff808080).overlaidWith (image.getPixelAt (x, y)).getPerceivedBrightness();
}

// How much fine detail a picture has: the mean squared step between neighbouring pixels.
double detail (const juce::Image& image)
{
    double sum = 0.0;

    for (int y = 0; y + 1 < image.getHeight(); ++y)
    {
        for (int x = 0; x + 1 < image.getWidth(); ++x)
        {
            const auto here = brightnessOverGrey (image, x, y);
            sum += std::pow (brightnessOverGrey (image, x + 1, y) - here, 2.0) + std::pow (brightnessOverGrey (image, x, y + 1) - here, 2.0);
        }
    }

    return sum / (double) (image.getWidth() * image.getHeight());
}

// The mean difference between a 1x picture and its 2x picture averaged down to 1x.
double meanDifferenceFromHalved (const juce::Image& image, const juce::Image& image2x)
{
    double sum = 0.0;

    for (int y = 0; y < image.getHeight(); ++y)
    {
        for (int x = 0; x < image.getWidth(); ++x)
        {
            float halved = 0.0f;

            for (int k = 0; k < 4; ++k)
                halved += brightnessOverGrey (image2x, 2 * x + k % 2, 2 * y + k / 2) * 0.25f;

            sum += std::abs (halved - brightnessOverGrey (image, x, y));
        }
    }

    return sum / (double) (image.getWidth() * image.getHeight());
}
} // namespace

TEST_F (ArtworkTest, EveryImageDecodesWithItsLayoutSizeAndFramesAtBothDensities)
{
    for (const auto& entry : ArtworkCatalogue::entries)
    {
        SCOPED_TRACE (entry.name);
        ASSERT_EQ (entry.height % entry.numFrames, 0);
        const MolvekArtwork artwork (entry.name);

        const auto image = artwork.getImage();
        ASSERT_TRUE (image.isValid());
        EXPECT_EQ (image.getWidth(), entry.width);
        EXPECT_EQ (image.getHeight(), entry.height);
        EXPECT_TRUE (image.hasAlphaChannel());

        const auto image2x = artwork.getImage2x();
        ASSERT_TRUE (image2x.isValid());
        EXPECT_EQ (image2x.getWidth(), 2 * entry.width);
        EXPECT_EQ (image2x.getHeight(), 2 * entry.height);

        const auto strip = artwork.getStrip (entry.numFrames);
        EXPECT_EQ (strip.getNumFrames(), entry.numFrames);
        EXPECT_EQ (strip.getFrameWidth(), entry.width);
        EXPECT_EQ (strip.getFrameHeight(), entry.height / entry.numFrames);

        // Decoded once: a second load shares the first one's pixels.
        EXPECT_EQ (MolvekArtwork (entry.name).getImage().getPixelData(), image.getPixelData());
    }

    EXPECT_FALSE (MolvekArtwork ("no_such_image").getImage().isValid());
}

TEST_F (ArtworkTest, EveryFrameOfAStripDiffersFromTheNext)
{
    for (const auto& entry : ArtworkCatalogue::entries)
    {
        const auto image = MolvekArtwork (entry.name).getImage();

        for (int frame = 1; frame < entry.numFrames; ++frame)
            EXPECT_GT (largestDifference (frameOf (image, entry.numFrames, frame - 1), frameOf (image, entry.numFrames, frame)), 40) << entry.name << " frame " << frame;
    }
}

TEST_F (ArtworkTest, TwoXImagesShowTheSamePictureAsTheOneXImages)
{
    for (const auto& entry : ArtworkCatalogue::entries)
    {
        const MolvekArtwork artwork (entry.name);
        EXPECT_LT (meanDifferenceFromHalved (artwork.getImage(), artwork.getImage2x()), 0.02) << entry.name;
    }
}

TEST_F (ArtworkTest, AtScaleTwoAKnobDrawsItsTwoXFrameAndIsSharperThanTheOneXFrameEnlarged)
{
    const MolvekArtwork artwork ("knob_overdrive");
    MolvekKnob knob ("overdriveKnob_");
    knob.setImage (artwork);
    knob.setBounds (0, 0, 96, 95);
    knob.setValue (0.5, juce::dontSendNotification);

    const auto atOne = knob.createComponentSnapshot (knob.getLocalBounds(), true, 1.0f);
    const auto atTwo = knob.createComponentSnapshot (knob.getLocalBounds(), true, 2.0f);

    // Pixel for pixel the strips' own frames: no resampling at either scale.
    EXPECT_LE (largestDifference (atOne, frameOf (artwork.getImage(), 101, 50)), 1);
    EXPECT_LE (largestDifference (atTwo, frameOf (artwork.getImage2x(), 101, 50)), 1);

    const auto enlarged = atOne.rescaled (atTwo.getWidth(), atTwo.getHeight(), juce::Graphics::highResamplingQuality);
    EXPECT_GT (detail (atTwo), 1.5 * detail (enlarged));
}

TEST_F (ArtworkTest, SelectorCaptionsArePrintedInsideTheirPositionAreas)
{
    const auto background = MolvekArtwork ("background").getImage();
    const auto selector = PedalLayout::overdriveTypeKnob;
    const auto left = selector.x + PedalLayout::selectorCaptionX;

    auto isInk = [&] (int x, int y)
    { return background.getPixelAt (x, y).getPerceivedBrightness() < 0.3f; };
    auto inkIn = [&] (juce::Rectangle<int> area)
    {
        int count = 0;

        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                count += isInk (x, y) ? 1 : 0;

        return count;
    };

    for (int i = 0; i < PedalLayout::numSelectorPositions; ++i)
    {
        const auto top = selector.y + PedalLayout::selectorCaptionTops[i];
        const auto width = PedalLayout::selectorCaptionWidths[i];
        const juce::Rectangle<int> area (left, top, width + 1, PedalLayout::selectorCaptionHeight + 1);

        // The caption fills its area's width, and nothing is printed in the area's rows to its
        // right or in the rows between it and the next caption.
        EXPECT_GT (inkIn (area), 60) << i;
        EXPECT_GT (inkIn (area.withLeft (area.getRight() - width / 4)), 5) << i;
        EXPECT_EQ (inkIn ({ area.getRight() + 1, top, 20, area.getHeight() }), 0) << i;

        if (i + 1 < PedalLayout::numSelectorPositions)
        {
            const auto nextTop = selector.y + PedalLayout::selectorCaptionTops[i + 1];
            EXPECT_EQ (inkIn ({ left, area.getBottom(), 80, nextTop - area.getBottom() }), 0) << i;
        }
    }
}
