#include "editor/MolvekArtwork.h"

#include "resources/EmbeddedResources.h"

MolvekArtwork::MolvekArtwork (const juce::String& artworkName)
    : name (artworkName)
{
}

juce::Image MolvekArtwork::getImage() const
{
    return loadEmbeddedImage (name + ".png");
}

juce::Image MolvekArtwork::getImage2x() const
{
    return loadEmbeddedImage (name + "@2x.png");
}

FilmStrip MolvekArtwork::getStrip (int numFrames) const
{
    return FilmStrip (getImage(), numFrames, [fileName = name + "@2x.png"]
                      { return loadEmbeddedImage (fileName); });
}

juce::Image MolvekArtwork::loadEmbeddedImage (const juce::String& fileName)
{
    const auto resource = EmbeddedResources::artwork().get (fileName);

    if (resource.isEmpty())
        return {};

    // The cache keys on the data's address, which is fixed for each embedded file.
    return juce::ImageCache::getFromMemory (resource.data, static_cast<int> (resource.size));
}
