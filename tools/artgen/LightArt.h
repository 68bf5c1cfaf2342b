#pragma once

#include "ArtCanvas.h"

// The lamps of the upper panel: the input meter's ten bars, the clip light and the four
// oversampling lights.
class LightArt
{
public:
    // Frame k lights the first k bars: seven green, then three yellow.
    static void paintMeter (const ArtCanvas& c, int frame);

    // Frame 0 grey, frame 1 red.
    static void paintClipLight (const ArtCanvas& c, int frame);

    // Frame 0 dark, frame 1 red.
    static void paintOversamplingLight (const ArtCanvas& c, int frame);
};
