// Pictures for judging the artwork by eye, from the images the library embeds:
//
//   vardeko-artsheet contact <file.png> <scale>   every frame of every image, labelled
//   vardeko-artsheet mockup <file.png> <scale>    the pedal with every control at its default
//   vardeko-artsheet playing <file.png> <scale>   the pedal in use: knobs turned, meter lit
//
// The mock-ups place the real controls by the pedal's layout and draw them as a window at that
// display scale would, so a 2x mock-up shows the 2x strips.

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

#include <juce_gui_basics/juce_gui_basics.h>

#include <iostream>
#include <memory>
#include <vector>

namespace
{
juce::Rectangle<int> boundsOf (PedalLayout::Box box)
{
    return { box.x, box.y, box.width, box.height };
}

// The pedal as the editor will build it: the background and the controls over it.
class MockPedal : public juce::Component
{
public:
    explicit MockPedal (bool playing)
        : background (MolvekArtwork ("background").getStrip (1))
    {
        setSize (PedalLayout::width, PedalLayout::height);

        addButton<Molvek2StateKickButton> ("file_button", PedalLayout::fileButton);
        addButton<Molvek2StateKickButton> ("arrow_left", PedalLayout::presetDecButton);
        addButton<Molvek2StateKickButton> ("arrow_right", PedalLayout::presetIncButton);

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
        juce::ignoreUnused (copy);
    }

    void paint (juce::Graphics& g) override
    {
        background.drawFrame (g, 0, getLocalBounds());
    }

private:
    template <typename ComponentType>
    ComponentType& add (std::unique_ptr<ComponentType> component, PedalLayout::Box box)
    {
        auto& added = *component;
        addAndMakeVisible (added);
        added.setBounds (boundsOf (box));
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
juce::Image contactSheet (int scale)
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

    juce::Image sheet (juce::Image::RGB, sheetWidth * scale, (y + shelfHeight + margin) * scale, true);
    juce::Graphics g (sheet);
    g.addTransform (juce::AffineTransform::scale ((float) scale));
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

juce::Image mockup (int scale, bool playing)
{
    MockPedal pedal (playing);
    return pedal.createComponentSnapshot (pedal.getLocalBounds(), true, (float) scale);
}
} // namespace

int main (int argc, char* argv[])
{
    const juce::ScopedJuceInitialiser_GUI juce;
    const juce::StringArray args (argv + 1, argc - 1);

    if (args.size() != 3 || ! juce::StringArray ({ "contact", "mockup", "playing" }).contains (args[0]) || args[2].getIntValue() < 1)
    {
        std::cerr << "usage: vardeko-artsheet contact|mockup|playing <file.png> <scale>\n";
        return 2;
    }

    const auto scale = args[2].getIntValue();
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
