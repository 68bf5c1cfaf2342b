#pragma once

#include "dsp/Diode2TableReader.h"

// The diode tables "MDRD1" of the "Modern Overdrive" circuit, compiled into the library.
class OCDTableReader : public Diode2TableReader
{
public:
    OCDTableReader()
        : Diode2TableReader ("MDRD1")
    {
    }
};
