#pragma once

#include "dsp/Diode2TableReader.h"

// The diode tables "BODD1" of the "Boutique Overdrive" circuit, compiled into the library.
class CJTableReader : public Diode2TableReader
{
public:
    CJTableReader()
        : Diode2TableReader ("BODD1")
    {
    }
};
