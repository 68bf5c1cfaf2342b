#include "editor/MolvekImageButton.h"

#include "editor/MolvekArtwork.h"

namespace
{
class StateText : public juce::AccessibilityTextValueInterface
{
public:
    explicit StateText (MolvekImageButton& b)
        : button (b)
    {
    }

    bool isReadOnly() const override { return true; }
    juce::String getCurrentValueAsString() const override { return button.getStateText(); }
    void setValueAsString (const juce::String&) override {}

private:
    MolvekImageButton& button;
};

class ImageButtonAccessibility : public juce::AccessibilityHandler
{
public:
    explicit ImageButtonAccessibility (MolvekImageButton& b)
        : juce::AccessibilityHandler (b, b.getClickingTogglesState() ? juce::AccessibilityRole::toggleButton : juce::AccessibilityRole::button, actionsFor (b), interfacesFor (b))
        , button (b)
    {
    }

    juce::AccessibleState getCurrentState() const override
    {
        auto state = juce::AccessibilityHandler::getCurrentState();

        if (button.getClickingTogglesState())
        {
            state = state.withCheckable();

            if (button.getToggleState())
                state = state.withChecked();
        }

        return state;
    }

    juce::String getHelp() const override { return button.getTooltip(); }

private:
    // A toggle is toggled by a click, so the window hears of it as of any click.
    static juce::AccessibilityActions actionsFor (MolvekImageButton& b)
    {
        auto actions = juce::AccessibilityActions().addAction (juce::AccessibilityActionType::press, [&b]
                                                               { b.triggerClick(); });

        if (b.getClickingTogglesState())
            actions.addAction (juce::AccessibilityActionType::toggle, [&b]
                               { b.triggerClick(); });

        return actions;
    }

    static Interfaces interfacesFor (MolvekImageButton& b)
    {
        if (b.getClickingTogglesState())
            return { std::make_unique<StateText> (b) };

        return {};
    }

    MolvekImageButton& button;
};
} // namespace

MolvekImageButton::MolvekImageButton (const juce::String& controlName, int frames, bool clickingTogglesState)
    : juce::Button (controlName)
    , framesPerStrip (frames)
{
    setClickingTogglesState (clickingTogglesState);
}

MolvekImageButton::~MolvekImageButton() = default;

void MolvekImageButton::setImage (const juce::Image& image)
{
    setStrip (FilmStrip (image, framesPerStrip));
}

void MolvekImageButton::setImage (const MolvekArtwork& artwork)
{
    setStrip (artwork.getStrip (framesPerStrip));
}

void MolvekImageButton::setStateTexts (const juce::String& offText, const juce::String& onText)
{
    offStateText = offText;
    onStateText = onText;
}

std::unique_ptr<juce::AccessibilityHandler> MolvekImageButton::createAccessibilityHandler()
{
    return std::make_unique<ImageButtonAccessibility> (*this);
}

void MolvekImageButton::setStrip (FilmStrip newStrip)
{
    strip = std::move (newStrip);
    repaint();
}

void MolvekImageButton::drawFrame (juce::Graphics& g, int frame, float opacity) const
{
    strip.drawFrame (g, frame, getLocalBounds(), opacity);
}
