#include "models/bluesbreaker/BluesBreakerGainStage.h"

BluesBreakerGainStage::Prototype BluesBreakerGainStage::getPrototype() const noexcept
{
    const auto r = getDriveResistance();

    return { { 1.0,
               0.010127 + 4.7e-11 * r,
               1.271551e-6 + 4.75969e-13 * r,
               1.551e-11 + 5.9762897e-17 * r,
               7.2897e-22 * r },
             { 0.0,
               0.01,
               1.27e-6 + 1.0047e-10 * r,
               1.551e-11 + 8.05969e-15 * r,
               7.2897e-22 * r } };
}
