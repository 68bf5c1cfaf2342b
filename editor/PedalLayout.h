#pragma once

#include <juce_graphics/juce_graphics.h>

// Where every control lies on the 325 x 500 pedal. The artwork is drawn to this layout (the
// background prints each control's captions and scale around the place where the control will
// sit) and the editor places its controls with it, so the two cannot drift apart.
struct PedalLayout
{
    struct Box
    {
        int x;
        int y;
        int width;
        int height;

        constexpr int getRight() const noexcept { return x + width; }
        constexpr int getBottom() const noexcept { return y + height; }
        constexpr float getCentreX() const noexcept { return (float) x + (float) width * 0.5f; }
        constexpr float getCentreY() const noexcept { return (float) y + (float) height * 0.5f; }
        juce::Rectangle<int> toRectangle() const noexcept { return { x, y, width, height }; }
    };

    static constexpr int width = 325;
    static constexpr int height = 500;

    // The top bar
    static constexpr Box fileButton { 6, 3, 58, 26 };
    static constexpr Box presetMenu { 67, 3, 192, 26 };
    static constexpr Box presetDecButton { 263, 3, 29, 26 };
    static constexpr Box presetIncButton { 292, 3, 29, 26 };

    // The upper panel. The meter's 70-pixel strip is stretched over its 77-pixel bounds, and the
    // clip light lies over the meter's right end.
    static constexpr Box inputMeter { 5, 36, 77, 16 };
    static constexpr Box inputPeak { 75, 36, 7, 16 };
    static constexpr Box abButton { 92, 35, 62, 23 };
    static constexpr Box abCopyButton { 163, 30, 75, 25 };
    static constexpr Box inputVolKnob { 22, 66, 41, 42 };
    static constexpr Box dryWetKnob { 263, 66, 41, 42 };
    static constexpr Box oversamplingButtons[4] = { { 100, 107, 21, 14 }, { 135, 107, 21, 14 }, { 170, 107, 21, 14 }, { 205, 107, 21, 14 } };

    // The pedal body
    static constexpr Box overdriveKnob { 17, 176, 96, 95 };
    static constexpr Box toneKnob { 113, 176, 96, 95 };
    static constexpr Box levelKnob { 209, 176, 96, 95 };
    static constexpr Box overdriveTypeKnob { 16, 288, 180, 136 };
    static constexpr Box bypassButton { 222, 400, 90, 99 };
    static constexpr Box aboutShowButton { 15, 425, 109, 58 };

    // The circuit selector, relative to its own bounds: the knob's frame (drawn partly left of
    // the selector's edge) and one caption area per position, BLUES to PRO, 11 pixels high.
    static constexpr int numSelectorPositions = 5;
    static constexpr Box selectorKnobArea { -4, 13, 113, 125 };
    static constexpr int selectorCaptionX = 114;
    static constexpr int selectorCaptionHeight = 11;
    static constexpr int selectorCaptionTops[numSelectorPositions] = { 0, 17, 35, 52, 70 };
    static constexpr int selectorCaptionWidths[numSelectorPositions] = { 38, 65, 30, 57, 26 };

    // The keyboard's focus ring around the round controls, relative to their own bounds: between
    // a knob's skirt and its scale, around the selector's sweep inside its lamps, around the
    // foot switch's nut.
    struct Circle
    {
        float x;
        float y;
        float radius;

        juce::Rectangle<float> toRectangle() const noexcept { return { x - radius, y - radius, radius * 2.0f, radius * 2.0f }; }
    };

    static constexpr Circle bigKnobRing { 48.0f, 41.0f, 28.5f };
    static constexpr Circle smallKnobRing { 18.8f, 19.3f, 14.5f };
    static constexpr Circle selectorRing { 51.5f, 86.5f, 40.0f };
    static constexpr Circle footSwitchRing { 44.5f, 61.0f, 29.0f };
};
