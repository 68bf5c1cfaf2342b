#include "PanelArt.h"

#include "ArtPalette.h"
#include "PedalFaceArt.h"

#include <cmath>

namespace
{
juce::Path roundedRect (juce::Rectangle<float> r, float radius)
{
    juce::Path p;
    p.addRoundedRectangle (r, radius);
    return p;
}

// A dark panel floating over the pedal: a wide shadow, a graphite face, a fine lit border.
juce::Path paintFloatingPanel (const ArtCanvas& c, juce::Rectangle<float> area, float radius)
{
    auto& g = c.g;
    const auto path = roundedRect (area, radius);
    c.dropShadow (path, juce::Colours::black.withAlpha (0.75f), 10.0f, { 0.0f, 4.0f });
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xf0282a2d), area.getTopLeft(), juce::Colour (0xf2141517), area.getBottomLeft(), false));
    g.fillPath (path);
    c.grain (path, 0.02f, 0.0f, 31);
    g.setGradientFill (juce::ColourGradient (juce::Colours::white.withAlpha (0.3f), area.getTopLeft(), juce::Colours::white.withAlpha (0.06f), area.getTopLeft().translated (0.0f, area.getHeight() * 0.4f), false));
    g.strokePath (roundedRect (area.reduced (0.5f), radius - 0.5f), juce::PathStrokeType (1.0f));
    return path;
}

void separator (const ArtCanvas& c, float y, float left, float right)
{
    const auto line = c.snapLine (y, 1.0f);
    auto gradient = juce::ColourGradient (juce::Colours::white.withAlpha (0.0f), { left, line }, juce::Colours::white.withAlpha (0.0f), { right, line }, false);
    gradient.addColour (0.2, ArtPalette::orangePrint().withAlpha (0.7f));
    gradient.addColour (0.8, ArtPalette::orangePrint().withAlpha (0.7f));
    c.g.setGradientFill (gradient);
    c.g.fillRect (juce::Rectangle<float> (left, line - 0.5f, right - left, 1.0f));
}
} // namespace

void PanelArt::paintAbout (const ArtCanvas& c)
{
    const auto area = c.bounds.reduced (6.0f);
    const auto panel = paintFloatingPanel (c, area, 16.0f);
    const auto centreX = c.bounds.getCentreX();
    const auto grey = juce::Colour (0xffd3d3d3);

    // The pedal's rays rising from the foot of the screen.
    {
        const juce::Graphics::ScopedSaveState saved (c.g);
        c.g.reduceClipRegion (panel);
        const juce::Point<float> foot (centreX, area.getBottom() + 30.0f);
        juce::Path rays;

        for (int i = -9; i <= 9; i += 2)
        {
            const auto a0 = 0.09f * (float) i;
            rays.startNewSubPath (foot);
            rays.lineTo (foot.x + 260.0f * std::sin (a0), foot.y - 260.0f * std::cos (a0));
            rays.lineTo (foot.x + 260.0f * std::sin (a0 + 0.09f), foot.y - 260.0f * std::cos (a0 + 0.09f));
            rays.closeSubPath();
        }

        juce::ColourGradient fade (ArtPalette::orangePrint().withAlpha (0.13f), foot, ArtPalette::orangePrint().withAlpha (0.0f), foot.translated (0.0f, -170.0f), true);
        c.g.setGradientFill (fade);
        c.g.fillPath (rays);
    }

    PedalFaceArt::paintMakerLogo (c, { centreX, 58.0f }, 20.0f, ArtPalette::cream());
    c.drawText ("VARDEKO QX2710", ArtFonts::Face::logo, 13.0f, { centreX, 90.0f }, juce::Justification::centred, ArtPalette::orangePrint(), 0.06f);
    c.drawText ("FIVE-CIRCUIT OVERDRIVE", ArtFonts::Face::heading, 6.0f, { centreX, 106.0f }, juce::Justification::centred, ArtPalette::greyPrint(), 0.25f);

    // The screen's own label writes the version from x 150 on, on this baseline.
    c.drawText ("Version:", ArtFonts::Face::text, 9.0f, { 150.0f, 145.0f }, juce::Justification::right, grey);

    separator (c, 170.0f, 30.0f, c.bounds.getRight() - 30.0f);

    struct Credit
    {
        const char* role;
        const char* name;
    };

    const Credit credits[] = { { "CIRCUIT MODELLING AND DSP", "Molvek Audio Engineering" }, { "PRESETS", "Molvek Sound Design" }, { "ARTWORK", "Molvek Design Studio" } };
    float y = 198.0f;

    for (const auto& credit : credits)
    {
        c.drawText (credit.role, ArtFonts::Face::heading, 6.0f, { centreX, y }, juce::Justification::centred, ArtPalette::orangePrint(), 0.2f);
        c.drawText (credit.name, ArtFonts::Face::text, 8.0f, { centreX, y + 15.0f }, juce::Justification::centred, ArtPalette::cream());
        y += 38.0f;
    }

    separator (c, 322.0f, 30.0f, c.bounds.getRight() - 30.0f);

    const char* notices[] = { "Copyright Molvek. All rights reserved.",
                              "VST, VST3 and AAX are trademarks of their owners.",
                              "Made with the JUCE framework." };
    y = 348.0f;

    for (const auto* notice : notices)
    {
        c.drawText (notice, ArtFonts::Face::text, 6.5f, { centreX, y }, juce::Justification::centred, ArtPalette::greyPrint());
        y += 15.0f;
    }

    c.drawText ("CLICK ANYWHERE TO CLOSE", ArtFonts::Face::heading, 5.0f, { centreX, 474.0f }, juce::Justification::centred, ArtPalette::greyPrint(), 0.3f);
}

void PanelArt::paintPanel (const ArtCanvas& c)
{
    paintFloatingPanel (c, { 12.0f, 108.0f, 301.0f, 292.0f }, 14.0f);
}

void PanelArt::paintBrowser (const ArtCanvas& c)
{
    const juce::Rectangle<float> area (5.0f, 16.0f, 315.0f, 456.0f);
    paintFloatingPanel (c, area, 12.0f);

    // The thin light line under the title band.
    const auto line = c.snapLine (74.0f, 1.0f);
    c.g.setColour (ArtPalette::cream().withAlpha (0.55f));
    c.g.fillRect (juce::Rectangle<float> (area.getX() + 12.0f, line - 0.5f, area.getWidth() - 24.0f, 1.0f));
}

void PanelArt::paintSaveTitle (const ArtCanvas& c)
{
    c.drawText ("SAVE AS", ArtFonts::Face::heading, 13.0f, { c.bounds.getCentreX(), 53.0f }, juce::Justification::centred, ArtPalette::cream(), 0.2f);
}

void PanelArt::paintIcon (const ArtCanvas& c, Icon icon)
{
    auto& g = c.g;
    const juce::Point<float> centre (162.0f, 157.0f);
    const float radius = 24.0f;
    juce::Path shape;
    juce::Colour top, bottom;

    if (icon == Icon::warning)
    {
        const auto h = radius * 1.85f;
        shape.addTriangle (centre.x, centre.y - h * 0.55f, centre.x + h * 0.6f, centre.y + h * 0.45f, centre.x - h * 0.6f, centre.y + h * 0.45f);
        shape = shape.createPathWithRoundedCorners (5.0f);
        top = juce::Colour (0xffffd75a);
        bottom = juce::Colour (0xffe9a713);
    }
    else
    {
        shape.addEllipse (juce::Rectangle<float> (radius * 2.0f, radius * 2.0f).withCentre (centre));
        top = icon == Icon::success ? juce::Colour (0xff52d273) : juce::Colour (0xfff0554a);
        bottom = icon == Icon::success ? juce::Colour (0xff1f9a45) : juce::Colour (0xffb81f1a);
    }

    const auto box = shape.getBounds();
    c.dropShadow (shape, juce::Colours::black.withAlpha (0.6f), 4.0f, { 0.0f, 2.0f });
    g.setGradientFill (juce::ColourGradient (top, box.getTopLeft(), bottom, box.getBottomLeft(), false));
    g.fillPath (shape);
    g.setGradientFill (juce::ColourGradient (juce::Colours::white.withAlpha (0.35f), box.getTopLeft(), juce::Colours::white.withAlpha (0.0f), { box.getX(), box.getCentreY() }, false));
    g.strokePath (shape, juce::PathStrokeType (1.0f), juce::AffineTransform::scale (0.97f, 0.97f, centre.x, centre.y));

    juce::Path mark;
    const juce::PathStrokeType stroke (5.0f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded);

    if (icon == Icon::warning)
    {
        juce::Path bar;
        bar.startNewSubPath (centre.x, centre.y - 10.0f);
        bar.lineTo (centre.x, centre.y + 5.0f);
        stroke.createStrokedPath (mark, bar);
        mark.addEllipse (juce::Rectangle<float> (5.6f, 5.6f).withCentre (centre.translated (0.0f, 13.5f)));
        g.setColour (juce::Colour (0xff2a1d08));
    }
    else
    {
        juce::Path lines;

        if (icon == Icon::success)
        {
            lines.startNewSubPath (centre.x - 10.0f, centre.y + 1.0f);
            lines.lineTo (centre.x - 3.0f, centre.y + 8.0f);
            lines.lineTo (centre.x + 11.0f, centre.y - 8.0f);
        }
        else
        {
            lines.startNewSubPath (centre.x - 8.5f, centre.y - 8.5f);
            lines.lineTo (centre.x + 8.5f, centre.y + 8.5f);
            lines.startNewSubPath (centre.x + 8.5f, centre.y - 8.5f);
            lines.lineTo (centre.x - 8.5f, centre.y + 8.5f);
        }

        stroke.createStrokedPath (mark, lines);
        g.setColour (juce::Colours::white);
    }

    g.fillPath (mark);
}
