#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// The window's own look for what JUCE draws itself: the FILE and preset popup menus and the
// tooltips, in the pedal's dark panels, cream print and orange.
class EditorLookAndFeel : public juce::LookAndFeel_V4
{
public:
    EditorLookAndFeel();

    juce::Font getPopupMenuFont() override;
    void drawPopupMenuBackground (juce::Graphics& g, int width, int height) override;
};
