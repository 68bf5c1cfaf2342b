#pragma once

// The names a new instance gives its twelve programs: "Init", then the factory programs, each
// named after its channel A preset. What every host must list, in this order.
namespace ProgramNames
{
constexpr const char* newInstance[12] = {
    "Init",
    "Blues Crunch",
    "Boutique Crunch",
    "Mad Crunch",
    "Modern Crunch",
    "Pro Crunch",
    "Blues Edge of Break-up",
    "Boutique Edge of Break-up",
    "Mad Edge of Break-up",
    "Modern Edge of Break-up",
    "Pro Edge of Break-up",
    "Pro Clean Boost",
};
} // namespace ProgramNames
