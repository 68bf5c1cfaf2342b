#pragma once

#include "editor/ParameterBinding.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <utility>
#include <vector>

class MolvekKnob;
class VardekoQX2710AudioProcessor;

// The window's controls and the host parameters they are bound to: one ParameterBinding per
// parameter, shared by the controls of that parameter (the four oversampling lights share one).
// Knob moves and drags and button clicks arrive here through the window's listener callbacks.
// Three kinds of control: a knob, a toggle (the foot switch: on or off) and a step button (a
// light that selects one step of a parameter; the lights of one parameter act as one switch).
class ControlBindings
{
public:
    explicit ControlBindings (VardekoQX2710AudioProcessor& processor);

    ParameterBinding& operator[] (int parameterIndex) { return *bindings[(size_t) parameterIndex]; }

    // A knob takes its parameter's range, value and text (ParameterBinding::setUp).
    void bind (MolvekKnob& knob, int parameterIndex, double step);
    void bindToggle (juce::Button& button, int parameterIndex);
    void bindStep (juce::Button& button, int parameterIndex, int step);

    // The parameter a control is bound to, or -1.
    int indexOf (const juce::Component* control) const;

    void knobMoved (juce::Slider& knob);
    void dragStarted (juce::Slider& knob);
    void dragEnded (juce::Slider& knob);

    // False for a button that is bound to no parameter.
    bool clicked (juce::Button& button);

    // Every control shows its parameter; a knob in the user's hand is left alone.
    void refresh();

    // Every parameter's live value to the processor and the host.
    void sendAll();

    // Every gesture from now on is a step of history (nullptr: none).
    void recordIn (ParameterHistory* history);

    // Before the window goes: the knobs stop calling listener, and drags still in progress end
    // their gestures at the host.
    void release (juce::Slider::Listener& listener);

private:
    struct BoundButton
    {
        juce::Button* button;
        int parameterIndex;
        int step; // -1 for a toggle
    };

    void refreshButtons (int parameterIndex);

    VardekoQX2710AudioProcessor& processor;
    std::vector<std::unique_ptr<ParameterBinding>> bindings;
    std::vector<std::pair<MolvekKnob*, int>> knobs;
    std::vector<BoundButton> buttons;
};
