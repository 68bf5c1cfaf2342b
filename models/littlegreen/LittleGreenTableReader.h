#pragma once

#include "dsp/Diode2TableReader.h"

// The diode tables "MODD1" of the "Mad Overdrive" circuit, compiled into the library.
class LittleGreenTableReader : public Diode2TableReader
{
public:
    LittleGreenTableReader()
        : Diode2TableReader ("MODD1")
    {
    }
};
