#pragma once

#include <juce_core/juce_core.h>

#include <cstddef>

// The files compiled into the library (diode tables, images), found by their file names.
// The data stays in the library's read-only image: nothing is copied or allocated.
class EmbeddedResources
{
public:
    struct Resource
    {
        const char* name = nullptr;
        const void* data = nullptr;
        std::size_t size = 0;

        bool isEmpty() const noexcept { return data == nullptr; }
    };

    // The resource of that name, or an empty one when there is none.
    static Resource get (const char* name) noexcept;
    static Resource get (const juce::String& name) noexcept;

    static int getNumResources() noexcept;

    // The resource at 0 <= index < getNumResources(), or an empty one.
    static Resource getResource (int index) noexcept;

private:
    // Defined in the index that the build generates next to the embedded data.
    static const int numEntries;
    static Resource getEntry (int index);
};
