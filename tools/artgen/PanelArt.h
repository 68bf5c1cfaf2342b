#pragma once

#include "ArtCanvas.h"

// The full-window pictures laid over the pedal: the about screen, the backgrounds of the file
// panels, the SAVE AS title and the three message icons. Outside their panels they are clear.
class PanelArt
{
public:
    static void paintAbout (const ArtCanvas& c);
    static void paintPanel (const ArtCanvas& c);
    static void paintBrowser (const ArtCanvas& c);
    static void paintSaveTitle (const ArtCanvas& c);

    enum class Icon
    {
        warning,
        success,
        error
    };

    // An icon centred near (162, 157) of a window-sized clear image.
    static void paintIcon (const ArtCanvas& c, Icon icon);
};
