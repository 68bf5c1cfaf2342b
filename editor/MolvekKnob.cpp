#include "editor/MolvekKnob.h"

#include "editor/MolvekArtwork.h"

#include <cmath>

MolvekKnob::MolvekKnob (const juce::String& controlName)
    : MolvekKnob (controlName, 101)
{
}

MolvekKnob::MolvekKnob (const juce::String& controlName, int frames)
    : juce::Slider (controlName)
    , framesPerStrip (frames)
{
    setSliderStyle (juce::Slider::RotaryVerticalDrag);
    setTextBoxStyle (juce::Slider::NoTextBox, false, 0, 0);
    setRange (0.0, 1.0, 0.0);
}

MolvekKnob::~MolvekKnob() = default;

void MolvekKnob::setImage (const juce::Image& image)
{
    setStrip (FilmStrip (image, framesPerStrip));
}

void MolvekKnob::setImage (const MolvekArtwork& artwork)
{
    setStrip (artwork.getStrip (framesPerStrip));
}

void MolvekKnob::setStrip (FilmStrip newStrip)
{
    strip = std::move (newStrip);
    repaint();
}

double MolvekKnob::getProportion() const
{
    const auto span = getMaximum() - getMinimum();

    if (! (span > 0.0))
        return 0.0;

    return juce::jlimit (0.0, 1.0, (getValue() - getMinimum()) / span);
}

void MolvekKnob::paint (juce::Graphics& g)
{
    // Rounded up: a value just above the minimum already moves the pointer off its stop.
    const auto frame = static_cast<int> (std::ceil (getProportion() * (strip.getNumFrames() - 1)));
    strip.drawFrame (g, frame, getLocalBounds());
}

void MolvekKnob::mouseDown (const juce::MouseEvent& e)
{
    if (e.mods.isPopupMenu() && onContextMenu != nullptr)
    {
        dragging = false;
        onContextMenu();
        return;
    }

    juce::Slider::mouseDown (e);

    // The slider's own press starts a drag (and the host's gesture) only for a plain left press.
    dragging = isEnabled() && e.mods.isLeftButtonDown() && ! e.mods.isPopupMenu() && getMaximum() > getMinimum();
    lastDragY = e.position.y;
    dragProportion = valueToProportionOfLength (getValue());
}

void MolvekKnob::mouseDrag (const juce::MouseEvent& e)
{
    if (! dragging)
        return;

    const auto pixels = pixelsForFullDrag * (e.mods.isShiftDown() ? fineFactor : 1.0);
    dragProportion += (lastDragY - e.position.y) / pixels;
    lastDragY = e.position.y;
    setValue (proportionOfLengthToValue (juce::jlimit (0.0, 1.0, dragProportion)), juce::sendNotificationSync);
}

void MolvekKnob::mouseUp (const juce::MouseEvent& e)
{
    dragging = false;
    juce::Slider::mouseUp (e);
}

void MolvekKnob::mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel)
{
    // A selector's wheel moves whole positions, Shift or not.
    if (! e.mods.isShiftDown() || getInterval() > 0.0 || ! isEnabled() || ! isScrollWheelEnabled() || e.mods.isAnyMouseButtonDown())
    {
        juce::Slider::mouseWheelMove (e, wheel);
        return;
    }

    // Some systems send a wheel event twice.
    if (e.eventTime == lastWheelTime)
        return;

    lastWheelTime = e.eventTime;
    const auto amount = (std::abs (wheel.deltaX) > std::abs (wheel.deltaY) ? -wheel.deltaX : wheel.deltaY) * (wheel.isReversed ? -1.0f : 1.0f);
    const auto proportion = valueToProportionOfLength (getValue()) + amount * wheelStep / fineFactor;

    // One gesture per wheel step, as the plain wheel makes.
    const ScopedDragNotification gesture (*this);
    setValue (proportionOfLengthToValue (juce::jlimit (0.0, 1.0, proportion)), juce::sendNotificationSync);
}
