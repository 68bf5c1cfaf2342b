#pragma once

#include <juce_graphics/juce_graphics.h>

#include <functional>

// The looks of one control stacked vertically in one image, of which one frame is drawn at a
// time. The 1x image sets the frame geometry that layout and hit tests use. Where one layout
// pixel covers more than one screen pixel (a high-density display, a host's scale factor) the
// frame comes from the strip's 2x image instead, loaded the first time it is needed so that a
// plain display never decodes it.
class FilmStrip
{
public:
    // Gives the 2x image: twice as wide and with frames twice as high as the 1x image's.
    using ImageSource = std::function<juce::Image()>;

    FilmStrip() = default;
    FilmStrip (const juce::Image& image, int numFrames, ImageSource image2x = {});

    // True without an image (or with one too small for its frames): nothing is drawn then.
    bool isEmpty() const noexcept { return numFrames == 0; }

    int getNumFrames() const noexcept { return numFrames; }
    int getFrameWidth() const noexcept { return frameWidth; }
    int getFrameHeight() const noexcept { return frameHeight; }
    const juce::Image& getImage() const noexcept { return image; }

    // Draws the frame stretched over the destination; a frame outside the strip draws nothing.
    void drawFrame (juce::Graphics& g, int frame, juce::Rectangle<int> destination, float opacity = 1.0f) const;

private:
    const juce::Image* getImage2x() const;

    juce::Image image;
    int numFrames = 0;
    int frameWidth = 0;
    int frameHeight = 0;

    ImageSource image2xSource;
    mutable juce::Image image2x;
    mutable bool image2xLoaded = false;
};
