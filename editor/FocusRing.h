#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Where the keyboard is: a lit ring in the pedal's cream and orange drawn around the control in
// focus (a circle around a knob's skirt or a switch, a rounded frame around a button). It lies
// over the controls, takes no clicks and is not there for screen readers, which track the focus
// themselves.
class FocusRing : public juce::Component
{
public:
    FocusRing();

    // area: the ring's line, in the parent's coordinates; round draws a circle inside it.
    void showAround (juce::Rectangle<float> area, bool round);
    void hide();

    juce::Rectangle<float> getRingArea() const noexcept { return ring; }

    void paint (juce::Graphics& g) override;

private:
    // Room outside the line for its glow.
    static constexpr float glow = 4.0f;

    juce::Rectangle<float> ring;
    bool isRound = false;
};
