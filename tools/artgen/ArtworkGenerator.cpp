// Draws the pedal's artwork: every image of ArtworkCatalogue, each at 1x and at 2x, as PNG files
// for the library to embed. Runs at build time, headless, with JUCE's software renderer.
//
//   vardeko-artgen <output folder> <caption font> <text font> <heading font> <logo font> <script font>

#include "ArtCanvas.h"
#include "ArtFonts.h"
#include "KnobArt.h"
#include "LightArt.h"
#include "PanelArt.h"
#include "PedalFaceArt.h"
#include "SwitchArt.h"

#include "resources/ArtworkCatalogue.h"

#include <juce_graphics/juce_graphics.h>

#include <iostream>

namespace
{
// Draws one frame of the named image; false when nothing draws that name.
bool paintFrame (const juce::String& name, const ArtCanvas& c, int frame)
{
    using Icon = PanelArt::Icon;

    if (name == "background")
        PedalFaceArt::paintBackground (c);
    else if (name == "file_button")
        SwitchArt::paintFileButton (c, frame);
    else if (name == "arrow_left" || name == "arrow_right")
        SwitchArt::paintArrowButton (c, frame, name == "arrow_right");
    else if (name == "meter")
        LightArt::paintMeter (c, frame);
    else if (name == "clip_light")
        LightArt::paintClipLight (c, frame);
    else if (name == "ab_switch")
        SwitchArt::paintAbSwitch (c, frame);
    else if (name == "copy_a_to_b" || name == "copy_b_to_a")
        SwitchArt::paintCopyButton (c, frame, name == "copy_a_to_b");
    else if (name.startsWith ("oversampling_"))
        LightArt::paintOversamplingLight (c, frame);
    else if (name == "knob_small")
        KnobArt::paintSmallKnob (c, frame);
    else if (name == "knob_overdrive" || name == "knob_tone" || name == "knob_level")
        KnobArt::paintLargeKnob (c, frame, name.fromFirstOccurrenceOf ("_", false, false).toUpperCase());
    else if (name == "selector")
        KnobArt::paintSelector (c, frame);
    else if (name == "foot_switch")
        SwitchArt::paintFootSwitch (c, frame);
    else if (name == "about")
        PanelArt::paintAbout (c);
    else if (name == "panel")
        PanelArt::paintPanel (c);
    else if (name == "browser")
        PanelArt::paintBrowser (c);
    else if (name == "title_save")
        PanelArt::paintSaveTitle (c);
    else if (name == "icon_warning")
        PanelArt::paintIcon (c, Icon::warning);
    else if (name == "icon_success")
        PanelArt::paintIcon (c, Icon::success);
    else if (name == "icon_error")
        PanelArt::paintIcon (c, Icon::error);
    else if (name.startsWith ("button_"))
        SwitchArt::paintTextButton (c, frame, name.fromFirstOccurrenceOf ("_", false, false).replaceCharacter ('_', ' ').toUpperCase());
    else
        return false;

    return true;
}

// Each frame is drawn in its own clip, in layout units, at `scale` device pixels per unit. An
// invalid image when nothing draws the entry.
juce::Image render (const ArtworkCatalogue::Entry& entry, int scale)
{
    const auto frameHeight = entry.height / entry.numFrames;
    juce::Image image (juce::Image::ARGB, entry.width * scale, entry.height * scale, true);

    for (int frame = 0; frame < entry.numFrames; ++frame)
    {
        juce::Graphics g (image);
        g.reduceClipRegion (0, frame * frameHeight * scale, entry.width * scale, frameHeight * scale);
        g.setOrigin ({ 0, frame * frameHeight * scale });
        g.addTransform (juce::AffineTransform::scale ((float) scale));

        if (! paintFrame (entry.name, ArtCanvas (g, (float) scale, { 0.0f, 0.0f, (float) entry.width, (float) frameHeight }), frame))
            return {};
    }

    return image;
}

bool writePng (const juce::Image& image, const juce::File& file)
{
    juce::MemoryOutputStream data;

    if (! juce::PNGImageFormat().writeImageToStream (image, data))
        return false;

    // Rewritten only when changed, so that an unchanged picture does not relink the library.
    if (file.existsAsFile() && file.getSize() == (juce::int64) data.getDataSize())
    {
        juce::MemoryBlock existing;

        if (file.loadFileAsData (existing) && existing == data.getMemoryBlock())
            return true;
    }

    return file.replaceWithData (data.getData(), data.getDataSize());
}
} // namespace

int main (int argc, char* argv[])
{
    if (argc != 7)
    {
        std::cerr << "usage: vardeko-artgen <output folder> <caption font> <text font> <heading font> <logo font> <script font>\n";
        return 2;
    }

    const juce::File folder (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    const std::pair<ArtFonts::Face, const char*> fonts[] = { { ArtFonts::Face::caption, argv[2] }, { ArtFonts::Face::text, argv[3] }, { ArtFonts::Face::heading, argv[4] }, { ArtFonts::Face::logo, argv[5] }, { ArtFonts::Face::script, argv[6] } };

    for (const auto& [face, path] : fonts)
    {
        if (! ArtFonts::load (face, juce::File::getCurrentWorkingDirectory().getChildFile (path)))
        {
            std::cerr << "vardeko-artgen: cannot load the font " << path << "\n";
            return 1;
        }
    }

    if (! folder.createDirectory())
    {
        std::cerr << "vardeko-artgen: cannot create " << folder.getFullPathName() << "\n";
        return 1;
    }

    const auto started = juce::Time::getMillisecondCounterHiRes();
    juce::int64 totalBytes = 0;

    for (const auto& entry : ArtworkCatalogue::entries)
    {
        for (const int scale : { 1, 2 })
        {
            const auto file = folder.getChildFile (juce::String (entry.name) + (scale == 1 ? ".png" : "@2x.png"));

            const auto image = render (entry, scale);

            if (! image.isValid())
            {
                std::cerr << "vardeko-artgen: nothing draws \"" << entry.name << "\"\n";
                return 1;
            }

            if (! writePng (image, file))
            {
                std::cerr << "vardeko-artgen: cannot write " << file.getFullPathName() << "\n";
                return 1;
            }

            totalBytes += file.getSize();
        }
    }

    std::cout << "vardeko-artgen: " << 2 * ArtworkCatalogue::numEntries << " images, " << totalBytes / 1024 << " KiB, in "
              << juce::roundToInt (juce::Time::getMillisecondCounterHiRes() - started) << " ms\n";
    return 0;
}
