#pragma once

#include "editor/MolvekKnob.h"

// The five-way circuit selector: a pointer knob drawn from a 5-frame strip, with a caption area
// per position beside it. A press on a caption selects its position at once; a press on the
// knob drags it like any knob; a press anywhere else does nothing.
class MolvekVardekoKnob : public MolvekKnob
{
public:
    explicit MolvekVardekoKnob (const juce::String& controlName);
    ~MolvekVardekoKnob() override;

    // Also places the knob's frame (113 x 125, partly left of the component's edge).
    void setImage (const juce::Image& image);
    void setImage (const MolvekArtwork& artwork);

    // Sets the caption area of a position: x 114, the given top and width, 11 high. An index
    // beyond the frame count is ignored; one at or beyond the end of the list adds an area.
    void setPositionLabel (int top, int width, int index);

    void mouseDown (const juce::MouseEvent& e) override;
    void paint (juce::Graphics& g) override;

private:
    void placeKnobArea();

    juce::Array<juce::Rectangle<int>> positionAreas;
    juce::Rectangle<int> knobArea;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MolvekVardekoKnob)
};
