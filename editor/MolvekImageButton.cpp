#include "editor/MolvekImageButton.h"

#include "editor/MolvekArtwork.h"

MolvekImageButton::MolvekImageButton (const juce::String& controlName, int frames, bool clickingTogglesState)
    : juce::Button (controlName)
    , framesPerStrip (frames)
{
    setClickingTogglesState (clickingTogglesState);
}

MolvekImageButton::~MolvekImageButton() = default;

void MolvekImageButton::setImage (const juce::Image& image)
{
    setStrip (FilmStrip (image, framesPerStrip));
}

void MolvekImageButton::setImage (const MolvekArtwork& artwork)
{
    setStrip (artwork.getStrip (framesPerStrip));
}

void MolvekImageButton::setStrip (FilmStrip newStrip)
{
    strip = std::move (newStrip);
    repaint();
}

void MolvekImageButton::drawFrame (juce::Graphics& g, int frame, float opacity) const
{
    strip.drawFrame (g, frame, getLocalBounds(), opacity);
}
