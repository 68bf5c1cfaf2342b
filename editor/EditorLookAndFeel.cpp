#include "editor/EditorLookAndFeel.h"

namespace
{
const juce::Colour panel (0xff1a1918);
const juce::Colour panelEdge (0xff3a3835);
const juce::Colour cream (0xfff1e6d2);
const juce::Colour orange (0xffe5701e);
const juce::Colour ink (0xff1f130c);
} // namespace

EditorLookAndFeel::EditorLookAndFeel()
{
    setColour (juce::PopupMenu::backgroundColourId, panel);
    setColour (juce::PopupMenu::textColourId, cream);
    setColour (juce::PopupMenu::headerTextColourId, cream.withAlpha (0.6f));
    setColour (juce::PopupMenu::highlightedBackgroundColourId, orange);
    setColour (juce::PopupMenu::highlightedTextColourId, ink);

    setColour (juce::TooltipWindow::textColourId, cream);
}

juce::Font EditorLookAndFeel::getPopupMenuFont()
{
    return juce::Font (15.0f);
}

void EditorLookAndFeel::drawPopupMenuBackground (juce::Graphics& g, int width, int height)
{
    g.fillAll (findColour (juce::PopupMenu::backgroundColourId));
    g.setColour (panelEdge);
    g.drawRect (0, 0, width, height, 1);
}
