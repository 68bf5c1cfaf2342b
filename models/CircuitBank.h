#pragma once

#include "dsp/ModuleModel.h"

#include <juce_core/juce_core.h>

#include <array>
#include <memory>

// The five circuits, each once, by their processor index: 0 "Blues Overdrive", 1 "Boutique
// Overdrive", 2 "Mad Overdrive", 3 "Modern Overdrive", 4 "Pro Overdrive". Only CircuitBank.cpp
// knows the circuits' classes, so whoever holds the bank compiles none of them.
class CircuitBank
{
public:
    static constexpr int numCircuits = 5;

    CircuitBank();
    ~CircuitBank();

    // The circuit at index, limited to 0..numCircuits - 1.
    ModuleModel& operator[] (int index) noexcept;

    ModuleModel* const* begin() const noexcept { return circuits.data(); }
    ModuleModel* const* end() const noexcept { return circuits.data() + circuits.size(); }

    // One circuit on its own by its processor index (4 for any other), for tests and tools.
    static std::unique_ptr<ModuleModel> make (int index);

private:
    struct Circuits;
    std::unique_ptr<Circuits> owned;
    std::array<ModuleModel*, numCircuits> circuits {};

    JUCE_DECLARE_NON_COPYABLE (CircuitBank)
};
