#include "editor/MolvekImage.h"

#include "editor/MolvekArtwork.h"

#include <cmath>

namespace
{
class FrameText : public juce::AccessibilityTextValueInterface
{
public:
    explicit FrameText (const MolvekImage& i)
        : image (i)
    {
    }

    bool isReadOnly() const override { return true; }
    juce::String getCurrentValueAsString() const override { return image.getAccessibleText(); }
    void setValueAsString (const juce::String&) override {}

private:
    const MolvekImage& image;
};
} // namespace

MolvekImage::MolvekImage (const juce::String& controlName)
    : juce::Component (controlName)
{
}

MolvekImage::~MolvekImage() = default;

void MolvekImage::setImage (const juce::Image& image, int frameCount)
{
    setStrip (FilmStrip (image, frameCount));
}

void MolvekImage::setImage (const MolvekArtwork& artwork, int frameCount)
{
    setStrip (artwork.getStrip (frameCount));
}

void MolvekImage::setStrip (FilmStrip newStrip)
{
    strip = std::move (newStrip);
    currentFrame = juce::jlimit (0, juce::jmax (0, strip.getNumFrames() - 1), currentFrame);
    repaint();
}

void MolvekImage::setLevel (float level)
{
    // Out-of-range and NaN levels show the nearest end rather than a frame outside the strip.
    const auto clamped = level > 0.0f ? juce::jmin (level, 1.0f) : 0.0f;
    const auto frame = static_cast<int> (std::ceil (static_cast<float> (juce::jmax (0, strip.getNumFrames() - 1)) * clamped));

    if (frame != currentFrame)
    {
        currentFrame = frame;
        repaint();
    }
}

void MolvekImage::setAccessibleTexts (juce::StringArray texts, juce::AccessibilityRole role)
{
    frameTexts = std::move (texts);
    accessibleRole = role;
    invalidateAccessibilityHandler();
}

std::unique_ptr<juce::AccessibilityHandler> MolvekImage::createAccessibilityHandler()
{
    // Read when asked, never announced: a meter moving with the music would drown everything.
    return std::make_unique<juce::AccessibilityHandler> (*this, accessibleRole, juce::AccessibilityActions(), juce::AccessibilityHandler::Interfaces { std::make_unique<FrameText> (*this) });
}

void MolvekImage::paint (juce::Graphics& g)
{
    strip.drawFrame (g, currentFrame, getLocalBounds());
}
