#pragma once

#include "editor/MolvekImageButton.h"

// A toggle drawn from a 4-frame strip that also shows being held down: frame 0 off, 1 off and
// held, 2 on, 3 on and held. A click flips it.
class Molvek4StateButton : public MolvekImageButton
{
public:
    explicit Molvek4StateButton (const juce::String& controlName);
    ~Molvek4StateButton() override;

    // The size of one frame of the strip, 0 without an image.
    virtual int getFrameHeight() const;
    virtual int getFrameWidth() const;

protected:
    void paintButton (juce::Graphics& g, bool isMouseOver, bool isButtonDown) override;

    int getFrameIndex() const;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Molvek4StateButton)
};
