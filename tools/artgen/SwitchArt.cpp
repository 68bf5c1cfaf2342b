#include "SwitchArt.h"

#include "ArtLayout.h"
#include "ArtPalette.h"
#include "KnobArt.h"

#include <cmath>

namespace
{
constexpr float lightAngle = -0.75f;

juce::Colour metalShade (float facing)
{
    // facing: 1 towards the light, -1 away from it.
    const auto t = juce::jlimit (0.0f, 1.0f, 0.5f + 0.5f * facing);
    return ArtPalette::chromeDark().interpolatedWith (ArtPalette::chromeLit(), t * t);
}

juce::Path polygon (juce::Point<float> centre, float radius, int sides, float rotation)
{
    juce::Path p;
    p.addPolygon (centre, sides, radius, rotation);
    return p;
}

juce::Path circle (juce::Point<float> centre, float radius)
{
    juce::Path p;
    p.addEllipse (juce::Rectangle<float> (radius * 2.0f, radius * 2.0f).withCentre (centre));
    return p;
}

juce::Path triangle (juce::Point<float> centre, float width, float height, bool pointsRight)
{
    const auto dir = pointsRight ? 1.0f : -1.0f;
    juce::Path p;
    p.addTriangle (centre.x - dir * width * 0.45f, centre.y - height * 0.5f, centre.x - dir * width * 0.45f, centre.y + height * 0.5f, centre.x + dir * width * 0.55f, centre.y);
    return p;
}

const juce::Colour captionOnDark = ArtPalette::cream();
} // namespace

juce::Rectangle<float> SwitchArt::paintDarkButton (const ArtCanvas& c, juce::Rectangle<float> area, float cornerRadius, bool pressed)
{
    auto& g = c.g;
    juce::Path outline;
    outline.addRoundedRectangle (area, cornerRadius);

    if (! pressed)
        c.dropShadow (outline, juce::Colours::black.withAlpha (0.75f), 1.6f, { 0.0f, 1.0f });

    g.setColour (juce::Colour (0xff050506));
    g.fillPath (outline);

    const auto face = area.reduced (0.8f);
    juce::Path facePath;
    facePath.addRoundedRectangle (face, juce::jmax (0.5f, cornerRadius - 0.8f));

    if (pressed)
    {
        g.setGradientFill (juce::ColourGradient (juce::Colour (0xff18191b), face.getTopLeft(), juce::Colour (0xff2a2b2e), face.getBottomLeft(), false));
        g.fillPath (facePath);
        c.innerShadow (facePath, juce::Colours::black.withAlpha (0.8f), 2.0f, { 0.0f, 1.2f });
        return face.translated (0.0f, 0.6f);
    }

    g.setGradientFill (juce::ColourGradient (juce::Colour (0xff46484c), face.getTopLeft(), juce::Colour (0xff222326), face.getBottomLeft(), false));
    g.fillPath (facePath);

    // A fine sheen and a lit top edge.
    c.grain (facePath, 0.025f, 0.0f, 17);
    juce::Path topEdge;
    topEdge.addRoundedRectangle (face.withHeight (face.getHeight() * 0.5f), juce::jmax (0.5f, cornerRadius - 0.8f));
    g.setColour (juce::Colours::white.withAlpha (0.04f));
    g.fillPath (topEdge);
    g.setGradientFill (juce::ColourGradient (juce::Colours::white.withAlpha (0.28f), face.getTopLeft(), juce::Colours::white.withAlpha (0.0f), face.getTopLeft().translated (0.0f, face.getHeight() * 0.5f), false));
    g.strokePath (facePath, juce::PathStrokeType (0.6f));
    return face;
}

void SwitchArt::paintFileButton (const ArtCanvas& c, int frame)
{
    const auto face = paintDarkButton (c, c.bounds.reduced (1.5f, 1.5f), 4.0f, frame == 1);
    const auto colour = frame == 1 ? captionOnDark.withAlpha (0.75f) : captionOnDark;
    c.drawText ("FILE", ArtFonts::Face::heading, 8.0f, { face.getCentreX(), face.getCentreY() + 4.0f }, juce::Justification::centred, colour, 0.12f);
}

void SwitchArt::paintArrowButton (const ArtCanvas& c, int frame, bool pointsRight)
{
    const auto face = paintDarkButton (c, c.bounds.reduced (1.5f, 1.5f), 4.0f, frame == 1);
    c.g.setColour (frame == 1 ? captionOnDark.withAlpha (0.75f) : captionOnDark);
    c.g.fillPath (triangle (face.getCentre(), 7.0f, 8.0f, pointsRight));
}

void SwitchArt::paintCopyButton (const ArtCanvas& c, int frame, bool aToB)
{
    const auto area = c.bounds.reduced (3.0f, 2.5f).withTrimmedBottom (0.5f);
    const auto face = paintDarkButton (c, area, area.getHeight() * 0.5f, frame == 1);
    const auto colour = frame == 1 ? captionOnDark.withAlpha (0.75f) : captionOnDark;
    const auto centre = face.getCentre();
    const auto baseline = centre.y + 4.0f;

    c.drawText (aToB ? "A" : "B", ArtFonts::Face::heading, 8.0f, { centre.x - 15.0f, baseline }, juce::Justification::centred, colour);
    c.drawText (aToB ? "B" : "A", ArtFonts::Face::heading, 8.0f, { centre.x + 15.0f, baseline }, juce::Justification::centred, colour);
    c.g.setColour (ArtPalette::orangePrint().withMultipliedAlpha (frame == 1 ? 0.75f : 1.0f));
    c.g.fillPath (triangle ({ centre.x, baseline - 4.0f }, 6.0f, 7.0f, true));
}

void SwitchArt::paintTextButton (const ArtCanvas& c, int frame, const juce::String& caption)
{
    const auto face = paintDarkButton (c, c.bounds.reduced (5.0f, 5.0f), 9.0f, frame == 1);
    const auto colour = frame == 1 ? captionOnDark.withAlpha (0.6f) : captionOnDark;
    c.drawText (caption, ArtFonts::Face::heading, 10.0f, { face.getCentreX(), face.getCentreY() + 5.0f }, juce::Justification::centred, colour, 0.1f);
}

void SwitchArt::paintAbSwitch (const ArtCanvas& c, int frame)
{
    auto& g = c.g;
    const auto atB = frame == 1;
    const auto baseline = 16.0f;

    c.drawText ("A", ArtFonts::Face::heading, 9.0f, { 8.0f, baseline }, juce::Justification::centred, atB ? ArtPalette::greyPrint() : ArtPalette::orangePrint());
    c.drawText ("B", ArtFonts::Face::heading, 9.0f, { 54.0f, baseline }, juce::Justification::centred, atB ? ArtPalette::orangePrint() : ArtPalette::greyPrint());

    // The slot the slider runs in.
    const juce::Rectangle<float> slot (16.5f, 7.0f, 29.0f, 9.0f);
    juce::Path slotPath;
    slotPath.addRoundedRectangle (slot, 4.5f);
    g.setColour (juce::Colour (0xff060607));
    g.fillPath (slotPath);
    c.innerShadow (slotPath, juce::Colours::black, 2.0f, { 0.0f, 1.0f });
    g.setColour (juce::Colours::white.withAlpha (0.12f));
    g.drawLine (slot.getX() + 4.0f, slot.getBottom() + 0.5f, slot.getRight() - 4.0f, slot.getBottom() + 0.5f, 0.6f);

    // The slider: a chrome cap with grip ridges.
    const auto cap = juce::Rectangle<float> (15.0f, 12.0f).withCentre ({ atB ? 38.5f : 23.5f, 11.5f });
    juce::Path capPath;
    capPath.addRoundedRectangle (cap, 3.0f);
    c.dropShadow (capPath, juce::Colours::black.withAlpha (0.7f), 1.8f, { 0.5f, 1.2f });
    g.setGradientFill (juce::ColourGradient (ArtPalette::chromeLit(), cap.getTopLeft(), ArtPalette::chromeDark(), cap.getBottomRight(), false));
    g.fillPath (capPath);
    g.setColour (juce::Colours::black.withAlpha (0.5f));
    g.strokePath (capPath, juce::PathStrokeType (0.5f));

    for (int i = -2; i <= 2; ++i)
    {
        const auto x = c.snapLine (cap.getCentreX() + 2.2f * (float) i, 0.6f);
        g.setColour (juce::Colours::black.withAlpha (0.45f));
        g.drawLine (x, cap.getY() + 2.5f, x, cap.getBottom() - 2.5f, 0.6f);
        g.setColour (juce::Colours::white.withAlpha (0.5f));
        g.drawLine (x + 0.6f, cap.getY() + 2.5f, x + 0.6f, cap.getBottom() - 2.5f, 0.5f);
    }
}

void SwitchArt::paintFootSwitch (const ArtCanvas& c, int frame)
{
    auto& g = c.g;
    const auto lit = frame >= 2;
    const auto pressed = frame % 2 == 1;

    KnobArt::paintLamp (c, ArtLayout::footLampCentre(), 4.6f, lit);

    const auto centre = ArtLayout::footSwitchCentre();
    const float nutRadius = 24.5f;
    const float flatRotation = juce::MathConstants<float>::pi / 6.0f;
    const auto nut = polygon (centre, nutRadius, 6, flatRotation);

    c.dropShadow (nut, juce::Colours::black.withAlpha (0.65f), 6.0f, { 2.0f, 4.5f });
    c.dropShadow (nut, juce::Colours::black.withAlpha (0.5f), 1.2f, { 0.3f, 1.0f });

    // The nut: a flat top ringed by six chamfered facets, each as bright as it faces the light.
    g.setColour (ArtPalette::chromeDark());
    g.fillPath (nut);
    const float innerRadius = nutRadius * 0.84f;

    for (int i = 0; i < 6; ++i)
    {
        const auto a0 = flatRotation + juce::MathConstants<float>::twoPi * (float) i / 6.0f;
        const auto a1 = a0 + juce::MathConstants<float>::twoPi / 6.0f;
        const auto normal = (a0 + a1) * 0.5f;
        juce::Path facet;
        facet.startNewSubPath (ArtLayout::polar (centre, nutRadius, a0));
        facet.lineTo (ArtLayout::polar (centre, nutRadius, a1));
        facet.lineTo (ArtLayout::polar (centre, innerRadius, a1));
        facet.lineTo (ArtLayout::polar (centre, innerRadius, a0));
        facet.closeSubPath();
        g.setColour (metalShade (std::cos (normal - lightAngle)));
        g.fillPath (facet);
    }

    const auto top = polygon (centre, innerRadius, 6, flatRotation);
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xffe9ecf0), centre.translated (-innerRadius, -innerRadius), juce::Colour (0xff8d9298), centre.translated (innerRadius, innerRadius), false));
    g.fillPath (top);
    c.grain (top, 0.04f, 0.0f, 5);
    g.setColour (juce::Colours::black.withAlpha (0.35f));
    g.strokePath (nut, juce::PathStrokeType (0.6f));

    // The threaded bushing, seen end on: fine rings, dark in the thread roots.
    const float bushing = 16.0f;
    g.setGradientFill (juce::ColourGradient (juce::Colour (0xffc9cdd3), centre.translated (-bushing, -bushing), juce::Colour (0xff3b3f44), centre.translated (bushing, bushing), false));
    g.fillPath (circle (centre, bushing));

    for (float r = 12.6f; r < bushing; r += 0.9f)
    {
        g.setColour (juce::Colours::black.withAlpha (0.3f));
        g.drawEllipse (juce::Rectangle<float> (r * 2.0f, r * 2.0f).withCentre (centre), 0.35f);
    }

    g.setColour (juce::Colours::black.withAlpha (0.55f));
    g.drawEllipse (juce::Rectangle<float> (bushing * 2.0f, bushing * 2.0f).withCentre (centre), 0.6f);

    // The plunger: a polished dome that sinks and dulls while pressed.
    const auto plungerCentre = pressed ? centre.translated (0.2f, 0.7f) : centre;
    const float plunger = pressed ? 11.2f : 12.0f;
    const auto dome = circle (plungerCentre, plunger);
    g.setColour (juce::Colours::black.withAlpha (pressed ? 0.85f : 0.6f));
    g.fillPath (circle (centre.translated (0.3f, pressed ? 0.6f : 1.0f), plunger + (pressed ? 1.4f : 0.9f)));

    juce::ColourGradient shine (pressed ? juce::Colour (0xffd5d9de) : ArtPalette::chromeLit(), plungerCentre.translated (-plunger * 0.35f, -plunger * 0.4f), ArtPalette::chromeDark(), plungerCentre.translated (plunger * 0.8f, plunger * 0.9f), true);
    shine.addColour (0.35, pressed ? juce::Colour (0xffa7acb2) : ArtPalette::chrome());
    shine.addColour (0.8, juce::Colour (0xff5f646b));
    g.setGradientFill (shine);
    g.fillPath (dome);

    // Reflections: the light above, a softer one of the floor below.
    g.setColour (juce::Colours::white.withAlpha (pressed ? 0.45f : 0.85f));
    g.fillEllipse (juce::Rectangle<float> (plunger * 0.75f, plunger * 0.45f).withCentre (plungerCentre.translated (-plunger * 0.3f, -plunger * 0.45f)));
    g.setColour (juce::Colours::white.withAlpha (0.18f));
    g.drawEllipse (juce::Rectangle<float> (plunger * 1.3f, plunger * 1.3f).withCentre (plungerCentre.translated (0.6f, 0.8f)), 0.6f);
    g.setColour (juce::Colours::black.withAlpha (0.5f));
    g.strokePath (dome, juce::PathStrokeType (0.5f));
}
