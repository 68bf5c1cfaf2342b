#include "models/cj/CJOverdrive.h"

// The circuit and its stages are compiled here, once.
CJOverdrive::CJOverdrive()
    : CircuitModel ("CJOverdrive")
{
    takeDefaults();
}

CJOverdrive::~CJOverdrive() = default;
