#include "models/CircuitBank.h"

#include "models/bluesbreaker/BluesBreakerOverdrive.h"
#include "models/cj/CJOverdrive.h"
#include "models/littlegreen/LittleGreenOverdrive.h"
#include "models/ocd/OCDOverdrive.h"
#include "models/ts9/TS9Overdrive.h"

#include <tuple>
#include <utility>

namespace
{
// The circuits in processor order: the one place that maps an index to a class.
using CircuitTypes = std::tuple<BluesBreakerOverdrive, CJOverdrive, LittleGreenOverdrive, OCDOverdrive, TS9Overdrive>;
static_assert (std::tuple_size_v<CircuitTypes> == CircuitBank::numCircuits);

template <std::size_t... index>
std::unique_ptr<ModuleModel> makeCircuit (int wanted, std::index_sequence<index...>)
{
    std::unique_ptr<ModuleModel> made;
    ((wanted == (int) index ? (void) (made = std::make_unique<std::tuple_element_t<index, CircuitTypes>>()) : (void) 0), ...);
    return made;
}
} // namespace

struct CircuitBank::Circuits
{
    CircuitTypes all;
};

CircuitBank::CircuitBank()
    : owned (std::make_unique<Circuits>())
{
    std::apply ([this] (auto&... circuit)
                { circuits = { &circuit... }; },
                owned->all);
}

CircuitBank::~CircuitBank() = default;

ModuleModel& CircuitBank::operator[] (int index) noexcept
{
    return *circuits[(size_t) juce::jlimit (0, numCircuits - 1, index)];
}

std::unique_ptr<ModuleModel> CircuitBank::make (int index)
{
    const auto known = index >= 0 && index < numCircuits ? index : numCircuits - 1;
    return makeCircuit (known, std::make_index_sequence<numCircuits>());
}
