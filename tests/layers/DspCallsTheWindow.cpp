// A DSP-layer function that reads the window's images: the DSP check must refuse it.
#include "resources/EmbeddedResources.h"

int dspReadsTheArtwork()
{
    return EmbeddedResources::artwork().getNumResources();
}
