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

    // Headings (the preset list's circuits) in small capitals, as the pedal's own captions, and
    // only as wide as they need, so two columns of presets fit the window.
    static juce::Font getPopupMenuHeadingFont();
    void drawPopupMenuSectionHeader (juce::Graphics& g, const juce::Rectangle<int>& area, const juce::String& sectionName) override;
    void getIdealPopupMenuItemSize (const juce::String& text, bool isSeparator, int standardMenuItemHeight, int& idealWidth, int& idealHeight) override;
};
