#pragma once

#include "editor/ChannelSwitch.h"
#include "editor/ControlBindings.h"
#include "editor/EditorLookAndFeel.h"
#include "editor/FileMenu.h"
#include "editor/FilmStrip.h"
#include "editor/KeyboardControl.h"
#include "editor/ParameterHistory.h"
#include "editor/PedalLayout.h"
#include "editor/PresetBarActions.h"
#include "editor/SystemOpener.h"
#include "editor/ValueBubble.h"
#include "editor/ValueEntry.h"

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
// It makes and lays out its children and hands each event to the part that does the job: the
// controls' parameter bindings (ParameterBinding), the preset bar (PresetBarActions) and the
// FILE menu (FileMenu). Everything it does to the sound goes through the processor's
// parameters; it follows the processor (automation, programs, restored states, the meter) on a
// 50 ms timer.
class VardekoQX2710AudioProcessorEditor : public juce::AudioProcessorEditor,
                                          public juce::Timer,
                                          public juce::Button::Listener,
                                          public juce::Slider::Listener,
                                          public juce::Label::Listener
{
public:
    static constexpr int timerIntervalMs = 50;
    static constexpr int tooltipDelayMs = 700;

    using FileMenuItem = FileMenu::Item;
    static constexpr auto savePresetItem = FileMenu::savePresetItem;
    static constexpr auto savePresetAsItem = FileMenu::savePresetAsItem;
    static constexpr auto userManualItem = FileMenu::userManualItem;
    static constexpr auto websiteItem = FileMenu::websiteItem;

    explicit VardekoQX2710AudioProcessorEditor (VardekoQX2710AudioProcessor& processor);
    ~VardekoQX2710AudioProcessorEditor() override;

    // From now on every processor opens this window as its editor (createEditor).
    static void installAsProcessorEditor() noexcept;

    void paint (juce::Graphics& g) override;

    // The pedal is one picture with its controls at fixed places: a size a host proposes (or
    // forces on the window) gives way to the designed one, so what is drawn and what is
    // clicked never part.
    void resized() override;
    void parentHierarchyChanged() override;
    void visibilityChanged() override;

    // The keyboard: Tab into the pedal from the window, the ring following the focus, and a
    // click taking the focus back from the controls (KeyboardControl).
    bool keyPressed (const juce::KeyPress& key) override;
    void focusGained (FocusChangeType cause) override;
    void focusOfChildComponentChanged (FocusChangeType cause) override;
    void mouseDown (const juce::MouseEvent& e) override;
    std::unique_ptr<juce::ComponentTraverser> createKeyboardFocusTraverser() override;

    void timerCallback() override;
    void buttonClicked (juce::Button* button) override;
    void sliderValueChanged (juce::Slider* slider) override;
    void sliderDragStarted (juce::Slider* slider) override;
    void sliderDragEnded (juce::Slider* slider) override;
    void showValueOf (juce::Slider& knob);

    // Typing a knob's value: from its context menu, or Return with the knob in focus.
    void showKnobMenu (juce::Slider& knob);
    void typeValueOf (juce::Slider& knob);
    void labelTextChanged (juce::Label* label) override;

    // The FILE menu: its entries, and what choosing one does.
    static juce::PopupMenu createFileMenu() { return FileMenu::create(); }
    void performFileMenuItem (int itemId) { fileMenu->perform (itemId); }

    // How the FILE menu opens a document and a web address; replaceable so that tests open
    // nothing.
    FileMenu::DocumentOpener openDocument = SystemOpener::openDocument;
    FileMenu::WebAddressOpener openWebAddress = SystemOpener::openWebAddress;

    // The parameter a slider or button of this window is bound to, or -1.
    int getParameterIndexOf (const juce::Component* control) const;

private:
    template <typename Child>
    Child& addChild (std::unique_ptr<Child>& child, const char* name, juce::Rectangle<int> bounds);
    template <typename Button>
    void addButton (std::unique_ptr<Button>& button, const char* name, const char* artwork, PedalLayout::Box box, const juce::String& title, const juce::String& tooltip);
    template <typename Knob>
    void addKnob (std::unique_ptr<Knob>& knob, const char* name, const char* artwork, PedalLayout::Box box, int parameterIndex, const juce::String& title, double step = 0.0);

    void createChildren();
    void setUpKeyboard();
    void describeMeter();
    void installFactoryPresetsOnceShown();
    void showAbout();

    VardekoQX2710AudioProcessor& processor;
    EditorLookAndFeel lookAndFeel;
    FilmStrip background;

    ControlBindings controls;

    // Ctrl+Z and Ctrl+Shift+Z: the window's gestures undone and redone.
    ParameterHistory history;

    std::unique_ptr<Molvek2StateKickButton> fileButton_, presetDecButton_, presetIncButton_;
    std::unique_ptr<MolvekVardekoQX2710PresetMenu> presetMenu_;
    std::unique_ptr<MolvekImage> inputMeter_, inputPeak_;
    std::unique_ptr<Molvek2StateButton> abButton_;
    std::unique_ptr<Molvek2StateKickButton> abCopyButton_;
    std::unique_ptr<Molvek4StateButton3PDT> bypassButton_;
    std::unique_ptr<MolvekKnob> inputVolKnob_, overdriveKnob_, toneKnob_, levelKnob_, dryWetKnob_;
    std::unique_ptr<MolvekVardekoKnob> overdriveTypeKnob_;
    std::array<std::unique_ptr<Molvek2StateButton>, 4> oversamplingButtons;

    std::unique_ptr<MolvekVardekoQX2710PresetBrowser> savePresetBrowser_;
    std::unique_ptr<MolvekVardekoQX2710OverwriteComponent> overwritePresetComponent_;
    std::unique_ptr<MolvekAlertComponent> alert_;
    std::unique_ptr<Molvek2StateKickButton> aboutShowButton_;
    std::unique_ptr<MolvekSplashScreen> aboutContainer_;

    // Made once the children exist.
    std::unique_ptr<PresetBarActions> presetBar;
    std::unique_ptr<ChannelSwitch> channels;
    std::unique_ptr<FileMenu> fileMenu;

    // Made with the controls: its ring lies over them and under the panels.
    std::unique_ptr<KeyboardControl> keyboard;

    // Shows the controls' tooltips inside the window, above everything else in it.
    ValueBubble valueBubble;
    ValueEntry valueEntry;
    const juce::Slider* knobInGesture = nullptr;
    std::unique_ptr<juce::TooltipWindow> tooltipWindow;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VardekoQX2710AudioProcessorEditor)
};
