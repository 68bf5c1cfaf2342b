#pragma once

#include "dsp/BilinearTransform.h"
#include "dsp/LinearRamp.h"
#include "dsp/RateBands.h"

#include <array>
#include <cstddef>
#include <cstdint>

// An analog transfer function N(s) / D(s) of a given order: order + 1 coefficients each, in
// ascending powers of s.
template <int order>
struct AnalogPrototype
{
    static constexpr auto size = static_cast<std::size_t> (order) + 1;
    std::array<double, size> denominator {};
    std::array<double, size> numerator {};
};

// Coefficients of an order-N filter: a[0] is the un-normalised a0 (the difference equation
// does not use it); a[1..N] and b[0..N] are divided by a0.
template <int order>
struct SZCoefficients
{
    static constexpr auto size = static_cast<std::size_t> (order) + 1;
    double a[size] {};
    double b[size] {};

    // A glide (LinearRamp) moves a[1..N] and b[0..N] together.
    static SZCoefficients rampStep (const SZCoefficients& from, const SZCoefficients& to, double inverseLength) noexcept
    {
        SZCoefficients step;

        for (int k = 1; k <= order; ++k)
            step.a[k] = (to.a[k] - from.a[k]) * inverseLength;

        for (int k = 0; k <= order; ++k)
            step.b[k] = (to.b[k] - from.b[k]) * inverseLength;

        return step;
    }

    friend void add (SZCoefficients& value, const SZCoefficients& step) noexcept
    {
        for (int k = 1; k <= order; ++k)
            value.a[k] += step.a[k];

        for (int k = 0; k <= order; ++k)
            value.b[k] += step.b[k];
    }
};

// One channel's memory: x[n-1]..x[n-N] and y[n-1]..y[n-N].
template <int order>
struct SZHistory
{
    static constexpr auto size = static_cast<std::size_t> (order);
    double x[size] {};
    double y[size] {};
};

// The filter shared by the per-sample and the block s-to-z stages: bilinear transform, a
// linear glide of every coefficient to each new set, and direct form I in double precision.
// Block stages land exactly on the targets when the glide ends; per-sample stages do not.
template <int order, bool snapAtGlideEnd>
class SZFilter
{
public:
    static_assert (order >= 1 && order <= BilinearTransform::maxOrder, "unsupported order");

    void setSampleRate (float rate) noexcept
    {
        // Knob moves glide over about 46 ms at every rate band.
        glide.setLength (RateBands::rampLength (rate));

        // Coefficients made for another rate mean nothing at this one: the next set is taken
        // at once rather than glided to.
        if (rate != coefficientRate)
        {
            coefficientRate = rate;
            firstSet = true;
        }
    }

    void clearState() noexcept
    {
        left = {};
        right = {};
    }

    // Back to "no coefficients yet": the output is 0 and the next set is taken at once.
    void initParameters() noexcept
    {
        target = {};
        target.a[0] = 1.0;
        glide.setValue (target);
        firstSet = true;
        pending = false;
    }

    void setAnalogCoefficients (const double* denominator, const double* numerator, float rate) noexcept
    {
        double a[SZCoefficients<order>::size];
        double b[SZCoefficients<order>::size];
        BilinearTransform::discretise (order, denominator, rate, a);
        BilinearTransform::discretise (order, numerator, rate, b);

        target.a[0] = a[0];

        for (int k = 1; k <= order; ++k)
            target.a[k] = a[k] / a[0];

        for (int k = 0; k <= order; ++k)
            target.b[k] = b[k] / a[0];

        if (firstSet)
        {
            glide.setValue (target);
            firstSet = false;
        }

        // A new set during a glide starts a fresh glide from wherever the coefficients are.
        if constexpr (snapAtGlideEnd)
            pending = true;
        else
            glide.setTarget (target);
    }

    // Block stages start the glide to a new set when the next block starts.
    void beginBlock() noexcept
    {
        if (pending)
        {
            glide.setTarget (target);
            pending = false;
        }
    }

    // One step per sample frame, shared by both channels.
    void advanceGlide() noexcept { glide.next(); }

    double processSample (double x, SZHistory<order>& history) const noexcept
    {
        const auto& current = glide.getValue();
        auto y = current.b[0] * x;

        for (int k = 1; k <= order; ++k)
            y += current.b[k] * history.x[k - 1];

        for (int k = 1; k <= order; ++k)
            y -= current.a[k] * history.y[k - 1];

        y = (y - 1.0e-20) + 1.0e-20; // keeps decaying tails out of the slow denormal range

        for (int k = order - 1; k > 0; --k)
        {
            history.x[k] = history.x[k - 1];
            history.y[k] = history.y[k - 1];
        }

        history.x[0] = x;
        history.y[0] = y;
        return y;
    }

    // The coefficients the difference equation uses now.
    const SZCoefficients<order>& getCurrent() const noexcept { return glide.getValue(); }
    int getGlideLength() const noexcept { return glide.getLength(); }

    SZCoefficients<order> target; // the latest set
    SZHistory<order> left;
    SZHistory<order> right;
    bool firstSet = true;
    bool pending = false;
    float coefficientRate = 0.0f;

private:
    LinearRamp<SZCoefficients<order>, snapAtGlideEnd ? RampEnd::landsOnTarget : RampEnd::keepsItsSteps, double> glide;
};
