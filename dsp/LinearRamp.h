#pragma once

#include <algorithm>
#include <type_traits>

// How a LinearRamp ends.
enum class RampEnd
{
    // Every ramp takes length steps, however far it goes; the last step lands exactly on the
    // target, whatever the rounding of the steps.
    landsOnTarget,

    // Every ramp takes length steps; the last one adds its step like the others, so the value
    // ends within the rounding of the steps.
    keepsItsSteps,

    // The value moves by 1 / length each step (a full swing between 0 and 1 takes length
    // steps) and stops at the target, never past it; the ramp ends when the value is there.
    stopsAtTarget
};

// A value that moves linearly to a target, one step per sample: the input volume, the dry/wet
// mix, the circuit crossfade, a circuit's fades, its volume pot and its filters' coefficient
// glides. A new target starts a fresh ramp from wherever the value is.
//
// Value is float or double, or a set of numbers that glide together: a type with a member
//     static Value rampStep (const Value& from, const Value& to, Element inverseLength);
// and add (Value& value, const Value& step) found next to it (see SZCoefficients).
template <typename Value, RampEnd end = RampEnd::landsOnTarget, typename Element = Value>
class LinearRamp
{
public:
    LinearRamp() = default;

    // Settled at initial.
    explicit LinearRamp (const Value& initial) noexcept
        : value (initial)
        , target (initial)
    {
    }

    // The steps a ramp takes from now on (or, for stopsAtTarget, the steps of a full swing). A
    // ramp in progress keeps its steps and its count. With 0 steps a counted ramp never moves.
    void setLength (int numSteps) noexcept
    {
        length = std::max (0, numSteps);
        inverseLength = length > 0 ? Element (1) / (Element) length : Element (0);
    }

    int getLength() const noexcept { return length; }

    // Stops where the value is.
    void stop() noexcept
    {
        stepsTaken = length;

        if constexpr (end == RampEnd::stopsAtTarget)
            target = value;
    }

    // Settles at newValue at once.
    void setValue (const Value& newValue) noexcept
    {
        value = target = newValue;
        step = {};
        stepsTaken = length;
    }

    // A fresh ramp from the present value.
    void setTarget (const Value& newTarget) noexcept
    {
        target = newTarget;

        if constexpr (end == RampEnd::stopsAtTarget)
            step = inverseLength;
        else
            step = stepBetween (value, newTarget, inverseLength);

        stepsTaken = 0;
    }

    // The owner bounds the value; the steps left go on from there.
    void limitValue (const Value& bounded) noexcept { value = bounded; }

    bool isRamping() const noexcept
    {
        if constexpr (end == RampEnd::stopsAtTarget)
            return value != target;
        else
            return stepsTaken < length;
    }

    const Value& getValue() const noexcept { return value; }
    const Value& getTarget() const noexcept { return target; }

    // One step (none once the ramp has ended); returns the new value.
    const Value& next() noexcept
    {
        if constexpr (end == RampEnd::stopsAtTarget)
        {
            value = target > value ? std::min (target, value + step) : std::max (target, value - step);
        }
        else if (stepsTaken < length)
        {
            ++stepsTaken;

            if (end == RampEnd::landsOnTarget && stepsTaken == length)
                value = target;
            else
                addStep (value, step);
        }

        return value;
    }

private:
    static Value stepBetween (const Value& from, const Value& to, Element inverse) noexcept
    {
        if constexpr (std::is_arithmetic_v<Value>)
            return (to - from) * inverse;
        else
            return Value::rampStep (from, to, inverse);
    }

    static void addStep (Value& v, const Value& s) noexcept
    {
        if constexpr (std::is_arithmetic_v<Value>)
            v += s;
        else
            add (v, s);
    }

    Value value {};
    Value target {};
    Value step {};
    int stepsTaken = 0;
    int length = 0;
    Element inverseLength = Element (0);
};
