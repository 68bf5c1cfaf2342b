#pragma once

#include <juce_graphics/juce_graphics.h>

// The pedal's colours. The light comes from the upper left, a little in front.
struct ArtPalette
{
    // Orange enamel of the body: lit, mid and shaded.
    static juce::Colour enamelLight() { return juce::Colour (0xfff39a3d); }
    static juce::Colour enamel() { return juce::Colour (0xffe5701e); }
    static juce::Colour enamelShade() { return juce::Colour (0xffc2520f); }

    // Print on the enamel, and print on the dark panels.
    static juce::Colour ink() { return juce::Colour (0xff1f130c); }
    static juce::Colour cream() { return juce::Colour (0xfff1e6d2); }
    static juce::Colour orangePrint() { return juce::Colour (0xfff2933a); }
    static juce::Colour greyPrint() { return juce::Colour (0xffa9a39a); }

    // Dark surfaces: the top bar, the upper plate and the panel behind the knobs.
    static juce::Colour bar() { return juce::Colour (0xff141416); }
    static juce::Colour plate() { return juce::Colour (0xff2c2d30); }
    static juce::Colour panel() { return juce::Colour (0xff1a1918); }

    // The pale yellow preset name field.
    static juce::Colour nameField() { return juce::Colour (0xfff3ebbe); }

    // Knobs: black plastic, lit edge and deepest shade.
    static juce::Colour knobLit() { return juce::Colour (0xff47474b); }
    static juce::Colour knob() { return juce::Colour (0xff1c1c1e); }
    static juce::Colour knobShade() { return juce::Colour (0xff050505); }
    static juce::Colour pointer() { return juce::Colour (0xfffbf8f2); }

    // Chrome: highlight, body and reflected dark.
    static juce::Colour chromeLit() { return juce::Colour (0xfffafbfd); }
    static juce::Colour chrome() { return juce::Colour (0xffb9bdc3); }
    static juce::Colour chromeDark() { return juce::Colour (0xff4d5157); }

    // Lamps: red lit and unlit, and the meter's green and yellow.
    static juce::Colour red() { return juce::Colour (0xffff2f1c); }
    static juce::Colour redDark() { return juce::Colour (0xff4a0f0b); }
    static juce::Colour green() { return juce::Colour (0xff58ec6f); }
    static juce::Colour greenDark() { return juce::Colour (0xff173622); }
    static juce::Colour yellow() { return juce::Colour (0xffffdc3c); }
    static juce::Colour yellowDark() { return juce::Colour (0xff3a3314); }

    static juce::Colour shadow() { return juce::Colours::black; }
};
