// The bank holds each circuit once, by its processor index, and makes single ones alike.

#include "models/CircuitBank.h"
#include "models/bluesbreaker/BluesBreakerOverdrive.h"
#include "models/cj/CJOverdrive.h"
#include "models/littlegreen/LittleGreenOverdrive.h"
#include "models/ocd/OCDOverdrive.h"
#include "models/ts9/TS9Overdrive.h"

#include <gtest/gtest.h>

#include <set>
#include <typeinfo>

TEST (CircuitBank, HoldsEachCircuitOnceInProcessorOrder)
{
    CircuitBank bank;
    const std::type_info* expected[] = { &typeid (BluesBreakerOverdrive), &typeid (CJOverdrive), &typeid (LittleGreenOverdrive), &typeid (OCDOverdrive), &typeid (TS9Overdrive) };
    std::set<const ModuleModel*> distinct;

    for (int i = 0; i < CircuitBank::numCircuits; ++i)
    {
        EXPECT_EQ (*expected[i], typeid (bank[i])) << i;
        EXPECT_EQ (*expected[i], typeid (*CircuitBank::make (i))) << i;
        distinct.insert (&bank[i]);
    }

    EXPECT_EQ ((size_t) CircuitBank::numCircuits, distinct.size());
    EXPECT_EQ ((size_t) CircuitBank::numCircuits, (size_t) (bank.end() - bank.begin()));

    // Outside the indices: the nearest circuit in the bank, the last one made alone.
    EXPECT_EQ (&bank[0], &bank[-3]);
    EXPECT_EQ (&bank[4], &bank[9]);
    EXPECT_EQ (typeid (TS9Overdrive), typeid (*CircuitBank::make (-1)));
    EXPECT_EQ (typeid (TS9Overdrive), typeid (*CircuitBank::make (5)));
}
