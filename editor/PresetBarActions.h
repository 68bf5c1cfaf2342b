#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class MolvekAlertComponent;
class MolvekVardekoQX2710PresetMenu;
class VardekoQX2710AudioProcessor;

// What the window's preset bar does: the arrows step through the presets and a choice from the
// list loads its file; after every preset change the bar's name and its modified marker follow
// the processor for a few ticks; the first time the window shows, the factory presets are put
// into the preset folder. Messages go to the window's alert panel.
class PresetBarActions
{
public:
    PresetBarActions (VardekoQX2710AudioProcessor& processor, MolvekVardekoQX2710PresetMenu& presetMenu, MolvekAlertComponent& alert);

    // The preset files' pattern, "*.mvkp".
    static juce::String getFilePattern();

    // The bar lists the preset folder (on a thread of its own) and names the processor's current
    // preset, in black.
    static void setUp (MolvekVardekoQX2710PresetMenu& presetMenu, VardekoQX2710AudioProcessor& processor);

    // An arrow: steps through the list as it is on disk now (or as the last complete scan found
    // it while a long one runs) to the next preset that loads, passing over files that are not
    // presets (each named once in the message).
    void step (bool forward);

    // Loads the bar's current item. Only a preset that was applied becomes the current one;
    // otherwise the bar goes back to the preset whose values are still in force.
    void loadChosenPreset();

    // The message for files that could not be loaded, relative paths in quotes.
    static juce::String refusedMessage (const juce::StringArray& refused);

    // A timer tick that found the parameters changed, by a preset change or not.
    void parametersChanged (bool byPresetChange);

    // Every timer tick.
    void tick();

    // Once, when the window first shows (not when it is made: build tools and hosts also make
    // windows that never open).
    void installFactoryPresetsOnce();

private:
    int load (const juce::String& chosen);
    void finishLoading (int result, const juce::StringArray& refused);
    void showMessage (const juce::String& message, int iconCode);

    VardekoQX2710AudioProcessor& processor;
    MolvekVardekoQX2710PresetMenu& presetMenu;
    MolvekAlertComponent& alert;
    int refreshCount = 0; // ticks since the last preset change, counted up to refreshTicks
    bool factoryPresetsChecked = false;

    static constexpr int refreshTicks = 3;
};
