#pragma once

#include "editor/MolvekImageButton.h"

// A momentary button drawn from a 2-frame strip: frame 1 while held down, else frame 0. A click
// tells the listeners and leaves the toggle state alone.
class Molvek2StateKickButton : public MolvekImageButton
{
public:
    explicit Molvek2StateKickButton (const juce::String& controlName);
    ~Molvek2StateKickButton() override;

protected:
    void paintButton (juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Molvek2StateKickButton)
};
