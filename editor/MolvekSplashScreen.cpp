#include "editor/MolvekSplashScreen.h"

#include "editor/MolvekArtwork.h"
#include "editor/PedalLayout.h"
#include "presets/ModalPanel.h"

MolvekSplashScreen::MolvekSplashScreen (const juce::String& name)
    : juce::Component (name)
    , image (MolvekArtwork ("about").getStrip (1))
{
    // The picture's size is the window's, whether or not it decodes.
    setSize (PedalLayout::width, PedalLayout::height);
    setWantsKeyboardFocus (true);

    versionLabel.setBounds (versionX, versionY, versionWidth, versionHeight);
    versionLabel.setJustificationType (juce::Justification::centredLeft);
    versionLabel.setColour (juce::Label::textColourId, juce::Colour (0xffd3d3d3));
    addAndMakeVisible (versionLabel);
    setVisible (false);
}

MolvekSplashScreen::~MolvekSplashScreen() = default;

void MolvekSplashScreen::show()
{
    ModalPanel::open (*this, false);
}

void MolvekSplashScreen::hide()
{
    ModalPanel::close (*this, false);
}

void MolvekSplashScreen::setVersionText (const juce::String& text)
{
    versionLabel.setText (text, juce::dontSendNotification);
}

void MolvekSplashScreen::mouseDown (const juce::MouseEvent&)
{
    hide();
}

bool MolvekSplashScreen::keyPressed (const juce::KeyPress& key)
{
    if (key != juce::KeyPress::escapeKey && key != juce::KeyPress::returnKey)
        return false;

    hide();
    return true;
}

void MolvekSplashScreen::paint (juce::Graphics& g)
{
    image.drawFrame (g, 0, getLocalBounds());
}

std::unique_ptr<juce::AccessibilityHandler> MolvekSplashScreen::createAccessibilityHandler()
{
    // Over the window like the file panels, and read as they are: a dialog.
    return std::make_unique<juce::AccessibilityHandler> (*this, juce::AccessibilityRole::dialogWindow);
}
