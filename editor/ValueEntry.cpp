#include "editor/ValueEntry.h"

namespace
{
const juce::Colour panel (0xff1a1918);
const juce::Colour cream (0xfff1e6d2);
const juce::Colour orange (0xffe5701e);
} // namespace

ValueEntry::ValueEntry()
    : juce::TextEditor ("valueEntry")
{
    setTitle ("Type a value");
    setColour (backgroundColourId, panel);
    setColour (textColourId, cream);
    setColour (outlineColourId, orange);
    setColour (focusedOutlineColourId, orange);
    setColour (highlightColourId, orange.withAlpha (0.45f));
    setColour (highlightedTextColourId, cream);
    setColour (juce::CaretComponent::caretColourId, cream);
    setFont (juce::Font (13.0f, juce::Font::bold));
    setJustification (juce::Justification::centred);
    setIndents (4, 3);
    setSelectAllWhenFocused (true);
    setEscapeAndReturnKeysConsumed (true);
    setAlwaysOnTop (true);
    addListener (this);
}

void ValueEntry::open (const juce::Component& knob, const juce::String& text, std::function<std::optional<float> (const juce::String&)> parser, std::function<void (float)> taker)
{
    parse = std::move (parser);
    take = std::move (taker);

    // Over the knob's middle, as wide as the text needs, inside the window.
    const auto width = juce::jmax (70, getFont().getStringWidth (text) + 20);
    auto area = juce::Rectangle<int> (width, 22).withCentre (knob.getBounds().getCentre());

    if (auto* parent = getParentComponent())
        area = area.constrainedWithin (parent->getLocalBounds().reduced (3));

    setBounds (area);
    setText (text, false);
    setVisible (true);
    toFront (true);
    grabKeyboardFocus();
    selectAll();
}

void ValueEntry::close()
{
    parse = nullptr;
    take = nullptr;
    setVisible (false);
}

void ValueEntry::textEditorReturnKeyPressed (juce::TextEditor&)
{
    const auto value = parse != nullptr ? parse (getText()) : std::nullopt;

    if (! value.has_value())
    {
        selectAll();
        return;
    }

    // Closed first: what taking the value does may move the focus.
    auto taker = take;
    close();

    if (taker != nullptr)
        taker (*value);
}

void ValueEntry::textEditorEscapeKeyPressed (juce::TextEditor&)
{
    close();
}

void ValueEntry::textEditorFocusLost (juce::TextEditor&)
{
    close();
}
