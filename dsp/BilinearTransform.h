#pragma once

// Discretises an analog polynomial in s by the substitution s = K (1 - z^-1) / (1 + z^-1),
// K = 2 fs (no frequency pre-warping), multiplied through by (1 + z^-1)^order.
class BilinearTransform
{
public:
    static constexpr int maxOrder = 8;

    // analog: order + 1 coefficients in ascending powers of s. digital: order + 1 coefficients
    // of z^0 .. z^-order. Orders outside 0..maxOrder leave digital untouched.
    static void discretise (int order, const double* analog, float sampleRate, double* digital) noexcept;
};
