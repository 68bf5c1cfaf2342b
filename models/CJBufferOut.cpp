#include "models/CJBufferOut.h"

#include <algorithm>
#include <cmath>

namespace
{
// Below this the high-pass holds nothing audible and is cleared once its input is silent.
constexpr double decayedLevel = 1.0e-30;
} // namespace

CJBufferOut::CJBufferOut()
{
    typeName = "CJBufferOut";
    CJBufferOut::clearState();
    CJBufferOut::initParameters();
}

void CJBufferOut::setSampleRate (float rate)
{
    FxModuleBase::setSampleRate (rate);
    highpass.setSampleRate (rate);

    // The high-pass computes its coefficients from the rate it holds.
    highpass.setCutoff (cutoff);
}

void CJBufferOut::clearState()
{
    highpass.clearState();
}

void CJBufferOut::initParameters()
{
    highpass.initParameters();

    // Without a cutoff the high-pass passes everything; the buffer always couples.
    highpass.setCutoff (cutoff);
}

void CJBufferOut::update()
{
    highpass.update();
}

void CJBufferOut::processStereo (float* left, float* right, int numSamples)
{
    for (int i = 0; i < numSamples; ++i)
    {
        double l = left[i];
        double r = right[i];
        const bool silentInput = l == 0.0 && r == 0.0;

        highpass.processStereoSample (l, r);
        const auto peak = std::max (std::abs (l), std::abs (r));
        left[i] = (float) (l * outputGain);
        right[i] = (float) (r * outputGain);

        clearWhenDecayed (silentInput, peak);
    }
}

void CJBufferOut::processMono (float* samples, int numSamples)
{
    for (int i = 0; i < numSamples; ++i)
    {
        double x = samples[i];
        const bool silentInput = x == 0.0;

        highpass.processMonoSample (x);
        const auto peak = std::abs (x);
        samples[i] = (float) (x * outputGain);

        clearWhenDecayed (silentInput, peak);
    }
}

void CJBufferOut::clearWhenDecayed (bool silentInput, double outputPeak) noexcept
{
    // The high-pass has no denormal guard of its own: with silence at the input its memory
    // would decay into that range. Deciding per sample keeps the output independent of how
    // the audio is cut into blocks.
    if (silentInput && outputPeak < decayedLevel)
        clearState();
}
