#include "LightArt.h"

#include "ArtLayout.h"
#include "ArtPalette.h"

namespace
{
// A rectangular lamp lens: unlit it shows its tint dimly behind the glass; lit it glows.
void paintLens (const ArtCanvas& c, juce::Rectangle<float> lens, float cornerRadius, juce::Colour lit, juce::Colour unlit, bool on, float bloom)
{
    auto& g = c.g;
    juce::Path shape;
    shape.addRoundedRectangle (lens, cornerRadius);

    if (on)
    {
        // The light spills around the lens.
        c.dropShadow (shape, lit.withAlpha (0.8f), bloom, {});

        juce::ColourGradient fill (lit.brighter (0.6f), lens.getCentre().translated (0.0f, -lens.getHeight() * 0.25f), lit, { lens.getCentreX(), lens.getBottom() }, false);
        g.setGradientFill (fill);
        g.fillPath (shape);
        g.setColour (juce::Colours::white.withAlpha (0.35f));
        g.fillRoundedRectangle (lens.reduced (lens.getWidth() * 0.25f, lens.getHeight() * 0.2f).withHeight (lens.getHeight() * 0.25f), cornerRadius * 0.5f);
    }
    else
    {
        g.setGradientFill (juce::ColourGradient (unlit.brighter (0.25f), lens.getTopLeft(), unlit.darker (0.4f), lens.getBottomRight(), false));
        g.fillPath (shape);
        g.setColour (juce::Colours::white.withAlpha (0.12f));
        g.fillRoundedRectangle (lens.withHeight (lens.getHeight() * 0.35f).reduced (0.4f, 0.3f), cornerRadius * 0.6f);
    }

    g.setColour (juce::Colours::black.withAlpha (0.6f));
    g.strokePath (shape, juce::PathStrokeType (0.5f));
}
} // namespace

void LightArt::paintMeter (const ArtCanvas& c, int frame)
{
    for (int bar = 0; bar < ArtLayout::meterBars; ++bar)
    {
        const auto yellow = bar >= 7;
        const juce::Rectangle<float> lens (ArtLayout::meterBarLeft (bar), 2.5f, ArtLayout::meterBarWidth, 11.0f);
        paintLens (c, lens, 1.0f, yellow ? ArtPalette::yellow() : ArtPalette::green(), yellow ? ArtPalette::yellowDark() : ArtPalette::greenDark(), bar < frame, 1.2f);
    }
}

void LightArt::paintClipLight (const ArtCanvas& c, int frame)
{
    paintLens (c, { 1.0f, 2.5f, 5.0f, 11.0f }, 1.2f, ArtPalette::red(), juce::Colour (0xff4c4c4e), frame == 1, 1.0f);
}

void LightArt::paintOversamplingLight (const ArtCanvas& c, int frame)
{
    paintLens (c, { 2.5f, 2.5f, 16.0f, 9.0f }, 1.8f, ArtPalette::red(), ArtPalette::redDark(), frame == 1, 2.0f);
}
