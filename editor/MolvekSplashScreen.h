#pragma once

#include "editor/FilmStrip.h"

#include <juce_gui_basics/juce_gui_basics.h>

// The about screen: a picture over the whole window with the version beside its "Version:"
// caption. Modal while shown; a click anywhere on the picture, or Escape, closes it.
class MolvekSplashScreen : public juce::Component
{
public:
    explicit MolvekSplashScreen (const juce::String& name);
    ~MolvekSplashScreen() override;

    virtual void show();
    virtual void hide();

    void setVersionText (const juce::String& text);
    juce::String getVersionText() const { return versionLabel.getText(); }

    void mouseDown (const juce::MouseEvent& e) override;
    bool keyPressed (const juce::KeyPress& key) override;
    void paint (juce::Graphics& g) override;
    std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler() override;

    // Where the version is printed, in the screen's pixels.
    static constexpr int versionX = 150, versionY = 133, versionWidth = 100, versionHeight = 16;

private:
    FilmStrip image;
    juce::Label versionLabel { "versionLabel_" };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MolvekSplashScreen)
};
