#pragma once

#include "models/ModelParameters.h"

// The knobs a stage takes from its circuit, kept as the circuit hands them over (0 to 1) in
// fields named after them; any taper belongs to the stage's formulas. A stage that derives
// from Knobs<ModelParameters::drive> takes Drive, and so on (see CircuitModel).
template <ModelParameters::Index... knobs>
struct Knobs;

template <>
struct Knobs<ModelParameters::drive>
{
    float drive = 0.0f;

    static constexpr bool followsKnob (int knob) noexcept { return knob == ModelParameters::drive; }
    void setKnob (int, float value) noexcept { drive = value; }
};

template <>
struct Knobs<ModelParameters::tone>
{
    float tone = 0.0f;

    static constexpr bool followsKnob (int knob) noexcept { return knob == ModelParameters::tone; }
    void setKnob (int, float value) noexcept { tone = value; }
};

template <>
struct Knobs<ModelParameters::drive, ModelParameters::tone>
{
    float drive = 0.0f;
    float tone = 0.0f;

    static constexpr bool followsKnob (int knob) noexcept { return knob == ModelParameters::drive || knob == ModelParameters::tone; }
    void setKnob (int knob, float value) noexcept { (knob == ModelParameters::drive ? drive : tone) = value; }
};

template <>
struct Knobs<ModelParameters::tone, ModelParameters::level>
{
    float tone = 0.0f;
    float level = 0.0f;

    static constexpr bool followsKnob (int knob) noexcept { return knob == ModelParameters::tone || knob == ModelParameters::level; }
    void setKnob (int knob, float value) noexcept { (knob == ModelParameters::tone ? tone : level) = value; }
};
