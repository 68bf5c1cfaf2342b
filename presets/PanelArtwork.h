#pragma once

#include "editor/FilmStrip.h"

class Molvek2StateKickButton;

// The file panels' images by the codes the panels are configured with.
namespace PanelArtwork
{
// Button captions: 1 OK, 3 CANCEL, 5 SAVE, 8 NEW FOLDER (the artwork's name).
const char* buttonName (int code);

// The caption of that code as words, for screen readers.
juce::String buttonCaption (int code);

// Gives the button the image of that code, and its caption as its accessible title.
void setButtonImage (Molvek2StateKickButton& button, int code);

// Icons: 3 the check mark, 4 the cross, anything else the warning triangle.
FilmStrip icon (int code);

// Titles: 1 SAVE AS; none for other codes. The caption as words, for screen readers.
FilmStrip title (int code);
juce::String titleCaption (int code);

// Dims whatever lies behind a panel, so the panel reads as the one thing to answer.
void dimBehind (juce::Graphics& g, juce::Rectangle<int> area);

FilmStrip panelBackground();
FilmStrip browserBackground();

// The light grey of the panels' text.
inline constexpr juce::uint32 textColour = 0xffd3d3d3;
} // namespace PanelArtwork
