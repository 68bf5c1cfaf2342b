#include "dsp/BilinearTransform.h"

#include <algorithm>

namespace
{
double factorial (int n)
{
    auto result = 1.0;

    for (int i = 2; i <= n; ++i)
        result *= i;

    return result;
}

double binomial (int n, int k)
{
    return factorial (n) / (factorial (k) * factorial (n - k));
}
} // namespace

void BilinearTransform::discretise (int order, const double* analog, float sampleRate, double* digital) noexcept
{
    if (order < 0 || order > maxOrder)
        return;

    const auto k = 2.0 * (double) sampleRate;

    // c_n = sum_i p_i K^i sum_j (-1)^j C(i, j) C(N - i, n - j): the coefficient of z^-n in
    // p_i K^i (1 - z^-1)^i (1 + z^-1)^(N - i).
    for (int n = 0; n <= order; ++n)
    {
        auto sum = 0.0;
        auto kPower = 1.0;

        for (int i = 0; i <= order; ++i)
        {
            auto inner = 0.0;

            for (int j = std::max (0, i + n - order); j <= std::min (i, n); ++j)
                inner += ((j & 1) != 0 ? -1.0 : 1.0) * binomial (i, j) * binomial (order - i, n - j);

            sum += analog[i] * kPower * inner;
            kPower *= k;
        }

        digital[n] = sum;
    }
}
