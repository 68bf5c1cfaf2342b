#include "ArtFonts.h"

#include <array>

namespace
{
struct LoadedFace
{
    juce::Typeface::Ptr typeface;
    float capHeightRatio = 0.7f;
};

std::array<LoadedFace, 5>& faces()
{
    static std::array<LoadedFace, 5> loaded;
    return loaded;
}

LoadedFace& faceFor (ArtFonts::Face face)
{
    return faces()[static_cast<size_t> (face)];
}
} // namespace

bool ArtFonts::load (Face face, const juce::File& file)
{
    juce::MemoryBlock data;

    if (! file.loadFileAsData (data) || data.getSize() == 0)
        return false;

    auto typeface = juce::Typeface::createSystemTypefaceFor (data.getData(), data.getSize());

    if (typeface == nullptr)
        return false;

    // The cap height, measured on the outline of "H" at a large size.
    juce::GlyphArrangement glyphs;
    glyphs.addLineOfText (juce::Font (typeface).withHeight (1000.0f), "H", 0.0f, 0.0f);
    juce::Path outline;
    glyphs.createPath (outline);
    const auto capHeight = -outline.getBounds().getY() / 1000.0f;

    if (! (capHeight > 0.1f && capHeight < 1.0f))
        return false;

    faceFor (face) = { typeface, capHeight };
    return true;
}

juce::Font ArtFonts::get (Face face, float height)
{
    return juce::Font (faceFor (face).typeface).withHeight (height);
}

float ArtFonts::getCapHeightRatio (Face face)
{
    return faceFor (face).capHeightRatio;
}
