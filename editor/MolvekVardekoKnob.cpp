#include "editor/MolvekVardekoKnob.h"

#include "editor/MolvekArtwork.h"
#include "editor/PedalLayout.h"

#include <cmath>

namespace
{
// Containment with all four edges inside.
bool containsWithEdges (juce::Rectangle<int> area, juce::Point<int> p)
{
    return area.getX() <= p.x && p.x <= area.getRight() && area.getY() <= p.y && p.y <= area.getBottom();
}
} // namespace

MolvekVardekoKnob::MolvekVardekoKnob (const juce::String& controlName)
    : MolvekKnob (controlName, PedalLayout::numSelectorPositions)
{
}

MolvekVardekoKnob::~MolvekVardekoKnob() = default;

void MolvekVardekoKnob::setImage (const juce::Image& image)
{
    MolvekKnob::setImage (image);
    placeKnobArea();
}

void MolvekVardekoKnob::setImage (const MolvekArtwork& artwork)
{
    MolvekKnob::setImage (artwork);
    placeKnobArea();
}

void MolvekVardekoKnob::placeKnobArea()
{
    const auto area = PedalLayout::selectorKnobArea;
    knobArea = getStrip().isEmpty() ? juce::Rectangle<int>() : juce::Rectangle<int> (area.x, area.y, area.width, area.height);
}

void MolvekVardekoKnob::setPositionLabel (int top, int width, int index)
{
    if (index < 0 || index > getStrip().getNumFrames())
        return;

    const juce::Rectangle<int> area (PedalLayout::selectorCaptionX, top, width, PedalLayout::selectorCaptionHeight);

    if (index >= positionAreas.size())
        positionAreas.add (area);
    else
        positionAreas.set (index, area);
}

void MolvekVardekoKnob::mouseDown (const juce::MouseEvent& e)
{
    const auto position = e.getPosition();
    const auto numFrames = getStrip().getNumFrames();
    int chosen = -1;

    for (int i = 0; i < juce::jmin (numFrames, positionAreas.size()); ++i)
        if (containsWithEdges (positionAreas.getReference (i), position))
            chosen = i;

    if (chosen >= 0 && numFrames > 1)
    {
        setValue (getMinimum() + (getMaximum() - getMinimum()) * chosen / (numFrames - 1), juce::sendNotificationAsync);
        repaint();
    }

    if (! getStrip().isEmpty() && containsWithEdges (knobArea, position))
        MolvekKnob::mouseDown (e);
}

void MolvekVardekoKnob::paint (juce::Graphics& g)
{
    // Rounded down: a position shows only from its own value on.
    const auto& knobStrip = getStrip();
    const auto frame = static_cast<int> (std::floor (getProportion() * (knobStrip.getNumFrames() - 1)));
    knobStrip.drawFrame (g, frame, knobArea);
}
