#include "models/littlegreen/LittleGreenOverdrive.h"

// The circuit and its stages are compiled here, once.
LittleGreenOverdrive::LittleGreenOverdrive()
    : CircuitModel ("LittleGreenOverdrive")
{
    takeDefaults();
}

LittleGreenOverdrive::~LittleGreenOverdrive() = default;
