#pragma once

#include "dsp/Diode2TableReader.h"

// The diode tables "PDRD1" of the "Pro Overdrive" circuit,
// served from the images compiled into the library.
class TS9TableReader : public Diode2TableReader
{
public:
    int getTableSize() override { return getEmbeddedTableSize ("PDRD1"); }

    bool readTable (const juce::String& tablePrefix, float rate, float* destination) override
    {
        return readEmbeddedTable ("PDRD1", tablePrefix, rate, destination);
    }
};
