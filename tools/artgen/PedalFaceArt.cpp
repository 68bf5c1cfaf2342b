#include "PedalFaceArt.h"

#include "ArtLayout.h"
#include "ArtPalette.h"

#include <cmath>

namespace
{
using Box = PedalLayout::Box;

juce::Rectangle<float> toRect (Box b)
{
    return { (float) b.x, (float) b.y, (float) b.width, (float) b.height };
}

juce::Path roundedRect (juce::Rectangle<float> r, float radius)
{
    juce::Path p;
    p.addRoundedRectangle (r, radius);
    return p;
}

const juce::String selectorCaptions[] = { "BLUES", "BOUTIQUE", "MAD", "MODERN", "PRO" };

void paintTopBar (const ArtCanvas& c)
{
    auto& g = c.g;
    const juce::Rectangle<float> bar (0.0f, 0.0f, (float) PedalLayout::width, 31.0f);
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff222225), bar.getTopLeft(), ArtPalette::bar(), bar.getBottomLeft(), false));
    g.fillRect (bar);
    c.grain (roundedRect (bar, 0.0f), 0.02f, 0.0f, 3);

    // The preset name field: a pale window set into the bar.
    const auto field = toRect (PedalLayout::presetMenu).reduced (0.0f, 1.0f);
    const auto fieldPath = roundedRect (field, 3.0f);
    c.dropShadow (fieldPath, juce::Colours::white.withAlpha (0.12f), 0.5f, { 0.0f, 0.8f });
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xffe8dfae), field.getTopLeft(), ArtPalette::nameField(), field.getBottomLeft(), false));
    g.fillPath (fieldPath);
    c.grain (fieldPath, 0.02f, 0.0f, 4);
    c.innerShadow (fieldPath, juce::Colours::black.withAlpha (0.55f), 2.5f, { 0.0f, 1.2f });
    g.setColour (juce::Colours::black.withAlpha (0.8f));
    g.strokePath (fieldPath, juce::PathStrokeType (0.8f));
}

void paintUpperPlate (const ArtCanvas& c)
{
    auto& g = c.g;
    const juce::Rectangle<float> plate (0.0f, 31.0f, (float) PedalLayout::width, ArtLayout::bodyTop - 31.0f);
    const auto platePath = roundedRect (plate, 0.0f);

    // The plate's lower edge throws a shadow onto the orange body.
    c.dropShadow (platePath, juce::Colours::black.withAlpha (0.8f), 5.0f, { 0.0f, 2.5f });

    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff393a3f), plate.getTopLeft(), juce::Colour (0xff242528), plate.getBottomLeft(), false));
    g.fillPath (platePath);
    c.brushed (platePath, 0.05f, 11);

    // A soft reflection of the room light across the upper left.
    juce::ColourGradient sheen (juce::Colours::white.withAlpha (0.07f), plate.getTopLeft(), juce::Colours::white.withAlpha (0.0f), plate.getTopLeft().translated (220.0f, 90.0f), false);
    g.setGradientFill (sheen);
    g.fillPath (platePath);

    g.setColour (juce::Colours::black);
    g.fillRect (plate.withHeight (1.0f));
    g.setColour (juce::Colours::white.withAlpha (0.14f));
    g.fillRect (plate.withTrimmedTop (1.0f).withHeight (1.0f));
    g.setColour (juce::Colours::white.withAlpha (0.1f));
    g.fillRect (plate.withTop (plate.getBottom() - 1.0f));

    // The meter window, under both the meter and the clip light.
    const auto meter = toRect (PedalLayout::inputMeter);
    const auto window = roundedRect (meter.getUnion (toRect (PedalLayout::inputPeak)).expanded (1.5f, 2.0f), 2.5f);
    g.setColour (juce::Colour (0xff060607));
    g.fillPath (window);
    c.innerShadow (window, juce::Colours::black, 2.0f, { 0.0f, 1.0f });
    g.setColour (juce::Colours::white.withAlpha (0.13f));
    g.strokePath (window, juce::PathStrokeType (0.6f), juce::AffineTransform::translation (0.0f, 0.6f));

    // Tick marks under the bars as they land once the meter's strip is stretched.
    const auto tickTop = meter.getBottom() + 3.0f;

    for (int bar = 0; bar < ArtLayout::meterBars; ++bar)
    {
        const auto x = meter.getX() + (ArtLayout::meterBarLeft (bar) + ArtLayout::meterBarWidth * 0.5f) * ArtLayout::meterStretch();
        const auto major = bar == 0 || bar == 6 || bar == 9;
        g.setColour ((bar >= 7 ? ArtPalette::orangePrint() : ArtPalette::greyPrint()).withAlpha (0.9f));
        g.fillRect (juce::Rectangle<float> (c.snapLine (x, 1.0f) - 0.5f, tickTop, 1.0f, major ? 3.0f : 2.0f));
    }

    // Small knob captions, centred under each knob.
    const auto captionBaseline = (float) PedalLayout::inputVolKnob.getBottom() + 10.0f;
    c.drawText ("INPUT", ArtFonts::Face::heading, 6.0f, { PedalLayout::inputVolKnob.getCentreX(), captionBaseline }, juce::Justification::centred, ArtPalette::cream(), 0.14f);
    c.drawText ("DRY/WET", ArtFonts::Face::heading, 6.0f, { PedalLayout::dryWetKnob.getCentreX(), captionBaseline }, juce::Justification::centred, ArtPalette::cream(), 0.14f);

    // The oversampling group: a title with a bracket over the four lights, factors below them.
    const auto& first = PedalLayout::oversamplingButtons[0];
    const auto& last = PedalLayout::oversamplingButtons[3];
    const auto groupCentre = ((float) first.x + (float) last.getRight()) * 0.5f;
    const auto title = c.drawText ("OVERSAMPLING", ArtFonts::Face::heading, 6.0f, { groupCentre, (float) first.y - 7.0f }, juce::Justification::centred, ArtPalette::cream(), 0.14f);
    const auto bracketY = c.snapLine (title.getCentreY(), 0.7f);
    g.setColour (ArtPalette::greyPrint().withAlpha (0.7f));
    g.drawLine ((float) first.x + 2.0f, bracketY, title.getX() - 5.0f, bracketY, 0.7f);
    g.drawLine (title.getRight() + 5.0f, bracketY, (float) last.getRight() - 2.0f, bracketY, 0.7f);
    g.drawLine ((float) first.x + 2.0f, bracketY - 0.35f, (float) first.x + 2.0f, bracketY + 3.0f, 0.7f);
    g.drawLine ((float) last.getRight() - 2.0f, bracketY - 0.35f, (float) last.getRight() - 2.0f, bracketY + 3.0f, 0.7f);

    const char* factors[] = { "1x", "2x", "4x", "8x" };

    for (int i = 0; i < 4; ++i)
    {
        const auto& light = PedalLayout::oversamplingButtons[i];
        c.drawText (factors[i], ArtFonts::Face::caption, 6.0f, { light.getCentreX(), (float) light.getBottom() + 9.0f }, juce::Justification::centred, ArtPalette::greyPrint().brighter (0.3f), 0.06f);
    }

    // The maker's name beside the copy button.
    const auto copy = PedalLayout::abCopyButton;
    PedalFaceArt::paintMakerLogo (c, { ((float) copy.getRight() + (float) PedalLayout::width) * 0.5f + 1.0f, 50.0f }, 12.0f, ArtPalette::cream());

    for (const auto& screw : { juce::Point<float> (9.0f, 131.0f), juce::Point<float> (316.0f, 131.0f) })
        PedalFaceArt::paintScrew (c, screw, 3.6f, 0.6f);
}

void paintBody (const ArtCanvas& c)
{
    auto& g = c.g;
    const juce::Rectangle<float> body (1.5f, ArtLayout::bodyTop - 20.0f, (float) PedalLayout::width - 3.0f, (float) PedalLayout::height - ArtLayout::bodyTop + 18.5f);
    const auto bodyPath = roundedRect (body, 16.0f);

    // Enamel lit from the upper left, with its orange-peel surface.
    juce::ColourGradient enamel (ArtPalette::enamelLight(), body.getTopLeft(), ArtPalette::enamelShade(), body.getBottomRight(), false);
    enamel.addColour (0.45, ArtPalette::enamel());
    g.setGradientFill (enamel);
    g.fillPath (bodyPath);
    c.grain (bodyPath, 0.06f, 3.0f, 21);

    // A broad soft highlight, as from a window to the upper left.
    juce::ColourGradient highlight (juce::Colours::white.withAlpha (0.16f), { 70.0f, 200.0f }, juce::Colours::white.withAlpha (0.0f), { 70.0f + 190.0f, 200.0f }, true);
    g.setGradientFill (highlight);
    g.fillPath (bodyPath);

    // The rounded edge of the enclosure: bright where it turns towards the light.
    juce::ColourGradient edge (juce::Colours::white.withAlpha (0.45f), body.getTopLeft(), juce::Colours::black.withAlpha (0.45f), body.getBottomRight(), false);
    edge.addColour (0.5, juce::Colours::white.withAlpha (0.0f));
    g.setGradientFill (edge);
    g.strokePath (roundedRect (body.reduced (1.2f), 15.0f), juce::PathStrokeType (2.0f));
    g.setColour (juce::Colours::black.withAlpha (0.6f));
    g.strokePath (bodyPath, juce::PathStrokeType (1.0f));
}

void paintKnobPanel (const ArtCanvas& c)
{
    auto& g = c.g;
    const auto panel = ArtLayout::knobPanel();
    const auto panelPath = roundedRect (panel, 11.0f);

    // Printed black, with the enamel's gloss over it.
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff23211f), panel.getTopLeft(), juce::Colour (0xff0f0e0d), panel.getBottomRight(), false));
    g.fillPath (panelPath);
    c.grain (panelPath, 0.03f, 3.0f, 23);
    juce::ColourGradient gloss (juce::Colours::white.withAlpha (0.07f), panel.getTopLeft(), juce::Colours::white.withAlpha (0.0f), panel.getTopLeft().translated (0.0f, panel.getHeight() * 0.6f), false);
    g.setGradientFill (gloss);
    g.fillPath (panelPath);

    // A fine orange pinstripe inside the panel's edge.
    g.setColour (ArtPalette::orangePrint().withAlpha (0.8f));
    g.strokePath (roundedRect (panel.reduced (3.5f), 8.0f), juce::PathStrokeType (0.7f));
}

// Tone-on-tone rays fanning out from the foot switch, fading as they go.
void paintSunburst (const ArtCanvas& c)
{
    const auto centre = ArtLayout::footSwitchCentre() + juce::Point<float> ((float) PedalLayout::bypassButton.x, (float) PedalLayout::bypassButton.y);
    const float reach = 240.0f;
    constexpr int rays = 36;
    juce::Path wedges;

    for (int i = 0; i < rays; i += 2)
    {
        const auto a0 = juce::MathConstants<float>::twoPi * (float) i / (float) rays;
        const auto a1 = juce::MathConstants<float>::twoPi * (float) (i + 1) / (float) rays;
        wedges.startNewSubPath (centre);
        wedges.lineTo (ArtLayout::polar (centre, reach, a0));
        wedges.lineTo (ArtLayout::polar (centre, reach, a1));
        wedges.closeSubPath();
    }

    const juce::Graphics::ScopedSaveState saved (c.g);
    c.g.reduceClipRegion (juce::Rectangle<int> (0, (int) ArtLayout::knobPanel().getBottom() + 6, PedalLayout::width, PedalLayout::height));
    juce::ColourGradient fade (juce::Colour (0xff8a2a00).withAlpha (0.22f), centre, juce::Colour (0xff8a2a00).withAlpha (0.0f), centre.translated (reach, 0.0f), true);
    fade.addColour (0.55, juce::Colour (0xff8a2a00).withAlpha (0.1f));
    c.g.setGradientFill (fade);
    c.g.fillPath (wedges);
}

void paintSelectorPrint (const ArtCanvas& c)
{
    auto& g = c.g;
    const auto frameOrigin = ArtLayout::selectorFrameOrigin();
    const auto selector = PedalLayout::overdriveTypeKnob;
    const auto captionX = (float) (selector.x + PedalLayout::selectorCaptionX);

    for (int i = 0; i < PedalLayout::numSelectorPositions; ++i)
    {
        const auto top = (float) (selector.y + PedalLayout::selectorCaptionTops[i]);
        const auto height = (float) PedalLayout::selectorCaptionHeight;
        const auto baseline = top + height * 0.5f + 3.5f;
        const auto lamp = ArtLayout::selectorLamp (i) + frameOrigin;

        // Leader line: from the lamp's edge towards the caption, then level into it.
        const auto levelY = c.snapLine (baseline - 3.5f, 0.8f);
        const juce::Point<float> elbow (captionX - 9.0f, levelY);
        const auto start = lamp + (elbow - lamp) * (5.5f / lamp.getDistanceFrom (elbow));
        juce::Path leader;
        leader.startNewSubPath (start);
        leader.lineTo (elbow);
        leader.lineTo (captionX - 3.0f, levelY);

        g.setColour (ArtPalette::ink().withAlpha (0.85f));
        g.strokePath (leader, juce::PathStrokeType (0.8f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded));

        c.drawText (selectorCaptions[i], ArtFonts::Face::heading, 8.0f, { captionX, baseline }, juce::Justification::left, ArtPalette::ink(), 0.06f);
    }
}
} // namespace

void PedalFaceArt::paintScrew (const ArtCanvas& c, juce::Point<float> centre, float radius, float angle)
{
    auto& g = c.g;
    const auto head = juce::Rectangle<float> (radius * 2.0f, radius * 2.0f).withCentre (centre);
    g.setColour (juce::Colours::black.withAlpha (0.6f));
    g.fillEllipse (head.expanded (0.6f).translated (0.2f, 0.4f));
    g.setGradientFill (juce::ColourGradient (ArtPalette::chromeLit(), head.getTopLeft(), ArtPalette::chromeDark(), head.getBottomRight(), false));
    g.fillEllipse (head);

    // The slot, dark with a lit lower lip.
    const auto dx = std::cos (angle) * radius * 0.8f;
    const auto dy = std::sin (angle) * radius * 0.8f;
    g.setColour (juce::Colour (0xff1a1b1d));
    g.drawLine (centre.x - dx, centre.y - dy, centre.x + dx, centre.y + dy, radius * 0.32f);
    g.setColour (juce::Colours::white.withAlpha (0.35f));
    g.drawLine (centre.x - dx, centre.y - dy + radius * 0.2f, centre.x + dx, centre.y + dy + radius * 0.2f, radius * 0.1f);
}

void PedalFaceArt::paintMakerLogo (const ArtCanvas& c, juce::Point<float> centreBaseline, float capHeight, juce::Colour colour)
{
    c.drawText ("Molvek", ArtFonts::Face::script, capHeight, centreBaseline, juce::Justification::centred, colour);
}

void PedalFaceArt::paintProductLogo (const ArtCanvas& c, juce::Point<float> topLeft, juce::Colour ink, juce::Colour accent)
{
    auto& g = c.g;
    const auto name = c.drawText ("VARDEKO", ArtFonts::Face::logo, 15.0f, topLeft.translated (0.0f, 17.0f), juce::Justification::left, ink, 0.04f);
    const auto ruleY = c.snapLine (name.getBottom() + 4.0f, 1.0f);
    g.setColour (accent);
    g.fillRect (juce::Rectangle<float> (name.getX(), ruleY - 0.5f, name.getWidth(), 1.0f));
    c.drawText ("QX2710  OVERDRIVE", ArtFonts::Face::heading, 6.0f, { name.getX(), ruleY + 9.5f }, juce::Justification::left, ink, 0.2f);
}

void PedalFaceArt::paintBackground (const ArtCanvas& c)
{
    auto& g = c.g;
    g.fillAll (juce::Colour (0xff0b0b0c));

    paintBody (c);
    paintTopBar (c);
    paintUpperPlate (c);
    paintKnobPanel (c);
    paintSunburst (c);
    paintSelectorPrint (c);

    const auto about = PedalLayout::aboutShowButton;
    paintProductLogo (c, { (float) about.x + 4.0f, (float) about.y + 12.0f }, ArtPalette::ink(), ArtPalette::ink());

    for (const auto& screw : { juce::Point<float> (12.0f, 487.0f), juce::Point<float> (313.0f, 487.0f) })
        paintScrew (c, screw, 3.6f, 2.2f);
}
