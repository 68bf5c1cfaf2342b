#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The value of the knob being moved, in a small dark bubble with an orange edge pointing at it:
// shown while a knob is dragged and for a moment after any other change (wheel, double-click,
// keys). It always lies wholly inside its parent, above the knob where there is room, else
// below, slid sideways as far as the window's edge asks. It takes no clicks and is not there for
// screen readers, which read the knob's value themselves.
class ValueBubble : public juce::Component, private juce::Timer
{
public:
    static constexpr int lingerMs = 1200; // after the last change or the end of a drag
    static constexpr int margin = 3; // from the parent's edge
    static constexpr int arrowSize = 6;

    ValueBubble();

    // Shows the text pointing at the target (a sibling), and keeps it until hideSoon or hide.
    void showFor (const juce::Component& target, const juce::String& text);
    void hideSoon();
    void hide();

    const juce::String& getText() const noexcept { return text; }
    const juce::Component* getTarget() const noexcept { return target; }

    void paint (juce::Graphics& g) override;

    // The text for a knob: the host's text, and for a level (input volume, level) a dB readout
    // beside it: the input's gain, and the level control's setting as a share of its full turn.
    static juce::String textFor (int parameterIndex, float value, const juce::String& hostText);
    static juce::String formatDecibels (float gain);

    static juce::Font getFont();

private:
    void timerCallback() override;

    juce::String text;
    const juce::Component* target = nullptr;
    bool pointsDown = true; // the bubble above its knob
    float arrowX = 0.0f;
};
