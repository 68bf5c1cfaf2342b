#pragma once

#include "dsp/Diode2TableReader.h"

// The diode tables "MDRD1" of the "Modern Overdrive" circuit,
// served from the images compiled into the library.
class OCDTableReader : public Diode2TableReader
{
public:
    int getTableSize() override { return getEmbeddedTableSize ("MDRD1"); }

    bool readTable (const juce::String& tablePrefix, float rate, float* destination) override
    {
        return readEmbeddedTable ("MDRD1", tablePrefix, rate, destination);
    }
};
