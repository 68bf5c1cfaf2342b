#include "ArtCanvas.h"

#include <cmath>
#include <vector>

namespace
{
juce::Path scaled (juce::Path path, float scale)
{
    path.applyTransform (juce::AffineTransform::scale (scale));
    return path;
}

// A premultiplied white (positive) or black (negative) pixel of the given strength.
juce::PixelARGB shadePixel (float v)
{
    const auto alpha = static_cast<juce::uint8> (juce::jlimit (0, 255, juce::roundToInt (std::abs (v) * 255.0f)));
    return v > 0.0f ? juce::PixelARGB (alpha, alpha, alpha, alpha) : juce::PixelARGB (alpha, 0, 0, 0);
}

// Smooth value noise: random values on a grid of the given spacing, blended bilinearly.
class ValueNoise
{
public:
    ValueNoise (int width, int height, float spacing, juce::Random& random)
        : step (juce::jmax (1.0f, spacing))
        , columns (static_cast<int> (std::ceil ((float) width / step)) + 2)
        , rows (static_cast<int> (std::ceil ((float) height / step)) + 2)
        , values (static_cast<size_t> (columns * rows))
    {
        for (auto& v : values)
            v = random.nextFloat() * 2.0f - 1.0f;
    }

    float at (float x, float y) const
    {
        const auto gx = x / step;
        const auto gy = y / step;
        const auto ix = static_cast<int> (gx);
        const auto iy = static_cast<int> (gy);
        const auto fx = smooth (gx - (float) ix);
        const auto fy = smooth (gy - (float) iy);
        const auto top = juce::jmap (fx, get (ix, iy), get (ix + 1, iy));
        const auto bottom = juce::jmap (fx, get (ix, iy + 1), get (ix + 1, iy + 1));
        return juce::jmap (fy, top, bottom);
    }

private:
    static float smooth (float t) { return t * t * (3.0f - 2.0f * t); }
    float get (int x, int y) const { return values[static_cast<size_t> (juce::jmin (y, rows - 1) * columns + juce::jmin (x, columns - 1))]; }

    float step;
    int columns;
    int rows;
    std::vector<float> values;
};
} // namespace

ArtCanvas::ArtCanvas (juce::Graphics& graphics, float s, juce::Rectangle<float> b)
    : g (graphics)
    , scale (s)
    , bounds (b)
{
}

float ArtCanvas::snap (float v) const
{
    return std::round (v * scale) / scale;
}

float ArtCanvas::snapLine (float v, float width) const
{
    const auto deviceWidth = juce::jmax (1.0f, std::round (width * scale));
    const auto halfOdd = std::fmod (deviceWidth, 2.0f) * 0.5f;
    return (std::round (v * scale - halfOdd) + halfOdd) / scale;
}

juce::Path ArtCanvas::getTextPath (const juce::String& text, ArtFonts::Face face, float capHeight, juce::Point<float> anchor, juce::Justification justification, float tracking) const
{
    const auto deviceCap = juce::jmax (1.0f, std::round (capHeight * scale));
    auto font = ArtFonts::get (face, deviceCap / scale / ArtFonts::getCapHeightRatio (face));

    if (tracking != 0.0f)
        font = font.withExtraKerningFactor (tracking);

    juce::GlyphArrangement glyphs;
    glyphs.addLineOfText (font, text, 0.0f, 0.0f);
    juce::Path path;
    glyphs.createPath (path);

    const auto ink = path.getBounds();
    float left = anchor.x - ink.getWidth() * 0.5f;

    if (justification.testFlags (juce::Justification::left))
        left = anchor.x;
    else if (justification.testFlags (juce::Justification::right))
        left = anchor.x - ink.getWidth();

    path.applyTransform (juce::AffineTransform::translation (snap (left) - ink.getX(), snap (anchor.y)));
    return path;
}

juce::Rectangle<float> ArtCanvas::drawText (const juce::String& text, ArtFonts::Face face, float capHeight, juce::Point<float> anchor, juce::Justification justification, juce::Colour colour, float tracking) const
{
    const auto path = getTextPath (text, face, capHeight, anchor, justification, tracking);
    g.setColour (colour);
    g.fillPath (path);
    return path.getBounds();
}

juce::Rectangle<int> ArtCanvas::toDevice (juce::Rectangle<float> area) const
{
    return area.transformedBy (juce::AffineTransform::scale (scale)).getSmallestIntegerContainer();
}

void ArtCanvas::overlay (const juce::Image& deviceImage, juce::Rectangle<int> deviceArea, const juce::Path* clip) const
{
    const juce::Graphics::ScopedSaveState saved (g);

    if (clip != nullptr)
        g.reduceClipRegion (*clip);

    g.drawImage (deviceImage, deviceArea.toFloat().transformedBy (juce::AffineTransform::scale (1.0f / scale)));
}

void ArtCanvas::drawInDeviceSpace (juce::Rectangle<float> area, const std::function<void (juce::Graphics&)>& draw, const juce::Path* clip) const
{
    const auto device = toDevice (area);

    if (device.isEmpty())
        return;

    juce::Image image (juce::Image::ARGB, device.getWidth(), device.getHeight(), true);
    {
        juce::Graphics dg (image);
        dg.setOrigin (-device.getPosition());
        draw (dg);
    }
    overlay (image, device, clip);
}

void ArtCanvas::dropShadow (const juce::Path& path, juce::Colour colour, float radius, juce::Point<float> offset) const
{
    const auto area = path.getBounds().translated (offset.x, offset.y).expanded (radius + 2.0f);
    const auto devicePath = scaled (path, scale);
    const juce::DropShadow shadow (colour, juce::jmax (1, juce::roundToInt (radius * scale)), (offset * scale).roundToInt());

    drawInDeviceSpace (area, [&] (juce::Graphics& dg)
                       { shadow.drawForPath (dg, devicePath); });
}

void ArtCanvas::innerShadow (const juce::Path& path, juce::Colour colour, float radius, juce::Point<float> offset) const
{
    const auto area = path.getBounds();
    juce::Path surround;
    surround.addRectangle (area.expanded (radius * 3.0f + std::abs (offset.x) + std::abs (offset.y)));
    surround.addPath (path);
    surround.setUsingNonZeroWinding (false);

    const auto deviceSurround = scaled (surround, scale);
    const juce::DropShadow shadow (colour, juce::jmax (1, juce::roundToInt (radius * scale)), (offset * scale).roundToInt());

    drawInDeviceSpace (
        area, [&] (juce::Graphics& dg)
        { shadow.drawForPath (dg, deviceSurround); },
        &path);
}

void ArtCanvas::glow (juce::Point<float> centre, float radius, juce::Colour colour) const
{
    // Close to a Gaussian fall-off, which reads as light rather than as a painted disc.
    juce::ColourGradient gradient (colour, centre, colour.withAlpha (0.0f), centre.translated (radius, 0.0f), true);
    gradient.addColour (0.2, colour.withMultipliedAlpha (0.7f));
    gradient.addColour (0.45, colour.withMultipliedAlpha (0.3f));
    gradient.addColour (0.7, colour.withMultipliedAlpha (0.08f));
    g.setGradientFill (gradient);
    g.fillEllipse (juce::Rectangle<float> (radius * 2.0f, radius * 2.0f).withCentre (centre));
}

void ArtCanvas::grain (const juce::Path& area, float amount, float grainSize, int seed) const
{
    const auto device = toDevice (area.getBounds());

    if (device.isEmpty())
        return;

    juce::Random random (seed);
    const ValueNoise bumps (device.getWidth(), device.getHeight(), grainSize * scale, random);
    juce::Image image (juce::Image::ARGB, device.getWidth(), device.getHeight(), true);
    {
        const juce::Image::BitmapData pixels (image, juce::Image::BitmapData::writeOnly);

        for (int y = 0; y < device.getHeight(); ++y)
        {
            for (int x = 0; x < device.getWidth(); ++x)
            {
                auto v = (random.nextFloat() * 2.0f - 1.0f) * 0.5f;

                if (grainSize > 0.0f)
                    v += bumps.at ((float) x, (float) y) * 0.5f;

                *reinterpret_cast<juce::PixelARGB*> (pixels.getPixelPointer (x, y)) = shadePixel (v * amount);
            }
        }
    }
    overlay (image, device, &area);
}

void ArtCanvas::brushed (const juce::Path& area, float amount, int seed) const
{
    const auto device = toDevice (area.getBounds());

    if (device.isEmpty())
        return;

    juce::Random random (seed);
    std::vector<float> rowShade (static_cast<size_t> (device.getHeight()));

    for (auto& v : rowShade)
        v = random.nextFloat() * 2.0f - 1.0f;

    // Long streaks: slow variation along each row, independent from row to row.
    const ValueNoise streaks (device.getWidth(), device.getHeight(), 1.0f, random);
    const auto streakLength = 60.0f * scale;
    juce::Image image (juce::Image::ARGB, device.getWidth(), device.getHeight(), true);
    {
        const juce::Image::BitmapData pixels (image, juce::Image::BitmapData::writeOnly);

        for (int y = 0; y < device.getHeight(); ++y)
        {
            for (int x = 0; x < device.getWidth(); ++x)
            {
                const auto v = rowShade[static_cast<size_t> (y)] * 0.55f
                               + streaks.at ((float) x / streakLength, (float) y) * 0.35f
                               + (random.nextFloat() * 2.0f - 1.0f) * 0.1f;
                *reinterpret_cast<juce::PixelARGB*> (pixels.getPixelPointer (x, y)) = shadePixel (v * amount);
            }
        }
    }
    overlay (image, device, &area);
}
