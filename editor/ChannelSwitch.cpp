#include "editor/ChannelSwitch.h"

#include "editor/Molvek2StateButton.h"
#include "editor/Molvek2StateKickButton.h"
#include "editor/MolvekArtwork.h"
#include "presets/MolvekVardekoQX2710PresetMenu.h"
#include "processor/VardekoQX2710AudioProcessor.h"

ChannelSwitch::ChannelSwitch (VardekoQX2710AudioProcessor& p, Molvek2StateButton& channelSwitch, Molvek2StateKickButton& copy, MolvekVardekoQX2710PresetMenu& menu, std::function<void()> sendAllValues)
    : processor (p)
    , abSwitch (channelSwitch)
    , copyButton (copy)
    , presetMenu (menu)
    , sendAll (std::move (sendAllValues))
{
}

void ChannelSwitch::switched()
{
    const auto channel = abSwitch.getToggleState() ? 1 : 0;
    processor.setActiveChannel (channel);
    refresh();
    presetMenu.setCurrentItem (processor.getPresetPath (channel));

    // The live values and the host follow the channel.
    sendAll();
    processor.presetChangedInEditor();
}

void ChannelSwitch::copy()
{
    const auto active = abSwitch.getToggleState() ? 1 : 0;
    processor.copyChannel (active, 1 - active);
}

void ChannelSwitch::refresh()
{
    const auto channelB = processor.getActiveChannel() != 0;
    abSwitch.setToggleState (channelB, juce::dontSendNotification);
    copyButton.setImage (MolvekArtwork (channelB ? "copy_b_to_a" : "copy_a_to_b"));
    copyButton.setTitle (getCopyTitle (channelB));
    copyButton.repaint();
}

juce::String ChannelSwitch::getCopyTitle (bool channelB)
{
    return channelB ? "Copy channel B to A" : "Copy channel A to B";
}
