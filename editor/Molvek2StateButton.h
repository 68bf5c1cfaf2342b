#pragma once

#include "editor/MolvekImageButton.h"

// A toggle drawn from a 2-frame strip: frame 1 while on, frame 0 while off. A click flips it.
class Molvek2StateButton : public MolvekImageButton
{
public:
    explicit Molvek2StateButton (const juce::String& controlName);
    ~Molvek2StateButton() override;

protected:
    void paintButton (juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Molvek2StateButton)
};
