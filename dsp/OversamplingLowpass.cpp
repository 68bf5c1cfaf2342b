#include "dsp/OversamplingLowpass.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>

namespace
{
// b[0..7] of each design; b[14 - k] = b[k].
constexpr double numeratorTable[OversamplingLowpass::maxIndex][8] = {
    { 0.0028462845327064832, 0.010886888726810586, 0.03284602624029028, 0.07005326193424206, 0.12429612759295457, 0.18209711240133666, 0.22858661889107285, 0.24586174381077103 },
    { 0.00021791096865603215, -0.0011303776982491286, 0.003312494566371748, -0.006495390037302025, 0.009661145993927195, -0.011523528582026734, 0.012106236912391972, -0.012072258839873609 },
    { 2.7041144637563127e-05, -0.00026356116955055626, 0.0012305886506587113, -0.003662500729112032, 0.007826542436558536, -0.012859889323169725, 0.01699960034655677, -0.01859562647954075 }
};

// a[1..14] of each design; a[0] = 1.
constexpr double denominatorTable[OversamplingLowpass::maxIndex][14] = {
    { -3.1840752213550263, 8.637634353359518, -15.368514642542806, 23.268983350791885, -27.742059171359163, 28.32373566233029, -23.85694698324243, 17.09021028805063, -10.109781367028354, 4.942072900907159, -1.915983578719957, 0.5657188700588368, -0.11415132552863701, 0.01224324872765361 },
    { -9.963639453133228, 47.82777499025539, -145.98118315416983, 315.60553821166127, -510.2008881204604, 634.9992887824305, -617.4018375018146, 470.82046995089826, -280.0511622546579, 127.84371802259118, -43.421073740106515, 10.371309926711554, -1.5594949753264877, 0.11140404052839488 },
    { -12.433714309750538, 72.27151281998046, -260.2351045712937, 648.3978577914551, -1182.3550704286988, 1626.9986157920805, -1716.110051959284, 1394.0895280822358, -867.8970934340031, 407.5717985779166, -139.99272241543122, 33.24480021917602, -4.885552597652736, 0.3351964495031028 }
};

//==============================================================================
// Double-double arithmetic (about 106 significant bits). Used instead of long double, which
// has no extra precision on every compiler the plug-in is built with; it relies only on
// correctly rounded IEEE double operations and std::fma.
struct Wide
{
    double hi = 0.0;
    double lo = 0.0;

    Wide() = default;
    Wide (double value)
        : hi (value)
    {
    }
    Wide (double high, double low)
        : hi (high)
        , lo (low)
    {
    }
};

Wide twoSum (double a, double b)
{
    const auto s = a + b;
    const auto bb = s - a;
    return { s, (a - (s - bb)) + (b - bb) };
}

Wide quickTwoSum (double a, double b)
{
    const auto s = a + b;
    return { s, b - (s - a) };
}

Wide twoProduct (double a, double b)
{
    const auto p = a * b;
    return { p, std::fma (a, b, -p) };
}

Wide operator- (Wide a) { return { -a.hi, -a.lo }; }

Wide operator+ (Wide a, Wide b)
{
    auto s = twoSum (a.hi, b.hi);
    const auto t = twoSum (a.lo, b.lo);
    s.lo += t.hi;
    s = quickTwoSum (s.hi, s.lo);
    s.lo += t.lo;
    return quickTwoSum (s.hi, s.lo);
}

Wide operator- (Wide a, Wide b) { return a + (-b); }

Wide operator* (Wide a, Wide b)
{
    auto p = twoProduct (a.hi, b.hi);
    p.lo += a.hi * b.lo + a.lo * b.hi;
    return quickTwoSum (p.hi, p.lo);
}

Wide operator/ (Wide a, Wide b)
{
    const auto q1 = a.hi / b.hi;
    auto r = a - b * Wide (q1);
    const auto q2 = r.hi / b.hi;
    r = r - b * Wide (q2);
    const auto q3 = r.hi / b.hi;
    return quickTwoSum (q1, q2) + Wide (q3);
}

double toDouble (Wide a) { return a.hi + a.lo; }
double toDouble (double a) { return a; }

//==============================================================================
template <typename Real>
struct Complex
{
    Real re {};
    Real im {};
};

template <typename Real>
Complex<Real> operator+ (Complex<Real> a, Complex<Real> b)
{
    return { a.re + b.re, a.im + b.im };
}

template <typename Real>
Complex<Real> operator- (Complex<Real> a, Complex<Real> b)
{
    return { a.re - b.re, a.im - b.im };
}

template <typename Real>
Complex<Real> operator* (Complex<Real> a, Complex<Real> b)
{
    return { a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re };
}

template <typename Real>
Complex<Real> operator/ (Complex<Real> a, Complex<Real> b)
{
    const Real norm = b.re * b.re + b.im * b.im;
    return { (a.re * b.re + a.im * b.im) / norm, (a.im * b.re - a.re * b.im) / norm };
}

template <typename Real>
double magnitude (Complex<Real> a)
{
    return std::hypot (toDouble (a.re), toDouble (a.im));
}

// Simultaneous root refinement (Aberth-Ehrlich) of the polynomial
// coefficients[0] z^degree + ... + coefficients[degree].
template <typename Real>
void refineRoots (const Real* coefficients, int degree, Complex<Real>* roots, int maxIterations, double tolerance)
{
    const Complex<Real> one { Real (1.0), Real (0.0) };

    for (int iteration = 0; iteration < maxIterations; ++iteration)
    {
        auto largestStep = 0.0;

        for (int k = 0; k < degree; ++k)
        {
            const auto z = roots[k];
            Complex<Real> value { coefficients[0], Real (0.0) };
            Complex<Real> slope {};

            for (int i = 1; i <= degree; ++i)
            {
                slope = slope * z + value;
                value = value * z + Complex<Real> { coefficients[i], Real (0.0) };
            }

            Complex<Real> repulsion {};

            for (int j = 0; j < degree; ++j)
                if (j != k)
                    repulsion = repulsion + one / (z - roots[j]);

            const auto ratio = value / slope;
            const auto step = ratio / (one - ratio * repulsion);
            roots[k] = z - step;
            largestStep = std::max (largestStep, magnitude (step) / std::max (magnitude (roots[k]), 1.0e-300));
        }

        if (largestStep < tolerance)
            break;
    }
}

// All roots of a real polynomial (descending powers, exact double coefficients), found in
// double precision and polished in double-double.
template <std::size_t size>
void findRoots (const Wide (&coefficients)[size + 1], Complex<Wide> (&roots)[size])
{
    constexpr auto degree = static_cast<int> (size);
    double rough[size + 1];

    for (int i = 0; i <= degree; ++i)
        rough[i] = toDouble (coefficients[i]);

    // Start on a circle around the centroid of the roots whose radius is their geometric mean
    // distance from it.
    const auto centre = -rough[1] / (degree * rough[0]);
    auto valueAtCentre = rough[0];

    for (int i = 1; i <= degree; ++i)
        valueAtCentre = valueAtCentre * centre + rough[i];

    auto radius = std::pow (std::abs (valueAtCentre / rough[0]), 1.0 / degree);

    if (! (radius > 1.0e-6))
        radius = 1.0e-6;

    Complex<double> start[size];

    for (int k = 0; k < degree; ++k)
    {
        const auto angle = 6.283185307179586 * (k + 0.25) / degree + 0.4;
        start[k] = { centre + radius * std::cos (angle), radius * std::sin (angle) };
    }

    // Double precision cannot resolve the clustered poles of the 8x design (its steps stall
    // around 1e-5); it only brings the estimates close enough for the wide iteration.
    refineRoots (rough, degree, start, 100, 1.0e-12);

    for (int k = 0; k < degree; ++k)
        roots[k] = { Wide (start[k].re), Wide (start[k].im) };

    refineRoots (coefficients, degree, roots, 100, 1.0e-22);
}

//==============================================================================
struct SectionDesign
{
    Wide a1, a2; // pole pair: 1 + a1 z^-1 + a2 z^-2
    Wide zero; // zero pair: 1 - zero z^-1 + z^-2 (zero = 2 cos of the zero angle)
    double poleRadius = 0.0;
};

OversamplingLowpass::Sections designSections (int index)
{
    constexpr int order = OversamplingLowpass::order;
    constexpr int numSections = OversamplingLowpass::numSections;

    // Numerator: with x = z + 1/z a symmetric polynomial of degree 14 becomes z^7 Q(x), Q of
    // degree 7, and each root x_k of Q gives the section numerator 1 - x_k z^-1 + z^-2.
    // z^m + z^-m = D_m(x) with D_0 = 2, D_1 = x, D_m = x D_(m-1) - D_(m-2).
    Wide chebyshev[numSections + 1][numSections + 1] {};
    chebyshev[0][0] = Wide (2.0);
    chebyshev[1][1] = Wide (1.0);

    for (int m = 2; m <= numSections; ++m)
        for (int j = 0; j <= m; ++j)
            chebyshev[m][j] = (j > 0 ? chebyshev[m - 1][j - 1] : Wide()) - chebyshev[m - 2][j];

    Wide reduced[numSections + 1] {}; // ascending powers of x
    reduced[0] = Wide (OversamplingLowpass::getNumerator (index, numSections));

    for (int m = 1; m <= numSections; ++m)
        for (int j = 0; j <= m; ++j)
            reduced[j] = reduced[j] + Wide (OversamplingLowpass::getNumerator (index, numSections - m)) * chebyshev[m][j];

    Wide reducedDescending[numSections + 1];

    for (int j = 0; j <= numSections; ++j)
        reducedDescending[j] = reduced[numSections - j];

    Complex<Wide> zeroRoots[numSections];
    findRoots<numSections> (reducedDescending, zeroRoots);

    Wide denominator[order + 1];

    for (int k = 0; k <= order; ++k)
        denominator[k] = Wide (OversamplingLowpass::getDenominator (index, k));

    Complex<Wide> poleRoots[order];
    findRoots<order> (denominator, poleRoots);

    // Pole pairs: the roots in the upper half plane with their conjugates; real poles (none in
    // these designs) are paired with each other.
    SectionDesign sections[numSections];
    int numPairs = 0;
    double realPoles[order];
    int numReal = 0;

    for (const auto& p : poleRoots)
    {
        const auto im = toDouble (p.im);

        if (std::abs (im) < 1.0e-12 * std::max (1.0, magnitude (p)))
            realPoles[numReal++] = toDouble (p.re);
        else if (im > 0.0 && numPairs < numSections)
            sections[numPairs++] = { Wide (-2.0) * p.re, p.re * p.re + p.im * p.im, Wide(), magnitude (p) };
    }

    for (int i = 1; i < numReal; ++i)
        for (int j = i; j > 0 && realPoles[j] < realPoles[j - 1]; --j)
            std::swap (realPoles[j], realPoles[j - 1]);

    for (int i = 0; i + 1 < numReal && numPairs < numSections; i += 2)
        sections[numPairs++] = { -(Wide (realPoles[i]) + Wide (realPoles[i + 1])),
                                 Wide (realPoles[i]) * Wide (realPoles[i + 1]),
                                 Wide(),
                                 std::max (std::abs (realPoles[i]), std::abs (realPoles[i + 1])) };

    // Each pole pair, the one nearest the unit circle first, takes the zero pair nearest to it.
    std::sort (sections, sections + numSections, [] (const SectionDesign& a, const SectionDesign& b)
               { return a.poleRadius > b.poleRadius; });

    bool zeroUsed[numSections] {};

    for (auto& section : sections)
    {
        const auto radius = std::sqrt (std::max (0.0, toDouble (section.a2)));
        const auto poleAngle = radius > 0.0 ? std::acos (std::clamp (-toDouble (section.a1) / (2.0 * radius), -1.0, 1.0)) : 0.0;
        int best = -1;
        double bestDistance = 0.0;

        for (int k = 0; k < numSections; ++k)
        {
            if (zeroUsed[k])
                continue;

            const auto zeroAngle = std::acos (std::clamp (toDouble (zeroRoots[k].re) / 2.0, -1.0, 1.0));
            const auto distance = std::hypot (std::cos (zeroAngle) - radius * std::cos (poleAngle),
                                              std::sin (zeroAngle) - radius * std::sin (poleAngle));

            if (best < 0 || distance < bestDistance)
            {
                best = k;
                bestDistance = distance;
            }
        }

        zeroUsed[best] = true;
        section.zero = zeroRoots[best].re;
    }

    // Run the most resonant section last.
    std::reverse (sections, sections + numSections);

    // The gain makes the DC gain of the rounded sections the designed one.
    OversamplingLowpass::Sections result;
    Wide sectionsDcGain (1.0);

    for (int k = 0; k < numSections; ++k)
    {
        result.c[k] = toDouble (-sections[k].zero);
        result.a1[k] = toDouble (sections[k].a1);
        result.a2[k] = toDouble (sections[k].a2);
        sectionsDcGain = sectionsDcGain * (Wide (2.0) + Wide (result.c[k])) / (Wide (1.0) + Wide (result.a1[k]) + Wide (result.a2[k]));
    }

    Wide numeratorSum, denominatorSum;

    for (int k = 0; k <= order; ++k)
    {
        numeratorSum = numeratorSum + Wide (OversamplingLowpass::getNumerator (index, k));
        denominatorSum = denominatorSum + Wide (OversamplingLowpass::getDenominator (index, k));
    }

    result.gain = toDouble (numeratorSum / denominatorSum / sectionsDcGain);
    return result;
}

struct AllSections
{
    OversamplingLowpass::Sections byIndex[OversamplingLowpass::maxIndex + 1];

    AllSections()
    {
        for (int index = 1; index <= OversamplingLowpass::maxIndex; ++index)
            byIndex[index] = designSections (index);
    }
};
} // namespace

double OversamplingLowpass::getNumerator (int index, int k) noexcept
{
    if (index < 1 || index > maxIndex || k < 0 || k > order)
        return 0.0;

    return numeratorTable[index - 1][std::min (k, order - k)];
}

double OversamplingLowpass::getDenominator (int index, int k) noexcept
{
    if (index < 1 || index > maxIndex || k < 0 || k > order)
        return 0.0;

    return k == 0 ? 1.0 : denominatorTable[index - 1][k - 1];
}

const OversamplingLowpass::Sections& OversamplingLowpass::getSections (int index) noexcept
{
    static const AllSections sections;
    return sections.byIndex[index >= 1 && index <= maxIndex ? index : 0];
}

double OversamplingLowpass::getGroupDelay (int index, double w) noexcept
{
    if (index < 1 || index > maxIndex)
        return 0.0;

    // Each section's numerator is symmetric (one sample of delay at every frequency); its
    // denominator 1 + a1 z^-1 + a2 z^-2 takes away Re (z D'(z) / D(z)) on the unit circle.
    const auto& sections = getSections (index);
    const std::complex<double> z1 = std::polar (1.0, -w), z2 = std::polar (1.0, -2.0 * w);
    double delay = 0.0;

    for (int k = 0; k < numSections; ++k)
    {
        const auto d = 1.0 + sections.a1[k] * z1 + sections.a2[k] * z2;
        const auto weighted = sections.a1[k] * z1 + 2.0 * sections.a2[k] * z2;
        delay += 1.0 - std::real (weighted / d);
    }

    return delay;
}
