#include "editor/FocusRing.h"

namespace
{
const juce::Colour cream (0xfff1e6d2);
const juce::Colour orange (0xffe5701e);
} // namespace

FocusRing::FocusRing()
    : juce::Component ("focusRing")
{
    setInterceptsMouseClicks (false, false);
    setAccessible (false);
}

void FocusRing::showAround (juce::Rectangle<float> area, bool round)
{
    ring = area;
    isRound = round;
    setBounds (area.expanded (glow).getSmallestIntegerContainer());
    setVisible (true);
    repaint();
}

void FocusRing::hide()
{
    setVisible (false);
}

void FocusRing::paint (juce::Graphics& g)
{
    const auto line = ring.translated ((float) -getX(), (float) -getY());
    juce::Path shape;

    if (isRound)
        shape.addEllipse (line);
    else
        shape.addRoundedRectangle (line, 4.0f);

    // A soft shadow parts the ring from light and dark print alike; the orange glow around a
    // cream line reads as lit on the dark panel and on the orange body.
    g.setColour (juce::Colours::black.withAlpha (0.35f));
    g.strokePath (shape, juce::PathStrokeType (glow * 1.6f));
    g.setColour (orange.withAlpha (0.55f));
    g.strokePath (shape, juce::PathStrokeType (glow * 0.9f));
    g.setColour (cream);
    g.strokePath (shape, juce::PathStrokeType (1.6f));
}
