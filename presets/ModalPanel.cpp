#include "presets/ModalPanel.h"

namespace ModalPanel
{
void open (juce::Component& panel, bool restoresParent)
{
    auto* parent = panel.getParentComponent();

    if (restoresParent && parent != nullptr && parent->isCurrentlyModal (false))
        parent->exitModalState (0);

    if (! panel.isCurrentlyModal (false))
        panel.enterModalState (true);

    panel.setVisible (true);
}

void close (juce::Component& panel, bool restoresParent)
{
    panel.exitModalState (1);
    panel.setVisible (false);

    auto* parent = panel.getParentComponent();

    if (restoresParent && parent != nullptr && parent->isVisible() && ! parent->isCurrentlyModal (false))
        parent->enterModalState (true);
}

std::unique_ptr<juce::AccessibilityHandler> createAccessibilityHandler (juce::Component& panel)
{
    return std::make_unique<juce::AccessibilityHandler> (panel, juce::AccessibilityRole::dialogWindow);
}
} // namespace ModalPanel
