#include "editor/Molvek2StateKickButton.h"

Molvek2StateKickButton::Molvek2StateKickButton (const juce::String& controlName)
    : MolvekImageButton (controlName, 2, false)
{
}

Molvek2StateKickButton::~Molvek2StateKickButton() = default;

void Molvek2StateKickButton::paintButton (juce::Graphics& g, bool, bool)
{
    drawFrame (g, isDown() ? 1 : 0);
}
