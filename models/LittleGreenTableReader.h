#pragma once

#include "dsp/Diode2TableReader.h"

// The diode tables "MODD1" of the "Mad Overdrive" circuit,
// served from the images compiled into the library.
class LittleGreenTableReader : public Diode2TableReader
{
public:
    int getTableSize() override { return getEmbeddedTableSize ("MODD1"); }

    bool readTable (const juce::String& tablePrefix, float rate, float* destination) override
    {
        return readEmbeddedTable ("MODD1", tablePrefix, rate, destination);
    }
};
