#pragma once

#include "editor/FilmStrip.h"

#include <juce_gui_basics/juce_gui_basics.h>

class MolvekArtwork;

// A rotary knob drawn from a 101-frame film strip: frame 0 at the minimum, frame 100 at the
// maximum. Dragged vertically, with no text box.
class MolvekKnob : public juce::Slider
{
public:
    explicit MolvekKnob (const juce::String& controlName);
    ~MolvekKnob() override;

    void setImage (const juce::Image& image);
    void setImage (const MolvekArtwork& artwork);

    void paint (juce::Graphics& g) override;

protected:
    MolvekKnob (const juce::String& controlName, int framesPerStrip);

    void setStrip (FilmStrip newStrip);
    const FilmStrip& getStrip() const noexcept { return strip; }

    // The value as a proportion of the range, 0 to 1.
    double getProportion() const;

private:
    const int framesPerStrip;
    FilmStrip strip;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MolvekKnob)
};
