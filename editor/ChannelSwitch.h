#pragma once

#include <juce_core/juce_core.h>

#include <functional>

class Molvek2StateButton;
class Molvek2StateKickButton;
class MolvekVardekoQX2710PresetMenu;
class VardekoQX2710AudioProcessor;

// The A/B channels of the current preset slot: the switch selects the channel, whose values
// and preset then become the live ones, and the copy button copies the active channel's values
// into the other one. Its image names the direction of the copy.
class ChannelSwitch
{
public:
    // sendAll sends every parameter's live value to the processor and the host.
    ChannelSwitch (VardekoQX2710AudioProcessor& processor, Molvek2StateButton& abSwitch, Molvek2StateKickButton& copyButton, MolvekVardekoQX2710PresetMenu& presetMenu, std::function<void()> sendAll);

    // The switch was clicked: its new state is the channel.
    void switched();

    // Only the values: the other channel's sound changes, the live one does not.
    void copy();

    // The switch and the copy button show the processor's active channel.
    void refresh();

    // What the copy button is called while channel A or B is active (its picture says it).
    static juce::String getCopyTitle (bool channelB);

private:
    VardekoQX2710AudioProcessor& processor;
    Molvek2StateButton& abSwitch;
    Molvek2StateKickButton& copyButton;
    MolvekVardekoQX2710PresetMenu& presetMenu;
    std::function<void()> sendAll;
};
