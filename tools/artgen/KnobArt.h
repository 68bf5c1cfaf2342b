#pragma once

#include "ArtCanvas.h"

// The knobs: the small input and dry/wet knobs in their dotted scales, the large knobs in their
// orange tick rings with their captions, and the circuit selector's pointer knob with its five
// position lamps. Frame k of a 101-frame knob points at k per cent of the sweep.
class KnobArt
{
public:
    static void paintSmallKnob (const ArtCanvas& c, int frame);
    static void paintLargeKnob (const ArtCanvas& c, int frame, const juce::String& caption);
    static void paintSelector (const ArtCanvas& c, int position);

    // A black knob with a knurled skirt, a domed cap and a white pointer; shared with the
    // mock-ups of the knobs elsewhere in the artwork (the about screen).
    static void paintBlackKnob (const ArtCanvas& c, juce::Point<float> centre, float radius, float angle);

    // A position lamp of the selector, lit or not.
    static void paintLamp (const ArtCanvas& c, juce::Point<float> centre, float radius, bool lit);
};
