#include "KnobArt.h"

#include "ArtLayout.h"
#include "ArtPalette.h"

#include <cmath>

namespace
{
constexpr float lightAngle = -0.75f; // radians clockwise from 12 o'clock: the upper left

// A fill lit from the upper left across a circle of the given radius.
juce::ColourGradient litAcross (juce::Point<float> centre, float radius, juce::Colour lit, juce::Colour shade)
{
    const auto from = ArtLayout::polar (centre, radius, lightAngle);
    const auto to = ArtLayout::polar (centre, radius, lightAngle + juce::MathConstants<float>::pi);
    return juce::ColourGradient (lit, from, shade, to, false);
}

juce::Path circle (juce::Point<float> centre, float radius)
{
    juce::Path p;
    p.addEllipse (juce::Rectangle<float> (radius * 2.0f, radius * 2.0f).withCentre (centre));
    return p;
}

// A printed tick from one radius to another at an angle.
void tick (const ArtCanvas& c, juce::Point<float> centre, float from, float to, float angle, float width)
{
    c.g.drawLine (juce::Line<float> (ArtLayout::polar (centre, from, angle), ArtLayout::polar (centre, to, angle)), width);
}

// A line of the given width with rounded ends, as a path.
juce::Path roundedStroke (juce::Line<float> line, float width)
{
    juce::Path source;
    source.startNewSubPath (line.getStart());
    source.lineTo (line.getEnd());
    juce::Path stroke;
    juce::PathStrokeType (width, juce::PathStrokeType::mitered, juce::PathStrokeType::rounded).createStrokedPath (stroke, source);
    return stroke;
}

float proportionOf (int frame)
{
    return (float) frame / 100.0f;
}
} // namespace

void KnobArt::paintBlackKnob (const ArtCanvas& c, juce::Point<float> centre, float radius, float angle)
{
    auto& g = c.g;
    const auto capRadius = radius * 0.76f;
    const auto body = circle (centre, radius);

    // Shadows: a wide soft one from the light, a tight one where the knob meets the panel.
    c.dropShadow (body, ArtPalette::shadow().withAlpha (0.7f), radius * 0.28f, { radius * 0.06f, radius * 0.13f });
    c.dropShadow (body, ArtPalette::shadow().withAlpha (0.6f), radius * 0.07f, { 0.0f, radius * 0.04f });

    // The knurled skirt: grooves turn with the knob, each lit by how it faces the light.
    g.setGradientFill (litAcross (centre, radius, ArtPalette::knobLit(), ArtPalette::knobShade()));
    g.fillPath (body);

    const int grooves = radius > 15.0f ? 40 : 28;
    const auto grooveWidth = juce::jmax (0.45f, radius * 0.035f);

    for (int i = 0; i < grooves; ++i)
    {
        const auto a = angle + juce::MathConstants<float>::twoPi * (float) i / (float) grooves;
        const auto facing = std::cos (a - lightAngle);
        const auto inner = ArtLayout::polar (centre, capRadius + 0.4f, a);
        const auto outer = ArtLayout::polar (centre, radius - 0.35f, a);
        g.setColour (juce::Colours::black.withAlpha (0.55f));
        g.drawLine ({ inner, outer }, grooveWidth * 1.3f);
        const auto ridge = a + 0.5f * juce::MathConstants<float>::twoPi / (float) grooves;
        g.setColour (juce::Colours::white.withAlpha (0.05f + 0.2f * juce::jmax (0.0f, facing)));
        g.drawLine ({ ArtLayout::polar (centre, capRadius + 0.4f, ridge), ArtLayout::polar (centre, radius - 0.35f, ridge) }, grooveWidth);
    }

    // The rim catches the light on its upper left edge.
    juce::ColourGradient rim (juce::Colours::white.withAlpha (0.45f), ArtLayout::polar (centre, radius, lightAngle), juce::Colours::white.withAlpha (0.0f), centre, false);
    g.setGradientFill (rim);
    g.drawEllipse (juce::Rectangle<float> (radius * 2.0f - 0.6f, radius * 2.0f - 0.6f).withCentre (centre), 0.6f);

    // The domed cap, a step above the skirt.
    const auto cap = circle (centre, capRadius);
    c.dropShadow (cap, juce::Colours::black.withAlpha (0.8f), radius * 0.08f, { radius * 0.02f, radius * 0.05f });
    g.setGradientFill (litAcross (centre, capRadius, juce::Colour (0xff313134), juce::Colour (0xff0b0b0c)));
    g.fillPath (cap);

    juce::ColourGradient gloss (juce::Colours::white.withAlpha (0.16f), ArtLayout::polar (centre, capRadius * 0.45f, lightAngle), juce::Colours::white.withAlpha (0.0f), ArtLayout::polar (centre, capRadius * 0.45f, lightAngle).translated (capRadius * 0.8f, 0.0f), true);
    g.setGradientFill (gloss);
    g.fillPath (cap);

    juce::ColourGradient capEdge (juce::Colours::white.withAlpha (0.35f), ArtLayout::polar (centre, capRadius, lightAngle), juce::Colours::white.withAlpha (0.0f), ArtLayout::polar (centre, capRadius, lightAngle + 1.8f), false);
    g.setGradientFill (capEdge);
    g.drawEllipse (juce::Rectangle<float> (capRadius * 2.0f - 0.5f, capRadius * 2.0f - 0.5f).withCentre (centre), 0.5f);

    // The pointer: a white line from near the centre across the cap and the skirt.
    const auto pointerWidth = juce::jmax (1.5f, radius * 0.085f);
    const auto pointerPath = roundedStroke ({ ArtLayout::polar (centre, capRadius * 0.3f, angle), ArtLayout::polar (centre, radius - 0.8f, angle) }, pointerWidth);
    c.dropShadow (pointerPath, juce::Colours::black.withAlpha (0.5f), 0.6f, { 0.2f, 0.4f });
    g.setColour (ArtPalette::pointer());
    g.fillPath (pointerPath);
}

void KnobArt::paintLamp (const ArtCanvas& c, juce::Point<float> centre, float radius, bool lit)
{
    auto& g = c.g;
    const auto bezel = circle (centre, radius + 0.9f);
    c.dropShadow (bezel, juce::Colours::black.withAlpha (0.45f), 0.8f, { 0.2f, 0.5f });
    g.setGradientFill (litAcross (centre, radius + 0.9f, juce::Colour (0xff2a2a2a), juce::Colour (0xff000000)));
    g.fillPath (bezel);

    const auto lens = circle (centre, radius);

    if (lit)
    {
        c.glow (centre, radius * 3.2f, ArtPalette::red().withAlpha (0.55f));
        juce::ColourGradient hot (juce::Colour (0xffffe0c8), centre.translated (-radius * 0.2f, -radius * 0.25f), ArtPalette::red(), centre.translated (radius, radius), true);
        hot.addColour (0.45, juce::Colour (0xffff5a36));
        g.setGradientFill (hot);
    }
    else
    {
        g.setGradientFill (juce::ColourGradient (juce::Colour (0xff7a1a12), centre.translated (-radius * 0.4f, -radius * 0.5f), ArtPalette::redDark(), centre.translated (radius * 0.6f, radius * 0.7f), true));
    }

    g.fillPath (lens);

    // A small reflection of the room light on the lens.
    g.setColour (juce::Colours::white.withAlpha (lit ? 0.55f : 0.35f));
    g.fillEllipse (juce::Rectangle<float> (radius * 0.7f, radius * 0.5f).withCentre (centre.translated (-radius * 0.32f, -radius * 0.42f)));
}

void KnobArt::paintSmallKnob (const ArtCanvas& c, int frame)
{
    const auto centre = ArtLayout::smallKnobCentre();

    // The dotted scale: eleven dots, the two ends a little larger.
    c.g.setColour (ArtPalette::cream().withAlpha (0.9f));

    for (int i = 0; i <= 10; ++i)
    {
        const auto r = (i == 0 || i == 10) ? 1.25f : 0.85f;
        const auto p = ArtLayout::polar (centre, 18.3f, ArtLayout::knobAngle ((float) i / 10.0f));
        c.g.fillEllipse (juce::Rectangle<float> (r * 2.0f, r * 2.0f).withCentre (p));
    }

    paintBlackKnob (c, centre, 12.8f, ArtLayout::knobAngle (proportionOf (frame)));
}

void KnobArt::paintLargeKnob (const ArtCanvas& c, int frame, const juce::String& caption)
{
    const auto centre = ArtLayout::largeKnobCentre();

    // The orange tick ring: eleven long ticks and the half steps between them.
    c.g.setColour (ArtPalette::orangePrint());

    for (int i = 0; i <= 20; ++i)
    {
        const auto angle = ArtLayout::knobAngle ((float) i / 20.0f);

        if (i % 2 == 0)
            tick (c, centre, 31.0f, 37.5f, angle, 1.7f);
        else
            tick (c, centre, 33.5f, 37.0f, angle, 1.0f);
    }

    paintBlackKnob (c, centre, 25.5f, ArtLayout::knobAngle (proportionOf (frame)));

    c.drawText (caption, ArtFonts::Face::heading, 7.0f, { centre.x, 91.0f }, juce::Justification::centred, ArtPalette::cream(), 0.12f);
}

void KnobArt::paintSelector (const ArtCanvas& c, int position)
{
    auto& g = c.g;
    const auto centre = ArtLayout::selectorCentre();

    for (int i = 0; i < PedalLayout::numSelectorPositions; ++i)
        paintLamp (c, ArtLayout::selectorLamp (i), 3.1f, i == position);

    // A pointer knob, drawn pointing up and turned to its position; the light stays put.
    juce::Path head;
    const float bodyRadius = 20.0f;
    const auto side = juce::degreesToRadians (70.0f);
    head.startNewSubPath (-3.6f, -35.0f);
    head.lineTo (bodyRadius * std::sin (-side), -bodyRadius * std::cos (-side));
    head.addCentredArc (0.0f, 0.0f, bodyRadius, bodyRadius, 0.0f, juce::MathConstants<float>::twoPi - side, side);
    head.lineTo (3.6f, -35.0f);
    head.quadraticTo (0.0f, -40.0f, -3.6f, -35.0f);
    head.closeSubPath();

    const auto turn = juce::AffineTransform::rotation (ArtLayout::selectorAngle (position)).translated (centre);
    head.applyTransform (turn);

    c.dropShadow (head, juce::Colours::black.withAlpha (0.6f), 6.0f, { 1.8f, 4.0f });
    c.dropShadow (head, juce::Colours::black.withAlpha (0.55f), 1.5f, { 0.3f, 1.0f });

    g.setGradientFill (litAcross (centre, 30.0f, ArtPalette::knobLit(), ArtPalette::knobShade()));
    g.fillPath (head);

    // A bevel all round, bright where the edge faces the light.
    juce::Path inner (head);
    inner.applyTransform (juce::AffineTransform::translation (-centre).scaled (0.86f).translated (centre));
    juce::ColourGradient bevel (juce::Colours::white.withAlpha (0.35f), ArtLayout::polar (centre, 30.0f, lightAngle), juce::Colours::white.withAlpha (0.0f), centre, false);
    g.setGradientFill (bevel);
    g.strokePath (head, juce::PathStrokeType (0.7f));
    g.setGradientFill (litAcross (centre, 26.0f, juce::Colour (0xff2d2d30), juce::Colour (0xff09090a)));
    g.fillPath (inner);

    juce::ColourGradient gloss (juce::Colours::white.withAlpha (0.12f), centre.translated (-7.0f, -8.0f), juce::Colours::white.withAlpha (0.0f), centre.translated (8.0f, -8.0f), true);
    g.setGradientFill (gloss);
    g.fillPath (inner);

    // The pointer line along the blade.
    const auto angle = ArtLayout::selectorAngle (position);
    const auto stroke = roundedStroke ({ ArtLayout::polar (centre, 5.0f, angle), ArtLayout::polar (centre, 32.5f, angle) }, 2.2f);
    c.dropShadow (stroke, juce::Colours::black.withAlpha (0.5f), 0.6f, { 0.2f, 0.4f });
    g.setColour (ArtPalette::pointer());
    g.fillPath (stroke);
}
