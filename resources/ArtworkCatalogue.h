#pragma once

#include <cstring>

// Every image of the pedal's artwork. The library embeds each one twice, as "<name>.png" at the
// size given here and as "<name>@2x.png" at twice that size for high-density displays. A film
// strip holds its frames stacked vertically, each width x height / frames.
//
// The build reads the entries below to know which files the artwork generator writes: keep
// one entry a line, in exactly this form.
struct ArtworkCatalogue
{
    struct Entry
    {
        const char* name;
        int width;
        int height;
        int numFrames;
    };

    static constexpr Entry entries[] = {
        // The editor's window
        { "background", 325, 500, 1 },
        { "file_button", 58, 52, 2 },
        { "arrow_left", 29, 52, 2 },
        { "arrow_right", 29, 52, 2 },
        { "meter", 70, 176, 11 },
        { "clip_light", 7, 32, 2 },
        { "ab_switch", 62, 46, 2 },
        { "copy_a_to_b", 75, 50, 2 },
        { "copy_b_to_a", 75, 50, 2 },
        { "oversampling_1x", 21, 28, 2 },
        { "oversampling_2x", 21, 28, 2 },
        { "oversampling_4x", 21, 28, 2 },
        { "oversampling_8x", 21, 28, 2 },
        { "knob_small", 41, 4242, 101 },
        { "knob_overdrive", 96, 9595, 101 },
        { "knob_tone", 96, 9595, 101 },
        { "knob_level", 96, 9595, 101 },
        { "selector", 113, 625, 5 },
        { "foot_switch", 90, 396, 4 },
        // The about screen
        { "about", 325, 500, 1 },
        // The file panels
        { "panel", 325, 500, 1 },
        { "browser", 325, 500, 1 },
        { "title_save", 325, 500, 1 },
        { "icon_warning", 326, 500, 1 },
        { "icon_success", 325, 500, 1 },
        { "icon_error", 325, 500, 1 },
        { "button_ok", 132, 102, 2 },
        { "button_cancel", 132, 102, 2 },
        { "button_save", 132, 102, 2 },
        { "button_new_folder", 132, 102, 2 },
    };

    static constexpr int numEntries = static_cast<int> (sizeof (entries) / sizeof (entries[0]));

    // The entry of that name, or nullptr.
    static const Entry* find (const char* name) noexcept
    {
        for (const auto& entry : entries)
            if (name != nullptr && std::strcmp (entry.name, name) == 0)
                return &entry;

        return nullptr;
    }
};
