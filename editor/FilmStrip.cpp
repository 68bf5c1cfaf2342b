#include "editor/FilmStrip.h"

FilmStrip::FilmStrip (const juce::Image& stripImage, int frames, ImageSource source2x)
{
    if (! stripImage.isValid() || frames <= 0 || stripImage.getHeight() < frames)
        return;

    image = stripImage;
    numFrames = frames;
    frameWidth = image.getWidth();
    frameHeight = image.getHeight() / frames;
    image2xSource = std::move (source2x);
}

const juce::Image* FilmStrip::getImage2x() const
{
    if (! image2xLoaded)
    {
        image2xLoaded = true;

        if (image2xSource)
        {
            auto candidate = image2xSource();

            // Only a strip of exactly twice the geometry can stand in for the 1x frames.
            if (candidate.getWidth() == 2 * frameWidth && candidate.getHeight() / numFrames == 2 * frameHeight)
                image2x = candidate;
        }
    }

    return image2x.isValid() ? &image2x : nullptr;
}

void FilmStrip::drawFrame (juce::Graphics& g, int frame, juce::Rectangle<int> destination, float opacity) const
{
    if (isEmpty() || frame < 0 || frame >= numFrames || destination.isEmpty())
        return;

    const auto* source = &image;
    int density = 1;

    if (g.getInternalContext().getPhysicalPixelScaleFactor() > 1.0f)
    {
        if (const auto* hiRes = getImage2x())
        {
            source = hiRes;
            density = 2;
        }
    }

    const juce::Graphics::ScopedSaveState saved (g);
    g.setOpacity (opacity);
    g.drawImage (*source,
                 destination.getX(),
                 destination.getY(),
                 destination.getWidth(),
                 destination.getHeight(),
                 0,
                 frame * frameHeight * density,
                 frameWidth * density,
                 frameHeight * density);
}
