#pragma once

#include "dsp/Diode1TableReader.h"

// The diode curve "BDRD1" of the "Blues Overdrive" circuit, compiled into the library.
class BluesBreakerTableReader : public Diode1TableReader
{
public:
    BluesBreakerTableReader()
        : Diode1TableReader ("BDRD1")
    {
    }
};
