#include "editor/KeyboardControl.h"

#include <algorithm>

namespace
{
using Key = juce::KeyPress;

// +1 for the keys that raise a value, -1 for those that lower it, 0 for the others.
int directionOf (const Key& key)
{
    const auto code = key.getKeyCode();

    if (code == Key::upKey || code == Key::rightKey || code == Key::pageUpKey)
        return 1;

    if (code == Key::downKey || code == Key::leftKey || code == Key::pageDownKey)
        return -1;

    return 0;
}

bool isPage (const Key& key)
{
    return key.getKeyCode() == Key::pageUpKey || key.getKeyCode() == Key::pageDownKey;
}

bool isPress (const Key& key)
{
    return key.getKeyCode() == Key::returnKey || key.getKeyCode() == Key::spaceKey;
}

// Ctrl, Alt and Cmd belong to the host's shortcuts.
bool isForTheHost (const Key& key)
{
    const auto mods = key.getModifiers();
    return mods.isCtrlDown() || mods.isAltDown() || mods.isCommandDown();
}

// A frame a little outside a control's bounds.
juce::Rectangle<float> around (const juce::Component& c, float margin)
{
    return c.getLocalBounds().toFloat().expanded (margin);
}
} // namespace

//==============================================================================
class KeyboardControl::Traverser : public juce::ComponentTraverser
{
public:
    explicit Traverser (KeyboardControl& k)
        : keys (k)
    {
    }

    juce::Component* getDefaultComponent (juce::Component*) override { return entryAt (0); }
    juce::Component* getNextComponent (juce::Component* current) override { return entryAt (keys.indexOf (current) + 1); }

    juce::Component* getPreviousComponent (juce::Component* current) override
    {
        const auto index = keys.indexOf (current);
        return index > 0 ? entryAt (index - 1) : nullptr;
    }

    std::vector<juce::Component*> getAllComponents (juce::Component*) override
    {
        std::vector<juce::Component*> all;

        for (const auto& stop : keys.stops)
            all.push_back (stop.entry());

        return all;
    }

private:
    juce::Component* entryAt (int index) const
    {
        return juce::isPositiveAndBelow (index, (int) keys.stops.size()) ? keys.stops[(size_t) index].entry() : nullptr;
    }

    KeyboardControl& keys;
};

//==============================================================================
juce::Component* KeyboardControl::Stop::entry() const
{
    // The lights are entered at the lit one.
    for (auto* part : parts)
        if (auto* button = dynamic_cast<juce::Button*> (part); button != nullptr && button->getToggleState())
            return part;

    return parts.front();
}

KeyboardControl::KeyboardControl (juce::Component& w, int ringStackingIndex)
    : window (w)
{
    window.addChildComponent (ring, ringStackingIndex);
    juce::Desktop::getInstance().addFocusChangeListener (this);
}

KeyboardControl::~KeyboardControl()
{
    juce::Desktop::getInstance().removeFocusChangeListener (this);

    for (auto& stop : stops)
        for (auto* part : stop.parts)
            part->removeKeyListener (this);
}

KeyboardControl::Stop& KeyboardControl::add (Stop stop)
{
    for (auto* part : stop.parts)
    {
        part->setWantsKeyboardFocus (true);
        part->setMouseClickGrabsKeyboardFocus (false);
        part->addKeyListener (this);
    }

    stops.push_back (std::move (stop));
    return stops.back();
}

void KeyboardControl::addKnob (juce::Slider& knob, juce::Rectangle<float> ringArea, std::function<void()> typeValue)
{
    add ({ Kind::knob, { &knob }, ringArea, true, false, std::move (typeValue) });
}

void KeyboardControl::addSwitch (juce::Button& toggle, juce::Rectangle<float> ringArea, bool round, bool homeAndEnd)
{
    add ({ Kind::toggle, { &toggle }, ringArea, round, homeAndEnd, {} });
}

void KeyboardControl::addLights (std::vector<juce::Button*> lights)
{
    Stop stop { Kind::lights, {}, around (*lights.front(), 3.0f), false, false, {} };

    for (auto* light : lights)
        stop.parts.push_back (light);

    add (std::move (stop));
}

void KeyboardControl::addButton (juce::Component& button, std::function<void()> press)
{
    add ({ Kind::button, { &button }, around (button, 2.0f), false, false, std::move (press) });
}

const KeyboardControl::Stop* KeyboardControl::find (const juce::Component* control) const
{
    const auto index = indexOf (control);
    return index >= 0 ? &stops[(size_t) index] : nullptr;
}

int KeyboardControl::indexOf (const juce::Component* control) const
{
    for (size_t i = 0; i < stops.size(); ++i)
        for (auto* part : stops[i].parts)
            if (part == control)
                return (int) i;

    return -1;
}

std::unique_ptr<juce::ComponentTraverser> KeyboardControl::createTraverser()
{
    return std::make_unique<Traverser> (*this);
}

//==============================================================================
bool KeyboardControl::keyPressed (const juce::KeyPress& key, juce::Component* control)
{
    const auto* stop = find (control);

    if (stop == nullptr || isForTheHost (key) || control->isCurrentlyBlockedByAnotherModalComponent())
        return false;

    // Tab is taken here rather than left to the window system, so that the ring goes with it.
    if (key.isKeyCode (Key::tabKey))
    {
        moveFocus (*control, ! key.getModifiers().isShiftDown());
        return true;
    }

    auto handled = false;

    switch (stop->kind)
    {
        case Kind::knob:
            if (key.isKeyCode (Key::returnKey) && stop->press != nullptr)
            {
                stop->press();
                return true;
            }

            handled = moveKnob (static_cast<juce::Slider&> (*control), key);
            break;
        case Kind::toggle:
            handled = moveSwitch (*stop, static_cast<juce::Button&> (*control), key);
            break;
        case Kind::lights:
            return moveLights (*stop, *control, key);
        case Kind::button:
            handled = isPress (key) && stop->press != nullptr;

            if (handled)
                stop->press();

            break;
    }

    // The keyboard is in use: show where it acts.
    if (handled)
        showRing (*control);

    return handled;
}

bool KeyboardControl::moveKnob (juce::Slider& knob, const juce::KeyPress& key) const
{
    const auto code = key.getKeyCode();
    const auto direction = directionOf (key);
    auto value = knob.getValue();

    if (code == Key::homeKey)
        value = knob.getMinimum();
    else if (code == Key::endKey)
        value = knob.getMaximum();
    else if (direction == 0)
        return false;
    else if (knob.getInterval() > 0.0)
        value += direction * knob.getInterval(); // a selector: one position per key
    else
        value += direction * (isPage (key) ? largeStep : key.getModifiers().isShiftDown() ? fineStep : smallStep)
                 * (knob.getMaximum() - knob.getMinimum());

    // Through the knob's own notification, as a mouse move: the window sends it to the host.
    knob.setValue (juce::jlimit (knob.getMinimum(), knob.getMaximum(), value), juce::sendNotificationSync);
    return true;
}

bool KeyboardControl::moveSwitch (const Stop& stop, juce::Button& toggle, const juce::KeyPress& key) const
{
    const auto code = key.getKeyCode();
    auto on = toggle.getToggleState();

    if (isPress (key))
        on = ! on;
    else if (stop.homeAndEnd && (code == Key::homeKey || code == Key::endKey))
        on = code == Key::endKey;
    else if (const auto direction = directionOf (key); direction != 0)
        on = direction > 0;
    else
        return false;

    // As a click: the button's listeners hear it at once.
    if (on != toggle.getToggleState())
        toggle.setToggleState (on, juce::sendNotificationSync);

    return true;
}

bool KeyboardControl::moveLights (const Stop& stop, juce::Component& focused, const juce::KeyPress& key)
{
    const auto count = (int) stop.parts.size();
    const auto position = [&stop] (const juce::Component* part)
    { return (int) (std::find (stop.parts.begin(), stop.parts.end(), part) - stop.parts.begin()); };
    const auto code = key.getKeyCode();
    int chosen;

    if (isPress (key))
        chosen = position (&focused);
    else if (code == Key::homeKey)
        chosen = 0;
    else if (code == Key::endKey)
        chosen = count - 1;
    else if (const auto direction = directionOf (key); direction != 0)
        chosen = juce::jlimit (0, count - 1, position (stop.entry()) + direction);
    else
        return false;

    auto& light = static_cast<juce::Button&> (*stop.parts[(size_t) chosen]);

    // As a click on that light; the focus goes with it.
    if (! light.getToggleState())
        light.setToggleState (true, juce::sendNotificationSync);

    if (&light != &focused && light.isShowing())
        light.grabKeyboardFocus();

    showRing (light);
    return true;
}

//==============================================================================
bool KeyboardControl::keyPressedInWindow (const juce::KeyPress& key)
{
    if (! key.isKeyCode (Key::tabKey) || isForTheHost (key))
        return false;

    focusFirst (key.getModifiers().isShiftDown());
    return true;
}

void KeyboardControl::focusFirst (bool fromTheEnd)
{
    if (stops.empty())
        return;

    auto* control = (fromTheEnd ? stops.back() : stops.front()).entry();

    if (control->isShowing() && ! control->isCurrentlyBlockedByAnotherModalComponent())
    {
        control->grabKeyboardFocus();
        showRing (*control);
    }
}

void KeyboardControl::moveFocus (const juce::Component& from, bool forwards)
{
    const auto count = (int) stops.size();
    const auto next = (indexOf (&from) + (forwards ? 1 : count - 1)) % count;
    auto* control = stops[(size_t) next].entry();

    if (control->isShowing())
    {
        control->grabKeyboardFocus();
        showRing (*control);
    }
}

void KeyboardControl::focusChanged (juce::Component::FocusChangeType cause)
{
    auto* focused = juce::Component::getCurrentlyFocusedComponent();

    if (find (focused) == nullptr)
        ring.hide();
    else if (cause == juce::Component::focusChangedByTabKey)
        showRing (*focused);
}

void KeyboardControl::globalFocusChanged (juce::Component* focused)
{
    // Focus moved by other means (a screen reader, say): a ring in sight follows it.
    if (find (focused) == nullptr)
        ring.hide();
    else if (ring.isVisible())
        showRing (*focused);
}

void KeyboardControl::mousePressed()
{
    ring.hide();

    if (find (juce::Component::getCurrentlyFocusedComponent()) != nullptr && window.isShowing())
        window.grabKeyboardFocus();
}

void KeyboardControl::showRing (juce::Component& control)
{
    const auto* stop = find (&control);

    if (stop == nullptr)
        return;

    auto area = stop->ring;

    // Each light has a frame of its own, the same shape around each.
    if (stop->kind == Kind::lights)
        area = around (control, 3.0f);

    ring.showAround (window.getLocalArea (&control, area), stop->round);
}
