#pragma once

#include <juce_graphics/juce_graphics.h>

// The typefaces the artwork is printed with, loaded from font files given on the command line
// so that the pictures do not depend on the fonts a machine happens to have installed.
class ArtFonts
{
public:
    enum class Face
    {
        caption, // small print: captions, scales, button labels
        text, // running text: the about screen's notices
        heading, // bold print: knob captions, titles
        logo, // the product and maker names
        script // the maker's signature
    };

    // Loads the typeface of one face; false when the file is missing or not a font.
    static bool load (Face face, const juce::File& file);

    static juce::Font get (Face face, float height);

    // Cap height of the face as a proportion of the font height.
    static float getCapHeightRatio (Face face);
};
