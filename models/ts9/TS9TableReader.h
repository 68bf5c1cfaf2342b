#pragma once

#include "dsp/Diode2TableReader.h"

// The diode tables "PDRD1" of the "Pro Overdrive" circuit, compiled into the library.
class TS9TableReader : public Diode2TableReader
{
public:
    TS9TableReader()
        : Diode2TableReader ("PDRD1")
    {
    }
};
