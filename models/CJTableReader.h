#pragma once

#include "dsp/Diode2TableReader.h"

// The diode tables "BODD1" of the "Boutique Overdrive" circuit,
// served from the images compiled into the library.
class CJTableReader : public Diode2TableReader
{
public:
    int getTableSize() override { return getEmbeddedTableSize ("BODD1"); }

    bool readTable (const juce::String& tablePrefix, float rate, float* destination) override
    {
        return readEmbeddedTable ("BODD1", tablePrefix, rate, destination);
    }
};
