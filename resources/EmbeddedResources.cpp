#include "resources/EmbeddedResources.h"

#include <cstring>

EmbeddedResources::Resource EmbeddedResources::get (const char* name) const noexcept
{
    if (name == nullptr)
        return {};

    for (int i = 0; i < numEntries; ++i)
    {
        const auto entry = getEntry (i);

        if (std::strcmp (entry.name, name) == 0)
            return entry;
    }

    return {};
}

EmbeddedResources::Resource EmbeddedResources::get (const juce::String& name) const noexcept
{
    return get (name.toRawUTF8());
}

EmbeddedResources::Resource EmbeddedResources::getResource (int index) const noexcept
{
    if (index < 0 || index >= numEntries)
        return {};

    return getEntry (index);
}
