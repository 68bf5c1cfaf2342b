#pragma once

#include "ArtCanvas.h"

// The background of the window: the dark top bar with the preset name field, the graphite upper
// plate with the meter window, scales and captions, and the orange enamel body with the panel
// behind the large knobs, the selector's captions and leader lines and the product logo.
class PedalFaceArt
{
public:
    static void paintBackground (const ArtCanvas& c);

    // The names, shared with the about screen.
    static void paintProductLogo (const ArtCanvas& c, juce::Point<float> topLeft, juce::Colour ink, juce::Colour accent);
    static void paintMakerLogo (const ArtCanvas& c, juce::Point<float> centreBaseline, float capHeight, juce::Colour colour);

    // A countersunk screw head, its slot turned by `angle`.
    static void paintScrew (const ArtCanvas& c, juce::Point<float> centre, float radius, float angle);
};
