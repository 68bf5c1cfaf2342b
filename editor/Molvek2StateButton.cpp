#include "editor/Molvek2StateButton.h"

Molvek2StateButton::Molvek2StateButton (const juce::String& controlName)
    : MolvekImageButton (controlName, 2, true)
{
}

Molvek2StateButton::~Molvek2StateButton() = default;

void Molvek2StateButton::paintButton (juce::Graphics& g, bool, bool)
{
    drawFrame (g, getToggleState() ? 1 : 0);
}
