#pragma once

#include "editor/FocusRing.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>
#include <vector>

// The pedal played from the keyboard. Tab and Shift+Tab walk the controls in reading order (the
// top bar, the upper panel, the pedal body) and the keys move the control in focus:
// - a knob: arrows by a small step, Shift+arrows by a fine one, Page Up/Down by a large one,
//   Home/End to its ends; the circuit selector moves one circuit at a time;
// - a switch: Up/Right (and Page Up) on or B, Down/Left (and Page Down) off or A, Space and
//   Return flip it; the A/B switch also takes Home (A) and End (B);
// - the oversampling lights, one stop: the arrows light the next or previous factor, Home the
//   lowest, End the highest;
// - a button (and the preset bar, which opens its list): Return or Space.
// Every change goes the way the mouse's goes (the knob's or button's own notification), so the
// host hears each key step as one gesture. Keys with Ctrl, Alt or Cmd are left to the window
// (undo, redo) and the host.
//
// Focus comes from the keyboard only: a click never leaves it on a control (a host's Space
// must still start the transport after a click on the foot switch), and the ring shows only
// while the keyboard is in use.
class KeyboardControl : public juce::KeyListener,
                        private juce::FocusChangeListener
{
public:
    static constexpr double smallStep = 0.01;
    static constexpr double largeStep = 0.1;
    static constexpr double fineStep = 0.001;

    // The ring is made a child of window, at the given place in its stacking order.
    KeyboardControl (juce::Component& window, int ringStackingIndex);
    ~KeyboardControl() override;

    // The stops in Tab order. A ring is given in the control's own coordinates.
    // Return on a knob calls typeValue (typing its value), when given.
    void addKnob (juce::Slider& knob, juce::Rectangle<float> ring, std::function<void()> typeValue = {});
    void addSwitch (juce::Button& toggle, juce::Rectangle<float> ring, bool round, bool homeAndEnd);
    void addLights (std::vector<juce::Button*> lights);
    void addButton (juce::Component& button, std::function<void()> press);

    bool keyPressed (const juce::KeyPress& key, juce::Component* control) override;

    // Tab with the focus on the window itself (nothing chosen yet): the first or last control.
    bool keyPressedInWindow (const juce::KeyPress& key);
    void focusFirst (bool fromTheEnd);

    // The window's focus moved: the ring goes when the focus left the controls.
    void focusChanged (juce::Component::FocusChangeType cause);

    // A mouse press in the window: the focus leaves the controls for the window.
    void mousePressed();

    // Walks the stops; the oversampling lights are one stop, entered at the lit one.
    std::unique_ptr<juce::ComponentTraverser> createTraverser();

    const FocusRing& getRing() const noexcept { return ring; }

private:
    enum class Kind
    {
        knob,
        toggle,
        lights,
        button
    };

    struct Stop
    {
        Kind kind;
        std::vector<juce::Component*> parts;
        juce::Rectangle<float> ring;
        bool round = false;
        bool homeAndEnd = false;
        std::function<void()> press;

        juce::Component* entry() const;
    };

    class Traverser;

    Stop& add (Stop stop);
    const Stop* find (const juce::Component* control) const;
    int indexOf (const juce::Component* control) const;

    void globalFocusChanged (juce::Component* focused) override;
    void moveFocus (const juce::Component& from, bool forwards);

    bool moveKnob (juce::Slider& knob, const juce::KeyPress& key) const;
    bool moveSwitch (const Stop& stop, juce::Button& toggle, const juce::KeyPress& key) const;
    bool moveLights (const Stop& stop, juce::Component& focused, const juce::KeyPress& key);
    void showRing (juce::Component& control);

    juce::Component& window;
    FocusRing ring;
    std::vector<Stop> stops;
};
