#include "presets/PanelArtwork.h"

#include "editor/Molvek2StateKickButton.h"
#include "editor/MolvekArtwork.h"

namespace PanelArtwork
{
const char* buttonName (int code)
{
    switch (code)
    {
        case 1:
            return "button_ok";
        case 3:
            return "button_cancel";
        case 5:
            return "button_save";
        case 8:
            return "button_new_folder";
        default:
            return "";
    }
}

juce::String buttonCaption (int code)
{
    switch (code)
    {
        case 1:
            return "OK";
        case 3:
            return "Cancel";
        case 5:
            return "Save";
        case 8:
            return "New folder";
        default:
            return {};
    }
}

void setButtonImage (Molvek2StateKickButton& button, int code)
{
    button.setImage (MolvekArtwork (buttonName (code)));
    // The caption is in the picture; screen readers read it here.
    button.setTitle (buttonCaption (code));
}

FilmStrip icon (int code)
{
    switch (code)
    {
        case 3:
            return MolvekArtwork ("icon_success").getStrip (1);
        case 4:
            return MolvekArtwork ("icon_error").getStrip (1);
        default:
            return MolvekArtwork ("icon_warning").getStrip (1);
    }
}

FilmStrip title (int code)
{
    return code == 1 ? MolvekArtwork ("title_save").getStrip (1) : FilmStrip();
}

juce::String titleCaption (int code)
{
    return code == 1 ? "Save preset as" : "";
}

void dimBehind (juce::Graphics& g, juce::Rectangle<int> area)
{
    g.setColour (juce::Colours::black.withAlpha (0.45f));
    g.fillRect (area);
}

FilmStrip panelBackground()
{
    return MolvekArtwork ("panel").getStrip (1);
}

FilmStrip browserBackground()
{
    return MolvekArtwork ("browser").getStrip (1);
}
} // namespace PanelArtwork
