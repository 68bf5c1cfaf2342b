#pragma once

#include "ArtCanvas.h"

// Everything that is pressed or slid: the chrome foot switch with its lamp, the A/B slide
// switch, the dark buttons of the top bar and the panels, and the copy button.
class SwitchArt
{
public:
    // Frames: 0 lamp off and switch up, 1 off and pressed, 2 lamp on and up, 3 on and pressed.
    static void paintFootSwitch (const ArtCanvas& c, int frame);

    // Frame 0 slider at A, frame 1 at B.
    static void paintAbSwitch (const ArtCanvas& c, int frame);

    // Frame 0 normal, frame 1 pressed, for all the buttons below.
    static void paintFileButton (const ArtCanvas& c, int frame);
    static void paintArrowButton (const ArtCanvas& c, int frame, bool pointsRight);
    static void paintCopyButton (const ArtCanvas& c, int frame, bool aToB);
    static void paintTextButton (const ArtCanvas& c, int frame, const juce::String& caption);

    // A raised dark button face, or the same face pushed in; returns the face's area, which
    // a pressed button moves down a little.
    static juce::Rectangle<float> paintDarkButton (const ArtCanvas& c, juce::Rectangle<float> area, float cornerRadius, bool pressed);
};
