#pragma once

#include "editor/Molvek4StateButton.h"

// The foot switch: a 4-state button whose light (frames 2 and 3) shows the toggle and whose
// pressed switch (frames 1 and 3) shows being held down. Drawn dimmed while disabled.
class Molvek4StateButton3PDT : public Molvek4StateButton
{
public:
    using Molvek4StateButton::Molvek4StateButton;

protected:
    void paintButton (juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;
};
