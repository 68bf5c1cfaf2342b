#pragma once

#include "editor/FilmStrip.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>

class MolvekArtwork;

// A rotary knob drawn from a 101-frame film strip: frame 0 at the minimum, frame 100 at the
// maximum. Dragged vertically, with no text box: 250 pixels of drag cover the whole range, ten
// times as many while Shift is held, and the wheel moves it by a tenth of its step with Shift.
class MolvekKnob : public juce::Slider
{
public:
    static constexpr double pixelsForFullDrag = 250.0;
    static constexpr double fineFactor = 10.0;
    static constexpr double wheelStep = 0.15; // of the range per unit of wheel movement

    explicit MolvekKnob (const juce::String& controlName);
    ~MolvekKnob() override;

    void setImage (const juce::Image& image);
    void setImage (const MolvekArtwork& artwork);

    void paint (juce::Graphics& g) override;

    // The drag is relative, each move at the speed of the keys held at that moment, so pressing
    // or letting go of Shift mid-drag never makes the knob jump.
    void mouseDown (const juce::MouseEvent& e) override;
    void mouseDrag (const juce::MouseEvent& e) override;
    void mouseUp (const juce::MouseEvent& e) override;
    void mouseWheelMove (const juce::MouseEvent& e, const juce::MouseWheelDetails& wheel) override;

    // A right-click (or Ctrl-click on a Mac) calls this instead of moving the knob.
    std::function<void()> onContextMenu;

protected:
    MolvekKnob (const juce::String& controlName, int framesPerStrip);

    void setStrip (FilmStrip newStrip);
    const FilmStrip& getStrip() const noexcept { return strip; }

    // The value as a proportion of the range, 0 to 1.
    double getProportion() const;

private:
    const int framesPerStrip;
    FilmStrip strip;

    bool dragging = false;
    float lastDragY = 0.0f;
    double dragProportion = 0.0; // unclamped: a drag past an end must come back before the knob moves
    juce::Time lastWheelTime;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MolvekKnob)
};
