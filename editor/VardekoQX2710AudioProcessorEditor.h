#pragma once

#include "editor/EditorLookAndFeel.h"
#include "editor/FilmStrip.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class VardekoQX2710AudioProcessor;
class Molvek2StateButton;
class Molvek2StateKickButton;
class Molvek4StateButton3PDT;
class MolvekAlertComponent;
class MolvekImage;
class MolvekKnob;
class MolvekSplashScreen;
class MolvekVardekoKnob;
class MolvekVardekoQX2710OverwriteComponent;
class MolvekVardekoQX2710PresetBrowser;
class MolvekVardekoQX2710PresetMenu;

// The plug-in window: the pedal, 325 x 500, with its image-strip controls over one background.
// Everything it does to the sound goes through the processor's parameters; it follows the
// processor (automation, programs, restored states, the meter) on a 50 ms timer.
class VardekoQX2710AudioProcessorEditor : public juce::AudioProcessorEditor,
                                          public juce::Timer,
                                          public juce::Button::Listener,
                                          public juce::Slider::Listener,
                                          public juce::Label::Listener
{
public:
    static constexpr int timerIntervalMs = 50;

    enum FileMenuItem
    {
        savePresetItem = 1,
        savePresetAsItem = 2,
        userManualItem = 3,
        websiteItem = 4
    };

    explicit VardekoQX2710AudioProcessorEditor (VardekoQX2710AudioProcessor& processor);
    ~VardekoQX2710AudioProcessorEditor() override;

    void paint (juce::Graphics& g) override;

    // The pedal is one picture with its controls at fixed places: a size a host proposes (or
    // forces on the window) gives way to the designed one, so what is drawn and what is
    // clicked never part.
    void resized() override;
    void parentHierarchyChanged() override;
    void visibilityChanged() override;

    void timerCallback() override;
    void buttonClicked (juce::Button* button) override;
    void sliderValueChanged (juce::Slider* slider) override;
    void sliderDragStarted (juce::Slider* slider) override;
    void sliderDragEnded (juce::Slider* slider) override;
    void labelTextChanged (juce::Label* label) override;

    // The FILE menu: its entries, and what choosing one does.
    static juce::PopupMenu createFileMenu();
    void showFileMenu();
    void performFileMenuItem (int itemId);

    // How a document and a web address are opened; replaceable so that tests open nothing.
    std::function<bool (const juce::File&)> openDocument = [] (const juce::File& file)
    { return file.startAsProcess(); };
    std::function<bool (const juce::URL&)> openWebAddress = [] (const juce::URL& url)
    { return url.launchInDefaultBrowser(); };

    // The parameter a slider or button of this window is bound to, or -1.
    int getParameterIndexOf (const juce::Component* control) const;

private:
    void createChildren();
    void refreshControls();
    void refreshOversamplingLights();
    void refreshChannelControls();

    // A parameter's value as its knob shows it.
    float getShownValue (int parameterIndex);
    void loadChosenPreset();
    void switchChannel();
    void copyChannel();
    void showAbout();
    void showAlert (const juce::String& message, int numButtons, int iconCode);
    void installFactoryPresetsOnceShown();

    // Sends a value to the processor and the host; a change that is not part of a drag is a
    // gesture of its own, so touch and latch automation record clicks too.
    void sendToHost (int parameterIndex, float value);

    VardekoQX2710AudioProcessor& processor;
    EditorLookAndFeel lookAndFeel;
    FilmStrip background;
    int refreshCount = 0; // ticks since the last preset change, counted up to 3
    std::array<bool, 8> inGesture {};
    bool factoryPresetsChecked = false;

    std::unique_ptr<Molvek2StateKickButton> fileButton_, presetDecButton_, presetIncButton_;
    std::unique_ptr<MolvekVardekoQX2710PresetMenu> presetMenu_;
    std::unique_ptr<MolvekImage> inputMeter_, inputPeak_;
    std::unique_ptr<Molvek2StateButton> abButton_;
    std::unique_ptr<Molvek2StateKickButton> abCopyButton_;
    std::unique_ptr<Molvek4StateButton3PDT> bypassButton_;
    std::unique_ptr<MolvekKnob> inputVolKnob_, overdriveKnob_, toneKnob_, levelKnob_, dryWetKnob_;
    std::unique_ptr<MolvekVardekoKnob> overdriveTypeKnob_;
    std::array<std::unique_ptr<Molvek2StateButton>, 4> oversamplingButtons;

    // Every knob and the parameter it is bound to.
    std::vector<std::pair<MolvekKnob*, int>> knobs;
    std::unique_ptr<MolvekVardekoQX2710PresetBrowser> savePresetBrowser_;
    std::unique_ptr<MolvekVardekoQX2710OverwriteComponent> overwritePresetComponent_;
    std::unique_ptr<MolvekAlertComponent> alert_;
    std::unique_ptr<Molvek2StateKickButton> aboutShowButton_;
    std::unique_ptr<MolvekSplashScreen> aboutContainer_;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VardekoQX2710AudioProcessorEditor)
};
