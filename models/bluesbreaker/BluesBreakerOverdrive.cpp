#include "models/bluesbreaker/BluesBreakerOverdrive.h"

// The circuit and its stages are compiled here, once.
BluesBreakerOverdrive::BluesBreakerOverdrive()
    : CircuitModel ("BluesBreakerOverdrive")
{
    takeDefaults();
}

BluesBreakerOverdrive::~BluesBreakerOverdrive() = default;
