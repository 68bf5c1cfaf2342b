#pragma once

#include "resources/EmbeddedResources.h"

// The values of a diode table compiled into the library, shared read-only by every reader of
// every instance in the process: the library's own bytes where they can be read as floats in
// place (little-endian, aligned), otherwise one copy made at first use and kept for the life
// of the process. Nothing is copied per instance.
class SharedTableValues
{
public:
    // The count floats that follow the header of image, or nullptr when the image is shorter.
    // Not for the audio thread (the first use may copy).
    static const float* get (const EmbeddedResources::Resource& image, int headerSize, int count);
};
