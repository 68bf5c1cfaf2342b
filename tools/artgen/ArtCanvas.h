#pragma once

#include "ArtFonts.h"

#include <juce_graphics/juce_graphics.h>

#include <functional>

// One frame being drawn: a graphics context in layout units (1 unit = 1 pixel of the 1x image)
// that renders at `scale` device pixels per unit, with the helpers the artwork is made of.
// Every helper draws the same picture at every scale, only sharper at 2x.
class ArtCanvas
{
public:
    ArtCanvas (juce::Graphics& graphics, float scale, juce::Rectangle<float> bounds);

    juce::Graphics& g;
    const float scale;
    const juce::Rectangle<float> bounds;

    // The nearest edge between device pixels, in layout units.
    float snap (float v) const;

    // The centre of a line of the given width whose edges fall on device pixel edges.
    float snapLine (float v, float width) const;

    // Text: the cap height rounds to whole device pixels and the baseline to a device pixel
    // edge, so small print keeps crisp tops and bottoms. `anchor` is on the baseline; the text
    // is placed left of, right of or centred on it by `justification`. Returns the ink bounds.
    juce::Rectangle<float> drawText (const juce::String& text, ArtFonts::Face face, float capHeight, juce::Point<float> anchor, juce::Justification justification, juce::Colour colour, float tracking = 0.0f) const;
    juce::Path getTextPath (const juce::String& text, ArtFonts::Face face, float capHeight, juce::Point<float> anchor, juce::Justification justification, float tracking = 0.0f) const;

    // A soft shadow cast by the path, and one cast inside it by its surroundings (a recess).
    void dropShadow (const juce::Path& path, juce::Colour colour, float radius, juce::Point<float> offset) const;
    void innerShadow (const juce::Path& path, juce::Colour colour, float radius, juce::Point<float> offset) const;

    // Light spilling from a lamp.
    void glow (juce::Point<float> centre, float radius, juce::Colour colour) const;

    // A fine random texture inside the path: each device pixel lightened or darkened by up to
    // `amount`; `grainSize` (in layout units) above 0 gives soft bumps of that size on top.
    void grain (const juce::Path& area, float amount, float grainSize, int seed) const;

    // Horizontal streaks of brushed metal inside the path.
    void brushed (const juce::Path& area, float amount, int seed) const;

    // Runs `draw` on a transparent image covering `area` at device resolution, in device
    // coordinates (no scaling), and lays the result over the canvas, clipped to `clip` if given.
    void drawInDeviceSpace (juce::Rectangle<float> area, const std::function<void (juce::Graphics&)>& draw, const juce::Path* clip = nullptr) const;

    // The device pixels covering an area, and an image of such pixels laid over the canvas.
    juce::Rectangle<int> toDevice (juce::Rectangle<float> area) const;
    void overlay (const juce::Image& deviceImage, juce::Rectangle<int> deviceArea, const juce::Path* clip = nullptr) const;
};
