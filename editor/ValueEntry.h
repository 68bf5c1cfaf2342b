#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <optional>

// A small text field in the pedal's dark panel and cream print, opened over a knob to type its
// value. Return takes the text if it names a value (else the field stays, its text selected);
// Escape or a click elsewhere closes it and changes nothing.
class ValueEntry : public juce::TextEditor, private juce::TextEditor::Listener
{
public:
    ValueEntry();

    // parse gives the value a text names, if any; take is handed it on Return.
    void open (const juce::Component& knob, const juce::String& text, std::function<std::optional<float> (const juce::String&)> parse, std::function<void (float)> take);
    void close();

private:
    void textEditorReturnKeyPressed (juce::TextEditor&) override;
    void textEditorEscapeKeyPressed (juce::TextEditor&) override;
    void textEditorFocusLost (juce::TextEditor&) override;

    std::function<std::optional<float> (const juce::String&)> parse;
    std::function<void (float)> take;
};
