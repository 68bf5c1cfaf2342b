#pragma once

// The 14th-order elliptic low-passes of the oversampled drive stages and of the dry-path
// alignment, one per oversampling index 1 to 3 (factor 2, 4, 8), designed for the oversampled
// rate. The designed polynomials are the reference; they run as cascaded second-order
// sections because the expanded 8x denominator nearly vanishes at low frequencies (its
// coefficients sum to about 1.6e-8) and would amplify double rounding by about 1e8.
class OversamplingLowpass
{
public:
    static constexpr int maxIndex = 3;
    static constexpr int order = 14;
    static constexpr int numSections = order / 2;

    // Coefficient of z^-k (k = 0..14) of the designed numerator (symmetric: b[14 - k] = b[k])
    // and denominator (a[0] = 1). Index 0 and k outside 0..14 give 0.
    static double getNumerator (int index, int k) noexcept;
    static double getDenominator (int index, int k) noexcept;

    // gain, then sections k = 0..6: y = x[n] + c x[n-1] + x[n-2] - a1 y[n-1] - a2 y[n-2]. The
    // zeros lie on the unit circle, so every section numerator is 1 + c z^-1 + z^-2; with the
    // gain in front, a sample passes the cascade through one addition per section.
    struct Sections
    {
        double gain = 0.0;
        double c[numSections] {};
        double a1[numSections] {};
        double a2[numSections] {};
    };

    // Sections with the same poles, zeros and DC gain as the designed polynomials of the index,
    // ordered from the least to the most resonant pole pair. Index 0 gives all zeros. The first
    // call factors all three filters (a few milliseconds); the result is never recomputed.
    static const Sections& getSections (int index) noexcept;

    // Group delay of the filter of an index, in samples of the oversampled rate, at a frequency
    // given in radians per oversampled sample. 0 for index 0.
    static double getGroupDelay (int index, double radiansPerSample) noexcept;
};
