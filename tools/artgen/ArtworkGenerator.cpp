// Draws the pedal's artwork: every image of ArtworkCatalogue, each at 1x and at 2x, as PNG files
// for the library to embed. Runs at build time, headless, with JUCE's software renderer.
//
//   vardeko-artgen <output folder> <caption font> <heading font> <logo font> <script font>

#include "ArtCanvas.h"
#include "ArtFonts.h"
#include "KnobArt.h"
#include "LightArt.h"
#include "PanelArt.h"
#include "PedalFaceArt.h"
#include "SwitchArt.h"

#include "resources/ArtworkCatalogue.h"

#include <juce_graphics/juce_graphics.h>

#include <functional>
#include <iostream>
#include <map>
#include <string>

namespace
{
using Painter = std::function<void (const ArtCanvas&, int frame)>;

std::map<std::string, Painter> makePainters()
{
    using Icon = PanelArt::Icon;
    auto whole = [] (void (*paint) (const ArtCanvas&)) { return [paint] (const ArtCanvas& c, int) { paint (c); }; };
    auto light = [] (const ArtCanvas& c, int frame) { LightArt::paintOversamplingLight (c, frame); };
    auto largeKnob = [] (const char* caption) { return [caption] (const ArtCanvas& c, int frame) { KnobArt::paintLargeKnob (c, frame, caption); }; };
    auto textButton = [] (const char* caption) { return [caption] (const ArtCanvas& c, int frame) { SwitchArt::paintTextButton (c, frame, caption); }; };
    auto icon = [] (Icon kind) { return [kind] (const ArtCanvas& c, int) { PanelArt::paintIcon (c, kind); }; };

    return {
        { "background", whole (PedalFaceArt::paintBackground) },
        { "file_button", SwitchArt::paintFileButton },
        { "arrow_left", [] (const ArtCanvas& c, int frame) { SwitchArt::paintArrowButton (c, frame, false); } },
        { "arrow_right", [] (const ArtCanvas& c, int frame) { SwitchArt::paintArrowButton (c, frame, true); } },
        { "meter", LightArt::paintMeter },
        { "clip_light", LightArt::paintClipLight },
        { "ab_switch", SwitchArt::paintAbSwitch },
        { "copy_a_to_b", [] (const ArtCanvas& c, int frame) { SwitchArt::paintCopyButton (c, frame, true); } },
        { "copy_b_to_a", [] (const ArtCanvas& c, int frame) { SwitchArt::paintCopyButton (c, frame, false); } },
        { "oversampling_1x", light },
        { "oversampling_2x", light },
        { "oversampling_4x", light },
        { "oversampling_8x", light },
        { "knob_small", KnobArt::paintSmallKnob },
        { "knob_overdrive", largeKnob ("OVERDRIVE") },
        { "knob_tone", largeKnob ("TONE") },
        { "knob_level", largeKnob ("LEVEL") },
        { "selector", KnobArt::paintSelector },
        { "foot_switch", SwitchArt::paintFootSwitch },
        { "about", whole (PanelArt::paintAbout) },
        { "panel", whole (PanelArt::paintPanel) },
        { "browser", whole (PanelArt::paintBrowser) },
        { "title_save", whole (PanelArt::paintSaveTitle) },
        { "icon_warning", icon (Icon::warning) },
        { "icon_success", icon (Icon::success) },
        { "icon_error", icon (Icon::error) },
        { "button_ok", textButton ("OK") },
        { "button_cancel", textButton ("CANCEL") },
        { "button_save", textButton ("SAVE") },
        { "button_new_folder", textButton ("NEW FOLDER") },
    };
}

// Each frame is drawn in its own clip, in layout units, at `scale` device pixels per unit.
juce::Image render (const ArtworkCatalogue::Entry& entry, const Painter& paint, int scale)
{
    const auto frameHeight = entry.height / entry.numFrames;
    juce::Image image (juce::Image::ARGB, entry.width * scale, entry.height * scale, true);

    for (int frame = 0; frame < entry.numFrames; ++frame)
    {
        juce::Graphics g (image);
        g.reduceClipRegion (0, frame * frameHeight * scale, entry.width * scale, frameHeight * scale);
        g.setOrigin ({ 0, frame * frameHeight * scale });
        g.addTransform (juce::AffineTransform::scale ((float) scale));
        paint (ArtCanvas (g, (float) scale, { 0.0f, 0.0f, (float) entry.width, (float) frameHeight }), frame);
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
    if (argc != 6)
    {
        std::cerr << "usage: vardeko-artgen <output folder> <caption font> <heading font> <logo font> <script font>\n";
        return 2;
    }

    const juce::File folder (juce::File::getCurrentWorkingDirectory().getChildFile (argv[1]));
    const std::pair<ArtFonts::Face, const char*> fonts[] = { { ArtFonts::Face::caption, argv[2] }, { ArtFonts::Face::heading, argv[3] }, { ArtFonts::Face::logo, argv[4] }, { ArtFonts::Face::script, argv[5] } };

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

    const auto painters = makePainters();
    const auto started = juce::Time::getMillisecondCounterHiRes();
    juce::int64 totalBytes = 0;

    for (const auto& entry : ArtworkCatalogue::entries)
    {
        const auto painter = painters.find (entry.name);

        if (painter == painters.end())
        {
            std::cerr << "vardeko-artgen: nothing draws \"" << entry.name << "\"\n";
            return 1;
        }

        for (const int scale : { 1, 2 })
        {
            const auto file = folder.getChildFile (juce::String (entry.name) + (scale == 1 ? ".png" : "@2x.png"));

            if (! writePng (render (entry, painter->second, scale), file))
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
