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
