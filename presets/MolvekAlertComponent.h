#pragma once

#include "editor/FilmStrip.h"
#include "editor/Molvek2StateKickButton.h"

#include <juce_gui_basics/juce_gui_basics.h>

// A message drawn over the pedal, with an icon and OK, or OK and CANCEL. While shown it is
// modal: it takes the clicks and the keyboard focus until it closes.
class MolvekAlertComponent : public juce::Component,
                             public juce::Button::Listener
{
public:
    enum IconCode
    {
        warningIcon = 1,
        successIcon = 3,
        errorIcon = 4
    };

    explicit MolvekAlertComponent (const juce::String& componentName);
    ~MolvekAlertComponent() override;

    virtual void setMessage (const juce::String& message);

    // One or two buttons (any other count does nothing); icon codes 3 and 4 show the check
    // mark and the cross, any other code the warning triangle.
    virtual void show (int numButtons, int iconCode);
    virtual void hide();
    virtual void onOk();
    virtual void onCancel();

    // Set for a panel that opens over another modal panel and hands the modal state back.
    virtual void setRestoresParent (bool shouldRestoreParent) { restoresParent = shouldRestoreParent; }

    void paint (juce::Graphics& g) override;
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;
    void buttonClicked (juce::Button* button) override;
    bool keyPressed (const juce::KeyPress& key) override;

    juce::String getMessage() const { return messageLabel.getText(); }
    int getIconCode() const noexcept { return iconCode; }
    juce::Button& getOkButton() noexcept { return okButton; }
    juce::Button& getCancelButton() noexcept { return cancelButton; }

protected:
    FilmStrip background;
    FilmStrip icon;
    bool restoresParent = false;
    int iconCode = warningIcon;
    int okImageCode = 1;
    int cancelImageCode = 3;
    juce::Label messageLabel { "titleText_" };
    Molvek2StateKickButton okButton { "OK" };
    Molvek2StateKickButton cancelButton { "CANCEL" };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MolvekAlertComponent)
};
