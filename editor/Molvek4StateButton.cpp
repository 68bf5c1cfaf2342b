#include "editor/Molvek4StateButton.h"

Molvek4StateButton::Molvek4StateButton (const juce::String& controlName)
    : MolvekImageButton (controlName, 4, true)
{
}

Molvek4StateButton::~Molvek4StateButton() = default;

int Molvek4StateButton::getFrameHeight() const
{
    return getStrip().getFrameHeight();
}

int Molvek4StateButton::getFrameWidth() const
{
    return getStrip().getFrameWidth();
}

int Molvek4StateButton::getFrameIndex() const
{
    return (getToggleState() ? 2 : 0) + (isDown() ? 1 : 0);
}

void Molvek4StateButton::paintButton (juce::Graphics& g, bool, bool)
{
    drawFrame (g, getFrameIndex());
}
