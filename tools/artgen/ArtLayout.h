#pragma once

#include "editor/PedalLayout.h"

#include <juce_graphics/juce_graphics.h>

#include <cmath>

// Geometry that a control's strip and the background must share, so that the scales, captions
// and leader lines printed on the background meet the controls drawn over them.
struct ArtLayout
{
    // Knob pointers sweep 300 degrees clockwise, from 7 o'clock through 12 to 5 o'clock.
    static constexpr float sweepDegrees = 300.0f;

    // The pointer angle (radians, clockwise from 12 o'clock) of a proportion 0 to 1.
    static float knobAngle (float proportion)
    {
        return juce::degreesToRadians (sweepDegrees * (proportion - 0.5f));
    }

    // A point at a distance and angle (clockwise from 12 o'clock) from a centre.
    static juce::Point<float> polar (juce::Point<float> centre, float radius, float angle)
    {
        return { centre.x + radius * std::sin (angle), centre.y - radius * std::cos (angle) };
    }

    // Centres of the knobs within their frames.
    static juce::Point<float> smallKnobCentre() { return { 20.5f, 21.0f }; }
    static juce::Point<float> largeKnobCentre() { return { 48.0f, 41.0f }; }

    // The selector: the pointer knob's centre within a frame, and its five position lamps on an
    // arc from straight up (BLUES) to straight right (PRO).
    static juce::Point<float> selectorCentre() { return { 56.0f, 73.0f }; }
    static constexpr float selectorLampDistance = 44.0f;

    static float selectorAngle (int position)
    {
        return juce::degreesToRadians (22.5f * (float) position);
    }

    static juce::Point<float> selectorLamp (int position)
    {
        return polar (selectorCentre(), selectorLampDistance, selectorAngle (position));
    }

    // Where a selector frame lies in the window.
    static juce::Point<float> selectorFrameOrigin()
    {
        return { (float) (PedalLayout::overdriveTypeKnob.x + PedalLayout::selectorKnobArea.x),
                 (float) (PedalLayout::overdriveTypeKnob.y + PedalLayout::selectorKnobArea.y) };
    }

    // The meter: ten bars in the left 63 pixels of its 70-pixel strip (the clip light covers
    // the rest once the strip is stretched over the meter's 77-pixel bounds).
    static constexpr int meterBars = 10;
    static constexpr float meterBarPitch = 6.3f;
    static constexpr float meterBarWidth = 4.3f;

    static float meterBarLeft (int bar) { return 1.0f + meterBarPitch * (float) bar; }

    // How far the meter's strip is stretched horizontally on the pedal.
    static float meterStretch() { return (float) PedalLayout::inputMeter.width / 70.0f; }

    // The foot switch within its frame: its lamp and the centre of the switch.
    static juce::Point<float> footLampCentre() { return { 45.0f, 14.0f }; }
    static juce::Point<float> footSwitchCentre() { return { 45.0f, 61.0f }; }

    // The dark panel behind the three large knobs.
    static juce::Rectangle<float> knobPanel() { return { 9.0f, 170.0f, 307.0f, 106.0f }; }

    // The top of the orange body.
    static constexpr float bodyTop = 140.0f;
};
