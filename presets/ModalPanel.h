#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// How the file panels hand the modal state over. A panel that opens over another modal panel
// (its parent) takes the modal state from it when it restores its parent, and gives it back,
// with the keyboard focus, when it closes.
namespace ModalPanel
{
void open (juce::Component& panel, bool restoresParent);
void close (juce::Component& panel, bool restoresParent);

// A panel is a dialog to screen readers, titled with the panel's title.
std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler (juce::Component& panel);
} // namespace ModalPanel
