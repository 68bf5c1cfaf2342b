// Pictures for judging the artwork by eye, from the images the library embeds:
//
//   vardeko-artsheet contact <file.png> <scale>   every frame of every image, labelled
//   vardeko-artsheet mockup <file.png> <scale>    the pedal with every control at its default
//   vardeko-artsheet playing <file.png> <scale>   the pedal in use: knobs turned, meter lit
//   vardeko-artsheet stats                         the embedded and decoded size of every image
//   vardeko-artsheet window <scale>                the pedal in a window at that display scale:
//       prints "window X Y" (its place on the screen in device pixels) once it is shown, then a
//       line for each change the controls report, and ends when FILE is clicked
//
// The scale is that of the display, 1 or more (1.5 for 150 %). The mock-ups place the real
// controls by the pedal's layout and draw them as a window at that scale would, so above 1 they
// show the 2x strips. A preset name stands in the name field as the preset bar will show it.

#include "editor/FilmStrip.h"
#include "editor/Molvek2StateButton.h"
#include "editor/Molvek2StateKickButton.h"
#include "editor/Molvek4StateButton3PDT.h"
#include "editor/MolvekArtwork.h"
#include "editor/MolvekImage.h"
#include "editor/MolvekKnob.h"
#include "editor/MolvekVardekoKnob.h"
#include "editor/PedalLayout.h"
#include "resources/ArtworkCatalogue.h"
#include "resources/EmbeddedResources.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <iostream>
#include <memory>
#include <vector>

namespace
{
// The pedal as the editor will build it: the background and the controls over it.
class MockPedal : public juce::Component
{
public:
    explicit MockPedal (bool playing)
        : background (MolvekArtwork ("background").getStrip (1))
    {
        setSize (PedalLayout::width, PedalLayout::height);

        auto& file = addButton<Molvek2StateKickButton> ("file_button", PedalLayout::fileButton);
        addButton<Molvek2StateKickButton> ("arrow_left", PedalLayout::presetDecButton);
        addButton<Molvek2StateKickButton> ("arrow_right", PedalLayout::presetIncButton);

        auto& name = add (std::make_unique<juce::Label> ("presetMenu_", playing ? "Crunch/Warm Lead *" : "Init"), PedalLayout::presetMenu);
        name.setColour (juce::Label::textColourId, juce::Colours::black);
        name.setJustificationType (juce::Justification::centred);

        auto& meter = add (std::make_unique<MolvekImage> ("inputMeter_"), PedalLayout::inputMeter);
        meter.setImage (MolvekArtwork ("meter"), 11);
        auto& peak = add (std::make_unique<MolvekImage> ("inputPeak_"), PedalLayout::inputPeak);
        peak.setImage (MolvekArtwork ("clip_light"), 2);

        auto& ab = addButton<Molvek2StateButton> ("ab_switch", PedalLayout::abButton);
        auto& copy = addButton<Molvek2StateKickButton> (playing ? "copy_b_to_a" : "copy_a_to_b", PedalLayout::abCopyButton);
        auto& bypass = addButton<Molvek4StateButton3PDT> ("foot_switch", PedalLayout::bypassButton);

        auto& input = addKnob ("knob_small", PedalLayout::inputVolKnob);
        auto& drive = addKnob ("knob_overdrive", PedalLayout::overdriveKnob);
        auto& tone = addKnob ("knob_tone", PedalLayout::toneKnob);
        auto& level = addKnob ("knob_level", PedalLayout::levelKnob);
        auto& dryWet = addKnob ("knob_small", PedalLayout::dryWetKnob);

        auto& selector = add (std::make_unique<MolvekVardekoKnob> ("overdriveTypeKnob_"), PedalLayout::overdriveTypeKnob);
        selector.setRange (0.0, 1.0, 0.25);
        selector.setImage (MolvekArtwork ("selector"));

        for (int i = 0; i < PedalLayout::numSelectorPositions; ++i)
            selector.setPositionLabel (PedalLayout::selectorCaptionTops[i], PedalLayout::selectorCaptionWidths[i], i);

        const char* lights[] = { "oversampling_1x", "oversampling_2x", "oversampling_4x", "oversampling_8x" };
        std::vector<Molvek2StateButton*> oversampling;

        for (int i = 0; i < 4; ++i)
            oversampling.push_back (&addButton<Molvek2StateButton> (lights[i], PedalLayout::oversamplingButtons[i]));

        // The parameters' defaults, or a pedal being played.
        const auto dont = juce::dontSendNotification;
        input.setValue (playing ? 0.62 : 0.5, dont);
        drive.setValue (playing ? 0.78 : 0.5, dont);
        tone.setValue (playing ? 0.35 : 0.5, dont);
        level.setValue (playing ? 0.6 : 0.5, dont);
        dryWet.setValue (playing ? 0.85 : 1.0, dont);
        selector.setValue (playing ? 0.75 : 0.0, dont);
        bypass.setToggleState (true, dont);
        oversampling[playing ? 2 : 0]->setToggleState (true, dont);
        ab.setToggleState (playing, dont);
        meter.setLevel (playing ? 0.85f : 0.0f);
        peak.setLevel (playing ? 1.0f : 0.0f);

        // What a user does to the controls, as the editor will hear it.
        file.onClick = [this]
        { report ("file"); };
        copy.onClick = [this, &copy]
        { report ("copy " + juce::String ((int) copy.getToggleState())); };
        ab.onClick = [this, &ab]
        { report ("ab " + juce::String ((int) ab.getToggleState())); };
        bypass.onClick = [this, &bypass]
        { report ("onBypass " + juce::String ((int) bypass.getToggleState())); };
        selector.onValueChange = [this, &selector]
        { report ("overdriveType " + juce::String (selector.getValue())); };
    }

    std::function<void (const juce::String&)> onReport;

    void paint (juce::Graphics& g) override
    {
        background.drawFrame (g, 0, getLocalBounds());
    }

private:
    void report (const juce::String& line)
    {
        if (onReport)
            onReport (line);
    }

    template <typename ComponentType>
    ComponentType& add (std::unique_ptr<ComponentType> component, PedalLayout::Box box)
    {
        auto& added = *component;
        addAndMakeVisible (added);
        added.setBounds (box.toRectangle());
        children.push_back (std::move (component));
        return added;
    }

    template <typename ButtonType>
    ButtonType& addButton (const char* artwork, PedalLayout::Box box)
    {
        auto& button = add (std::make_unique<ButtonType> (artwork), box);
        button.setImage (MolvekArtwork (artwork));
        return button;
    }

    MolvekKnob& addKnob (const char* artwork, PedalLayout::Box box)
    {
        auto& knob = add (std::make_unique<MolvekKnob> (artwork), box);
        knob.setImage (MolvekArtwork (artwork));
        return knob;
    }

    FilmStrip background;
    std::vector<std::unique_ptr<juce::Component>> children;
};

// Every frame of every image on a checkerboard that shows where the images are clear, each
// image under its name, its frames left to right and top to bottom, packed in shelves.
juce::Image contactSheet (float scale)
{
    constexpr int margin = 14;
    constexpr int gap = 4;
    constexpr int labelHeight = 18;
    constexpr int sheetWidth = 1700;

    struct Block
    {
        const ArtworkCatalogue::Entry* entry;
        juce::Rectangle<int> area;
        int columns;
    };

    std::vector<Block> blocks;
    int x = margin;
    int y = margin;
    int shelfHeight = 0;

    for (const auto& entry : ArtworkCatalogue::entries)
    {
        const auto frameHeight = entry.height / entry.numFrames;
        const auto columns = juce::jlimit (1, entry.numFrames, (sheetWidth - 2 * margin + gap) / (entry.width + gap));
        const auto rows = (entry.numFrames + columns - 1) / columns;
        const auto width = juce::jmax (160, columns * (entry.width + gap) - gap);
        const auto height = labelHeight + rows * (frameHeight + gap) - gap;

        if (x + width > sheetWidth - margin)
        {
            x = margin;
            y += shelfHeight + margin;
            shelfHeight = 0;
        }

        blocks.push_back ({ &entry, { x, y, width, height }, columns });
        x += width + 2 * margin;
        shelfHeight = juce::jmax (shelfHeight, height);
    }

    juce::Image sheet (juce::Image::RGB, juce::roundToInt ((float) sheetWidth * scale), juce::roundToInt ((float) (y + shelfHeight + margin) * scale), true);
    juce::Graphics g (sheet);
    g.addTransform (juce::AffineTransform::scale (scale));
    g.fillAll (juce::Colour (0xff303030));

    for (const auto& [entry, area, columns] : blocks)
    {
        const auto frameHeight = entry->height / entry->numFrames;
        const auto strip = MolvekArtwork (entry->name).getStrip (entry->numFrames);
        g.setColour (juce::Colours::white);
        g.setFont (13.0f);
        g.drawText (juce::String (entry->name) + "  " + juce::String (entry->width) + " x " + juce::String (entry->height) + ", " + juce::String (entry->numFrames),
                    area.withHeight (labelHeight - 4),
                    juce::Justification::centredLeft);

        for (int frame = 0; frame < entry->numFrames; ++frame)
        {
            const juce::Rectangle<int> cell (area.getX() + (frame % columns) * (entry->width + gap), area.getY() + labelHeight + (frame / columns) * (frameHeight + gap), entry->width, frameHeight);
            g.fillCheckerBoard (cell.toFloat(), 6.0f, 6.0f, juce::Colour (0xff9a9a9a), juce::Colour (0xff7a7a7a));
            strip.drawFrame (g, frame, cell);
        }
    }

    return sheet;
}

// What the library carries (PNG bytes) and what an editor holds once it has decoded every image
// (4 bytes a pixel), at 1x and, on a high-density display, at 2x as well. Images shared by
// several controls are decoded once.
void printStats()
{
    juce::int64 totals[4] = {};
    std::cout << juce::String ("image").paddedRight (' ', 20) << "  PNG 1x    PNG 2x    decoded 1x  decoded 2x\n";

    for (const auto& entry : ArtworkCatalogue::entries)
    {
        const juce::String name (entry.name);
        const juce::int64 sizes[4] = { (juce::int64) EmbeddedResources::artwork().get (name + ".png").size,
                                       (juce::int64) EmbeddedResources::artwork().get (name + "@2x.png").size,
                                       4 * (juce::int64) entry.width * entry.height,
                                       16 * (juce::int64) entry.width * entry.height };
        std::cout << name.paddedRight (' ', 20);

        for (int i = 0; i < 4; ++i)
        {
            totals[i] += sizes[i];
            std::cout << juce::String (sizes[i] / 1024).paddedLeft (' ', 8) << " K";
        }

        std::cout << "\n";
    }

    std::cout << juce::String ("total (MiB)").paddedRight (' ', 20);

    for (const auto total : totals)
        std::cout << juce::String ((double) total / 1048576.0, 2).paddedLeft (' ', 10);

    std::cout << "\n";
}

juce::Image mockup (float scale, bool playing)
{
    MockPedal pedal (playing);
    return pedal.createComponentSnapshot (pedal.getLocalBounds(), true, scale);
}
} // namespace

int main (int argc, char* argv[])
{
    const juce::StringArray args (argv + 1, argc - 1);
    const auto windowMode = args.size() == 2 && args[0] == "window" && args[1].getFloatValue() >= 1.0f;

    // JUCE installs its X error handlers for applications only; without them an X server with no
    // window manager (Xvfb) ends the program over the window properties it cannot set.
    if (windowMode)
        juce::JUCEApplicationBase::createInstance = []() -> juce::JUCEApplicationBase*
        { return nullptr; };

    const juce::ScopedJuceInitialiser_GUI juce;

    if (args.size() == 1 && args[0] == "stats")
    {
        printStats();
        return 0;
    }

    if (windowMode)
    {
        const auto scale = args[1].getFloatValue();
        juce::Desktop::getInstance().setGlobalScaleFactor (scale);
        MockPedal pedal (false);
        pedal.onReport = [] (const juce::String& line)
        {
            std::cout << line << std::endl;

            if (line == "file")
                juce::MessageManager::getInstance()->stopDispatchLoop();
        };
        pedal.addToDesktop (0);
        pedal.setTopLeftPosition (10, 10);
        pedal.setVisible (true);

        // Where the script finds the window, once it is on the screen; and an end, come what may.
        const auto announce = [&pedal, scale]
        {
            const auto origin = (pedal.getScreenPosition().toFloat() * scale).roundToInt();
            std::cout << "window " << origin.x << " " << origin.y << std::endl;
        };
        const auto giveUp = []
        {
            juce::MessageManager::getInstance()->stopDispatchLoop();
        };
        juce::Timer::callAfterDelay (500, announce);
        juce::Timer::callAfterDelay (60000, giveUp);
        juce::MessageManager::getInstance()->runDispatchLoop();
        return 0;
    }

    if (args.size() != 3 || ! juce::StringArray ({ "contact", "mockup", "playing" }).contains (args[0]) || args[2].getFloatValue() < 1.0f)
    {
        std::cerr << "usage: vardeko-artsheet contact|mockup|playing <file.png> <scale>, vardeko-artsheet window <scale> or vardeko-artsheet stats\n";
        return 2;
    }

    const auto scale = args[2].getFloatValue();
    const auto image = args[0] == "contact" ? contactSheet (scale) : mockup (scale, args[0] == "playing");
    const auto file = juce::File::getCurrentWorkingDirectory().getChildFile (args[1]);
    file.getParentDirectory().createDirectory();
    file.deleteFile();
    juce::FileOutputStream out (file);

    if (! out.openedOk() || ! juce::PNGImageFormat().writeImageToStream (image, out))
    {
        std::cerr << "vardeko-artsheet: cannot write " << file.getFullPathName() << "\n";
        return 1;
    }

    std::cout << file.getFullPathName() << "\n";
    return 0;
}
