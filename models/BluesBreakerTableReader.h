#pragma once

#include "dsp/Diode1TableReader.h"

// The diode curve "BDRD1" of the "Blues Overdrive" circuit,
// served from the image compiled into the library.
class BluesBreakerTableReader : public Diode1TableReader
{
public:
    int getTableSize() override { return getEmbeddedTableSize ("BDRD1"); }

    bool readTable (const juce::String& tablePrefix, float* destination) override
    {
        return readEmbeddedTable ("BDRD1", tablePrefix, destination);
    }
};
