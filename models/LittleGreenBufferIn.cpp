#include "models/LittleGreenBufferIn.h"

#include <algorithm>
#include <cmath>

namespace
{
// Below this the high-passes hold nothing audible and are cleared once their input is silent.
constexpr double decayedLevel = 1.0e-30;
} // namespace

LittleGreenBufferIn::LittleGreenBufferIn()
{
    typeName = "LittleGreenBufferIn";
    LittleGreenBufferIn::clearState();
    LittleGreenBufferIn::initParameters();
}

void LittleGreenBufferIn::applyCutoffs() noexcept
{
    firstHighpass.setCutoff (firstCutoff);
    secondHighpass.setCutoff (secondCutoff);
}

void LittleGreenBufferIn::setSampleRate (float rate)
{
    FxModuleBase::setSampleRate (rate);
    firstHighpass.setSampleRate (rate);
    secondHighpass.setSampleRate (rate);

    // The high-passes compute their coefficients from the rate they hold.
    applyCutoffs();
}

void LittleGreenBufferIn::clearState()
{
    firstHighpass.clearState();
    secondHighpass.clearState();
}

void LittleGreenBufferIn::initParameters()
{
    firstHighpass.initParameters();
    secondHighpass.initParameters();

    // Without a cutoff a high-pass passes everything; the buffer always couples.
    applyCutoffs();
}

void LittleGreenBufferIn::update()
{
    firstHighpass.update();
    secondHighpass.update();
}

void LittleGreenBufferIn::processStereo (float* left, float* right, int numSamples)
{
    for (int i = 0; i < numSamples; ++i)
    {
        double l = left[i];
        double r = right[i];
        const bool silentInput = l == 0.0 && r == 0.0;

        firstHighpass.processStereoSample (l, r);
        auto peak = std::max (std::abs (l), std::abs (r));

        secondHighpass.processStereoSample (l, r);
        peak = std::max (peak, std::max (std::abs (l), std::abs (r)));
        left[i] = (float) l;
        right[i] = (float) r;

        clearWhenDecayed (silentInput, peak);
    }
}

void LittleGreenBufferIn::processMono (float* samples, int numSamples)
{
    for (int i = 0; i < numSamples; ++i)
    {
        double x = samples[i];
        const bool silentInput = x == 0.0;

        firstHighpass.processMonoSample (x);
        auto peak = std::abs (x);

        secondHighpass.processMonoSample (x);
        peak = std::max (peak, std::abs (x));
        samples[i] = (float) x;

        clearWhenDecayed (silentInput, peak);
    }
}

void LittleGreenBufferIn::clearWhenDecayed (bool silentInput, double outputPeak) noexcept
{
    // The high-passes have no denormal guard of their own: with silence at the input their
    // memories would decay into that range. Deciding per sample keeps the output independent
    // of how the audio is cut into blocks.
    if (silentInput && outputPeak < decayedLevel)
        clearState();
}
