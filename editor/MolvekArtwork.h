#pragma once

#include "editor/FilmStrip.h"

#include <juce_graphics/juce_graphics.h>

// One image of the pedal's artwork as the library embeds it (see ArtworkCatalogue): decoded
// from memory through the ImageCache, so every control and every open editor shares one copy.
class MolvekArtwork
{
public:
    explicit MolvekArtwork (const juce::String& name);

    const juce::String& getName() const noexcept { return name; }

    // The image at its layout size ("<name>.png") and at twice that size ("<name>@2x.png");
    // invalid when the library has no such image.
    juce::Image getImage() const;
    juce::Image getImage2x() const;

    // The strip of the image with the 2x image loaded only when a display needs it.
    FilmStrip getStrip (int numFrames) const;

    // Any embedded PNG file by its file name, or an invalid image.
    static juce::Image loadEmbeddedImage (const juce::String& fileName);

private:
    juce::String name;
};
