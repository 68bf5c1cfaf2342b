#include "models/bluesbreaker/BluesBreakerGainStage.h"

BluesBreakerGainStage::Prototype BluesBreakerGainStage::getPrototype() const noexcept
{
    Prototype p;
    auto& a = p.denominator;
    auto& b = p.numerator;

    const auto r = getDriveResistance();

    a[0] = 1.0;
    a[1] = 0.010127 + 4.7e-11 * r;
    a[2] = 1.271551e-6 + 4.75969e-13 * r;
    a[3] = 1.551e-11 + 5.9762897e-17 * r;
    a[4] = 7.2897e-22 * r;

    b[0] = 0.0;
    b[1] = 0.01;
    b[2] = 1.27e-6 + 1.0047e-10 * r;
    b[3] = 1.551e-11 + 8.05969e-15 * r;
    b[4] = 7.2897e-22 * r;
    return p;
}
