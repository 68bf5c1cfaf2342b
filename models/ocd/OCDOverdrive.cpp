#include "models/ocd/OCDOverdrive.h"

// The circuit and its stages are compiled here, once.
OCDOverdrive::OCDOverdrive()
    : CircuitModel ("OCDOverdrive")
{
    takeDefaults();
}

OCDOverdrive::~OCDOverdrive() = default;
