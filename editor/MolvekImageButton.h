#pragma once

#include "editor/FilmStrip.h"

#include <juce_gui_basics/juce_gui_basics.h>

class MolvekArtwork;

// What the pedal's image buttons share: a film strip of a fixed number of frames, stretched
// over the button's bounds. Each kind of button picks its frame from its own state.
class MolvekImageButton : public juce::Button
{
public:
    ~MolvekImageButton() override;

    void setImage (const juce::Image& image);
    void setImage (const MolvekArtwork& artwork);

    // What a screen reader says a toggle's state is, off and on ("Off" and "On" unless set).
    void setStateTexts (const juce::String& offText, const juce::String& onText);
    juce::String getStateText() const { return getToggleState() ? onStateText : offStateText; }

    // A button, or a toggle button that tells its state in the texts above; pressed and toggled
    // as a click would.
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

protected:
    MolvekImageButton (const juce::String& controlName, int framesPerStrip, bool clickingTogglesState);

    void drawFrame (juce::Graphics& g, int frame, float opacity = 1.0f) const;
    const FilmStrip& getStrip() const noexcept { return strip; }

private:
    void setStrip (FilmStrip newStrip);

    const int framesPerStrip;
    FilmStrip strip;
    juce::String offStateText { "Off" }, onStateText { "On" };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MolvekImageButton)
};
