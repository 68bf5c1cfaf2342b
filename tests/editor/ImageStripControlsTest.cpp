#include "JuceGuiTest.h"

#include "editor/Molvek2StateButton.h"
#include "editor/Molvek2StateKickButton.h"
#include "editor/Molvek4StateButton3PDT.h"
#include "editor/MolvekImage.h"
#include "editor/MolvekKnob.h"
#include "editor/MolvekVardekoKnob.h"
#include "editor/PedalLayout.h"

#include <cmath>
#include <limits>
#include <vector>

namespace
{
// A strip whose frame k is filled with a colour whose red channel is k, so a pixel of a
// drawing tells which frame was drawn.
juce::Image numberedStrip (int width, int frameHeight, int frames)
{
    juce::Image image (juce::Image::ARGB, width, frameHeight * frames, true);
    juce::Graphics g (image);

    for (int k = 0; k < frames; ++k)
    {
        g.setColour (juce::Colour (static_cast<juce::uint8> (k), 200, 60));
        g.fillRect (0, k * frameHeight, width, frameHeight);
    }

    return image;
}

juce::Colour drawnPixel (juce::Component& component, juce::Point<int> probe)
{
    return component.createComponentSnapshot (component.getLocalBounds()).getPixelAt (probe.x, probe.y);
}

int drawnFrame (juce::Component& component, juce::Point<int> probe)
{
    const auto pixel = drawnPixel (component, probe);
    return pixel.getAlpha() == 0 ? -1 : pixel.getRed();
}

std::unique_ptr<MolvekKnob> knobAt (double value)
{
    auto knob = std::make_unique<MolvekKnob> ("knob");
    knob->setImage (numberedStrip (41, 42, 101));
    knob->setBounds (0, 0, 41, 42);
    knob->setValue (value, juce::dontSendNotification);
    return knob;
}

std::unique_ptr<MolvekVardekoKnob> selectorAt (double value)
{
    auto selector = std::make_unique<MolvekVardekoKnob> ("selector");
    selector->setRange (0.0, 1.0, 0.0);
    selector->setImage (numberedStrip (113, 125, 5));
    selector->setBounds (0, 0, 180, 136);
    selector->setValue (value, juce::dontSendNotification);
    return selector;
}

std::unique_ptr<MolvekImage> meterAt (float level)
{
    auto meter = std::make_unique<MolvekImage> ("meter");
    meter->setImage (numberedStrip (70, 16, 11), 11);
    meter->setBounds (0, 0, 77, 16);
    meter->setLevel (level);
    return meter;
}

template <typename ButtonType>
std::unique_ptr<ButtonType> buttonIn (int frames, bool on, bool held)
{
    auto button = std::make_unique<ButtonType> ("button");
    button->setImage (numberedStrip (90, 99, frames));
    button->setBounds (0, 0, 90, 99);
    button->setToggleState (on, juce::dontSendNotification);
    button->setState (held ? juce::Button::buttonDown : juce::Button::buttonNormal);
    return button;
}

class ImageStripControlsTest : public JuceGuiTest
{
};
} // namespace

namespace
{
enum class Kind
{
    knob,
    selector,
    meter,
    twoState,
    kick,
    footSwitch
};

struct ControlAndProbe
{
    std::unique_ptr<juce::Component> control;
    juce::Point<int> probe;
};

// A control of that kind with numbered frames, in the given state, and a pixel to look at.
ControlAndProbe controlIn (Kind kind, double value, bool on, bool held)
{
    switch (kind)
    {
        case Kind::knob:
            return { knobAt (value), { 20, 20 } };
        case Kind::selector:
            return { selectorAt (value), { 50, 70 } };
        case Kind::meter:
            return { meterAt ((float) value), { 40, 8 } };
        case Kind::twoState:
            return { buttonIn<Molvek2StateButton> (2, on, held), { 45, 50 } };
        case Kind::kick:
            return { buttonIn<Molvek2StateKickButton> (2, on, held), { 45, 50 } };
        case Kind::footSwitch:
            return { buttonIn<Molvek4StateButton3PDT> (4, on, held), { 45, 50 } };
    }

    return {};
}
} // namespace

TEST_F (ImageStripControlsTest, EachControlDrawsTheFrameItsStateChooses)
{
    struct Case
    {
        const char* what;
        Kind kind;
        double value;
        bool on;
        bool held;
        int frame;
    };

    const Case cases[] = {
        { "knob at 0", Kind::knob, 0.0, false, false, 0 },
        { "knob just above 0 rounds up", Kind::knob, 0.001, false, false, 1 },
        { "knob at 0.5", Kind::knob, 0.5, false, false, 50 },
        { "knob at 1", Kind::knob, 1.0, false, false, 100 },
        { "selector at 0", Kind::selector, 0.0, false, false, 0 },
        { "selector just below a position rounds down", Kind::selector, 0.74, false, false, 2 },
        { "selector at a position", Kind::selector, 0.75, false, false, 3 },
        { "selector at 1", Kind::selector, 1.0, false, false, 4 },
        { "meter at 0", Kind::meter, 0.0, false, false, 0 },
        { "meter at 0.95 rounds up", Kind::meter, 0.95, false, false, 10 },
        { "meter at 0.05", Kind::meter, 0.05, false, false, 1 },
        { "2-state off", Kind::twoState, 0.0, false, false, 0 },
        { "2-state on", Kind::twoState, 0.0, true, false, 1 },
        { "kick released", Kind::kick, 0.0, false, false, 0 },
        { "kick held", Kind::kick, 0.0, false, true, 1 },
        { "kick ignores its toggle", Kind::kick, 0.0, true, false, 0 },
        { "3PDT off, released", Kind::footSwitch, 0.0, false, false, 0 },
        { "3PDT off, held", Kind::footSwitch, 0.0, false, true, 1 },
        { "3PDT on, released", Kind::footSwitch, 0.0, true, false, 2 },
        { "3PDT on, held", Kind::footSwitch, 0.0, true, true, 3 },
    };

    for (const auto& c : cases)
    {
        const auto [control, probe] = controlIn (c.kind, c.value, c.on, c.held);
        EXPECT_EQ (drawnFrame (*control, probe), c.frame) << c.what;
    }

    // The selector's frame lies at its knob area, partly left of its edge: not at its corner.
    auto selector = selectorAt (0.0);
    EXPECT_EQ (drawnFrame (*selector, { 2, 5 }), -1);
}

TEST_F (ImageStripControlsTest, ControlsWithoutAnImageDrawNothing)
{
    MolvekKnob knob ("knob");
    Molvek2StateButton button ("button");
    MolvekImage image ("image");

    for (juce::Component* c : std::initializer_list<juce::Component*> { &knob, &button, &image })
    {
        c->setBounds (0, 0, 40, 40);
        EXPECT_EQ (drawnPixel (*c, { 20, 20 }).getAlpha(), 0) << c->getName();
    }

    // Nor with an image too short for its frames.
    image.setImage (juce::Image (juce::Image::ARGB, 10, 5, true), 11);
    EXPECT_EQ (drawnPixel (image, { 5, 2 }).getAlpha(), 0);
}

TEST_F (ImageStripControlsTest, FootSwitchIsDimmedWhileItOrItsParentIsDisabled)
{
    auto footSwitch = buttonIn<Molvek4StateButton3PDT> (4, true, false);
    juce::Component parent;
    parent.addAndMakeVisible (*footSwitch);

    EXPECT_EQ (drawnPixel (*footSwitch, { 45, 50 }).getAlpha(), 255);

    footSwitch->setEnabled (false);
    EXPECT_NEAR (drawnPixel (*footSwitch, { 45, 50 }).getAlpha(), 102, 2);

    footSwitch->setEnabled (true);
    parent.setEnabled (false);
    EXPECT_NEAR (drawnPixel (*footSwitch, { 45, 50 }).getAlpha(), 102, 2);

    // The other buttons are dimmed by their owners, not by themselves.
    auto plain = buttonIn<Molvek2StateButton> (2, true, false);
    plain->setEnabled (false);
    EXPECT_EQ (drawnPixel (*plain, { 45, 50 }).getAlpha(), 255);
}

namespace
{
// The selector as the editor sets it up: range 0 to 1 in quarter steps, captions BLUES to PRO.
class SelectorTest : public JuceGuiTest, private juce::Slider::Listener
{
protected:
    SelectorTest()
    {
        selector.setRange (0.0, 1.0, 0.25);
        selector.setImage (numberedStrip (113, 125, 5));
        selector.setBounds (0, 0, 180, 136);

        for (int i = 0; i < PedalLayout::numSelectorPositions; ++i)
            selector.setPositionLabel (PedalLayout::selectorCaptionTops[i], PedalLayout::selectorCaptionWidths[i], i);

        selector.setValue (0.5, juce::dontSendNotification);
        selector.addListener (this);
    }

    ~SelectorTest() override { selector.removeListener (this); }

    void press (juce::Point<float> at)
    {
        selector.mouseDown (mouseAt (selector, at, at));
    }

    void pressDragAndRelease (juce::Point<float> at, float dy)
    {
        press (at);
        const auto to = at.translated (0.0f, dy);
        selector.mouseDrag (mouseAt (selector, to, at, true));
        selector.mouseUp (mouseAt (selector, to, at, true));
    }

    MolvekVardekoKnob selector { "overdriveTypeKnob_" };
    int dragsStarted = 0;

private:
    void sliderValueChanged (juce::Slider*) override {}
    void sliderDragStarted (juce::Slider*) override { ++dragsStarted; }
};
} // namespace

TEST_F (SelectorTest, PressOnACaptionSelectsItsPositionWithoutADrag)
{
    for (int i = 0; i < PedalLayout::numSelectorPositions; ++i)
    {
        const auto top = (float) PedalLayout::selectorCaptionTops[i];
        const auto right = (float) (PedalLayout::selectorCaptionX + PedalLayout::selectorCaptionWidths[i]);

        // The middle of the caption, and its far corner: the edges belong to the area.
        for (const auto at : { juce::Point<float> (120.0f, top + 5.0f), juce::Point<float> (right, top + 11.0f) })
        {
            selector.setValue (i == 2 ? 0.0 : 0.5, juce::dontSendNotification);
            press (at);
            EXPECT_DOUBLE_EQ (selector.getValue(), 0.25 * i) << "position " << i;
        }
    }

    EXPECT_EQ (dragsStarted, 0);
}

TEST_F (SelectorTest, PressBetweenCaptionsOutsideTheKnobDoesNothing)
{
    // Between BLUES (0 to 11) and BOUTIQUE (17 to 28), and just right of PRO.
    for (const auto at : { juce::Point<float> (120.0f, 14.0f), juce::Point<float> (114.0f + 27.0f, 75.0f), juce::Point<float> (170.0f, 120.0f) })
    {
        pressDragAndRelease (at, -60.0f);
        EXPECT_DOUBLE_EQ (selector.getValue(), 0.5);
    }

    EXPECT_EQ (dragsStarted, 0);
}

TEST_F (SelectorTest, PressOnTheKnobStartsADrag)
{
    pressDragAndRelease ({ 50.0f, 70.0f }, -70.0f);

    EXPECT_EQ (dragsStarted, 1);
    EXPECT_DOUBLE_EQ (selector.getValue(), 0.75);
}

TEST_F (SelectorTest, DragAfterPressingACaptionDoesNotMoveTheKnob)
{
    // Not even after a drag of the knob, whose press the slider still remembers.
    pressDragAndRelease ({ 50.0f, 70.0f }, -70.0f);
    pressDragAndRelease ({ 120.0f, 5.0f }, 60.0f);

    EXPECT_DOUBLE_EQ (selector.getValue(), 0.0);
    EXPECT_EQ (dragsStarted, 1);
}

TEST_F (SelectorTest, PositionLabelsBeyondTheFrameCountAreIgnored)
{
    // Index 6 is beyond the five frames; index 5 adds an area that is never tested.
    selector.setPositionLabel (100, 40, 6);
    selector.setPositionLabel (100, 40, 5);
    press ({ 120.0f, 105.0f });
    EXPECT_DOUBLE_EQ (selector.getValue(), 0.5);

    // An index within the list moves that position's area.
    selector.setPositionLabel (100, 40, 3);
    press ({ 120.0f, 105.0f });
    EXPECT_DOUBLE_EQ (selector.getValue(), 0.75);

    // Without an image there are no frames: labels other than the first are ignored.
    MolvekVardekoKnob bare ("bare");
    bare.setBounds (0, 0, 180, 136);
    bare.setPositionLabel (0, 40, 1);
    bare.setImage (numberedStrip (113, 125, 5));
    bare.setValue (0.5, juce::dontSendNotification);
    bare.mouseDown (mouseAt (bare, { 120.0f, 5.0f }, { 120.0f, 5.0f }));
    EXPECT_DOUBLE_EQ (bare.getValue(), 0.5);
}

namespace
{
// Counts the repaints of a component through its cached image, which each repaint invalidates.
struct RepaintCounter : juce::CachedComponentImage
{
    explicit RepaintCounter (int& count)
        : repaints (count)
    {
    }

    void paint (juce::Graphics&) override {}
    bool invalidateAll() override { return ++repaints, false; }
    bool invalidate (const juce::Rectangle<int>&) override { return ++repaints, false; }
    void releaseResources() override {}

    int& repaints;
};
} // namespace

TEST_F (ImageStripControlsTest, ImageRepaintsOnlyWhenItsFrameChanges)
{
    MolvekImage meter ("meter");
    meter.setImage (numberedStrip (70, 16, 11), 11);
    meter.setBounds (0, 0, 77, 16);
    meter.setVisible (true);
    int repaints = 0;
    meter.setCachedComponentImage (new RepaintCounter (repaints));

    struct Step
    {
        float level;
        int frame;
        bool repainted;
    };

    const Step steps[] = {
        { 0.0f, 0, false },
        { 0.05f, 1, true },
        { 0.08f, 1, false },
        { 0.95f, 10, true },
        { 1.0f, 10, false },
        { 7.0f, 10, false },
        { 0.3f, 3, true },
        { std::numeric_limits<float>::quiet_NaN(), 0, true },
        { -1.0f, 0, false },
    };

    for (const auto& step : steps)
    {
        const auto before = repaints;
        meter.setLevel (step.level);
        EXPECT_EQ (meter.getCurrentFrame(), step.frame) << step.level;
        EXPECT_EQ (repaints - before, step.repainted ? 1 : 0) << step.level;
    }
}

TEST_F (ImageStripControlsTest, ShiftMakesAKnobsDragAndWheelTenTimesFiner)
{
    struct Move
    {
        float pixelsUp;
        bool shift;
    };

    struct Case
    {
        const char* what;
        std::vector<Move> moves;
        double expected;
    };

    // 250 pixels cover the range; 2500 with Shift.
    const Case cases[] = {
        { "plain", { { 25.0f, false } }, 0.6 },
        { "with Shift", { { 25.0f, true } }, 0.51 },
        { "Shift pressed mid-drag: no jump", { { 25.0f, false }, { 25.0f, true } }, 0.61 },
        { "Shift let go mid-drag: no jump", { { 25.0f, true }, { 25.0f, false } }, 0.61 },
        { "down with Shift", { { -50.0f, true } }, 0.48 },
        { "past the top, back by less than the overshoot", { { 200.0f, false }, { -50.0f, false } }, 1.0 },
        { "past the top and back", { { 200.0f, false }, { -100.0f, false } }, 0.9 },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.what);
        MolvekKnob knob ("toneKnob_");
        knob.setBounds (0, 0, 96, 95);
        knob.setValue (0.5, juce::dontSendNotification);

        const juce::Point<float> start (48.0f, 47.0f);
        auto at = start;
        knob.mouseDown (mouseAt (knob, at, start));

        for (const auto& move : c.moves)
        {
            // In two halves, as the pointer moves.
            for (int half = 0; half < 2; ++half)
            {
                at = at.translated (0.0f, -move.pixelsUp * 0.5f);
                knob.mouseDrag (mouseAt (knob, at, start, true, move.shift));
            }
        }

        knob.mouseUp (mouseAt (knob, at, start, true));
        EXPECT_NEAR (knob.getValue(), c.expected, 1.0e-6);
    }

    // One wheel step: 0.15 of the range per unit (a step is 50/256 of a unit); a tenth with Shift.
    const auto step = 0.15 * 50.0 / 256.0;
    MolvekKnob knob ("toneKnob_");
    knob.setBounds (0, 0, 96, 95);
    auto when = juce::Time::getCurrentTime();

    for (const auto shift : { false, true })
    {
        for (const auto steps : { 1.0f, -1.0f })
        {
            knob.setValue (0.5, juce::dontSendNotification);
            when += juce::RelativeTime::milliseconds (10);
            knob.mouseWheelMove (wheelAt (knob, shift, when), wheelSteps (steps));
            EXPECT_NEAR (knob.getValue(), 0.5 + steps * step / (shift ? 10.0 : 1.0), 1.0e-6) << "shift " << shift;
        }
    }

    // The circuit selector moves whole positions on the wheel, Shift or not.
    MolvekVardekoKnob selector ("overdriveTypeKnob_");
    selector.setRange (0.0, 1.0, 0.25);
    selector.setBounds (0, 0, 180, 136);
    selector.setValue (0.5, juce::dontSendNotification);
    when += juce::RelativeTime::milliseconds (10);
    selector.mouseWheelMove (wheelAt (selector, true, when), wheelSteps (1.0f));
    EXPECT_DOUBLE_EQ (selector.getValue(), 0.75);
}
