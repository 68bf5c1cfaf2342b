#pragma once

#include "editor/FilmStrip.h"

#include <juce_gui_basics/juce_gui_basics.h>

class MolvekArtwork;

// A display drawn from a strip of any number of frames, such as the input meter and the clip
// light: a level from 0 to 1 picks the frame.
class MolvekImage : public juce::Component
{
public:
    explicit MolvekImage (const juce::String& controlName);
    ~MolvekImage() override;

    // An invalid image leaves the display empty.
    void setImage (const juce::Image& image, int frameCount);
    void setImage (const MolvekArtwork& artwork, int frameCount);

    // Shows frame ceil((frames - 1) x level) and repaints only when that frame changes, so a
    // meter polled on a timer costs nothing while the level stays put.
    void setLevel (float level);

    int getCurrentFrame() const noexcept { return currentFrame; }

    // What a screen reader says each frame shows (one text per frame), and the role it reads
    // the display as (an image unless set: the meter is a progress bar).
    void setAccessibleTexts (juce::StringArray frameTexts, juce::AccessibilityRole role);
    juce::String getAccessibleText() const { return frameTexts[currentFrame]; }
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

    void paint (juce::Graphics& g) override;

private:
    void setStrip (FilmStrip newStrip);

    FilmStrip strip;
    int currentFrame = 0;
    juce::StringArray frameTexts;
    juce::AccessibilityRole accessibleRole = juce::AccessibilityRole::image;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MolvekImage)
};
