#include "editor/ValueBubble.h"

#include "processor/HostParameters.h"

#include <cmath>

namespace
{
const juce::Colour panel (0xff1a1918);
const juce::Colour cream (0xfff1e6d2);
const juce::Colour orange (0xffe5701e);

constexpr int padX = 9;
constexpr int padY = 4;
constexpr float corner = 4.0f;
} // namespace

ValueBubble::ValueBubble()
    : juce::Component ("valueBubble")
{
    setInterceptsMouseClicks (false, false);
    setAccessible (false);
    setAlwaysOnTop (true);
}

juce::Font ValueBubble::getFont()
{
    return juce::Font (13.0f, juce::Font::bold);
}

juce::String ValueBubble::formatDecibels (float gain)
{
    if (gain <= 0.0f)
        return "-inf dB";

    const auto db = 20.0f * std::log10 (gain);
    const auto text = HostParameters::formatFixed (std::abs (db), 1);

    // Never "-0.0 dB" or "+0.0 dB".
    if (text == "0.0")
        return "0.0 dB";

    return (db > 0.0f ? "+" : "-") + text + " dB";
}

juce::String ValueBubble::textFor (int parameterIndex, float value, const juce::String& hostText)
{
    switch (parameterIndex)
    {
        case HostParameters::inputVol:
            return hostText + "  " + formatDecibels (HostParameters::getInputGain (value));

        case HostParameters::level:
            // The level control's setting as a share of its full turn; each circuit has its own full level.
            return hostText + "  " + formatDecibels (value);

        default:
            return hostText;
    }
}

void ValueBubble::showFor (const juce::Component& newTarget, const juce::String& newText)
{
    stopTimer();
    text = newText;
    target = &newTarget;

    auto* parent = getParentComponent();

    if (parent == nullptr)
        return;

    const auto width = getFont().getStringWidth (text) + 2 * padX;
    const auto height = juce::roundToInt (getFont().getHeight()) + 2 * padY + arrowSize;
    const auto room = parent->getLocalBounds().reduced (margin);
    const auto knob = newTarget.getBounds();

    // Above the knob, where the hand dragging it does not cover it; below when the top is near.
    pointsDown = knob.getY() - height >= room.getY();
    const auto y = pointsDown ? knob.getY() - height : juce::jmin (knob.getBottom(), room.getBottom() - height);
    const auto x = juce::jlimit (room.getX(), juce::jmax (room.getX(), room.getRight() - width), knob.getCentreX() - width / 2);

    setBounds (x, y, juce::jmin (width, room.getWidth()), height);
    arrowX = juce::jlimit (corner + arrowSize, (float) getWidth() - corner - arrowSize, (float) (knob.getCentreX() - x));

    setVisible (true);
    toFront (false);
    repaint();
}

void ValueBubble::hideSoon()
{
    if (isVisible())
        startTimer (lingerMs);
}

void ValueBubble::hide()
{
    stopTimer();
    target = nullptr;
    setVisible (false);
}

void ValueBubble::timerCallback()
{
    hide();
}

void ValueBubble::paint (juce::Graphics& g)
{
    const auto a = (float) arrowSize;
    auto body = getLocalBounds().toFloat().reduced (0.5f);
    body = pointsDown ? body.withTrimmedBottom (a) : body.withTrimmedTop (a);

    juce::Path shape;
    shape.addRoundedRectangle (body, corner);
    g.setColour (panel.withAlpha (0.94f));
    g.fillPath (shape);
    g.setColour (orange);
    g.strokePath (shape, juce::PathStrokeType (1.0f));

    // The arrow, its base laid over the body's edge so that the edge opens into it.
    const auto edgeY = pointsDown ? body.getBottom() : body.getY();
    const auto inside = pointsDown ? -1.0f : 1.0f;
    const auto tipY = pointsDown ? body.getBottom() + a - 0.5f : body.getY() - a + 0.5f;
    juce::Path arrow;
    arrow.addTriangle (arrowX - a, edgeY + inside, arrowX + a, edgeY + inside, arrowX, tipY);
    g.setColour (panel);
    g.fillPath (arrow);
    g.setColour (orange);
    g.drawLine (arrowX - a, edgeY, arrowX, tipY, 1.0f);
    g.drawLine (arrowX + a, edgeY, arrowX, tipY, 1.0f);

    g.setColour (cream);
    g.setFont (getFont());
    g.drawText (text, body.toNearestInt().reduced (padX / 2, 0), juce::Justification::centred, false);
}
