#pragma once

#include "lv2/Lv2Plugin.h"

#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <array>
#include <atomic>
#include <memory>

namespace juce
{
class HostDrivenEventLoop;
}

// The editor as an X11 UI embedded in the host's window. It reaches the processor through
// instance access; the processor's own changes (the editor's controls, programs, preset files)
// go to the host as port writes, with touch gestures where the host offers them, so the host's
// controls and automation follow. Host port changes reach the editor through the processor.
// While a UI is open the host's UI thread runs JUCE's message loop through the idle interface.
class Lv2Ui : private juce::Component,
              private juce::AudioProcessorListener
{
public:
    // Null when the host lacks a required feature (instance access, a parent window).
    static Lv2Ui* create (LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features);

    ~Lv2Ui() override;

    int idle();
    int hostResized (int width, int height);

private:
    Lv2Ui (Lv2Plugin& plugin, LV2UI_Write_Function write, LV2UI_Controller controller, void* parentWindow, const LV2UI_Resize* resize, const LV2UI_Touch* touch, float scale);

    void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float value) override;
    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
    void audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index) override;
    void audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index) override;

    void resized() override;
    void paint (juce::Graphics& g) override;

    // Sends what the processor changed to the host. UI thread.
    void sendChangesToHost();
    void requestHostSize();

    std::unique_ptr<juce::SharedResourcePointer<juce::HostDrivenEventLoop>> eventLoop;
    Lv2Plugin& plugin;
    LV2UI_Write_Function write;
    LV2UI_Controller controller;
    const LV2UI_Resize* resize;
    const LV2UI_Touch* touch;
    std::unique_ptr<juce::AudioProcessorEditor> editor;

    // Set on any thread, taken on the UI thread.
    static constexpr int valueChanged = 1, gestureBegan = 2, gestureEnded = 4;
    std::array<std::atomic<int>, HostParameters::numParameters> pending {};
    bool hostResizing = false;
};
