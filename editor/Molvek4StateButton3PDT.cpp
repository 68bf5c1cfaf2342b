#include "editor/Molvek4StateButton3PDT.h"

void Molvek4StateButton3PDT::paintButton (juce::Graphics& g, bool, bool)
{
    // isEnabled() is false also while a parent is disabled.
    drawFrame (g, getFrameIndex(), isEnabled() ? 1.0f : 0.4f);
}
