#include "models/ts9/TS9Overdrive.h"

// The circuit and its stages are compiled here, once.
TS9Overdrive::TS9Overdrive()
    : CircuitModel ("TS9Overdrive")
{
    takeDefaults();
}

TS9Overdrive::~TS9Overdrive() = default;
