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

juce::Font EditorLookAndFeel::getPopupMenuHeadingFont()
{
    return juce::Font (12.0f, juce::Font::bold).withExtraKerningFactor (0.04f);
}

void EditorLookAndFeel::drawPopupMenuSectionHeader (juce::Graphics& g, const juce::Rectangle<int>& area, const juce::String& sectionName)
{
    g.setFont (getPopupMenuHeadingFont());
    g.setColour (findColour (juce::PopupMenu::headerTextColourId));
    g.drawFittedText (sectionName.toUpperCase(), area.reduced (12, 0).withTrimmedBottom (3), juce::Justification::bottomLeft, 1);
}

void EditorLookAndFeel::getIdealPopupMenuItemSize (const juce::String& text, bool isSeparator, int standardMenuItemHeight, int& idealWidth, int& idealHeight)
{
    // JUCE asks a heading's size with a standard height of -1 (items ask with 0 or more) and
    // then makes it half as high and a quarter as wide again: the size given here is the
    // heading's own, divided back.
    if (! isSeparator && standardMenuItemHeight < 0)
    {
        idealWidth = (getPopupMenuHeadingFont().getStringWidth (text.toUpperCase()) + 24) * 4 / 5;
        idealHeight = 16;
        return;
    }

    juce::LookAndFeel_V4::getIdealPopupMenuItemSize (text, isSeparator, standardMenuItemHeight, idealWidth, idealHeight);
}
