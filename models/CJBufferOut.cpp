#include "models/CJBufferOut.h"

#include <algorithm>
#include <cmath>

namespace
{
// Values this small are flushed, so that a decaying tail never reaches the slow denormal range.
inline double flushTiny (double y) noexcept
{
    return (y - 1.0e-20) + 1.0e-20;
}

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
    float inputPeak = 0.0f;
    double outputPeak = 0.0;

    for (int i = 0; i < numSamples; ++i)
    {
        inputPeak = std::max (inputPeak, std::max (std::abs (left[i]), std::abs (right[i])));

        double l = left[i];
        double r = right[i];
        highpass.processStereoSample (l, r);
        outputPeak = std::max (outputPeak, std::max (std::abs (l), std::abs (r)));
        left[i] = (float) (flushTiny (l) * outputGain);
        right[i] = (float) (flushTiny (r) * outputGain);
    }

    clearWhenDecayed (inputPeak, outputPeak);
}

void CJBufferOut::processMono (float* samples, int numSamples)
{
    float inputPeak = 0.0f;
    double outputPeak = 0.0;

    for (int i = 0; i < numSamples; ++i)
    {
        inputPeak = std::max (inputPeak, std::abs (samples[i]));

        double x = samples[i];
        highpass.processMonoSample (x);
        outputPeak = std::max (outputPeak, std::abs (x));
        samples[i] = (float) (flushTiny (x) * outputGain);
    }

    clearWhenDecayed (inputPeak, outputPeak);
}

void CJBufferOut::clearWhenDecayed (float inputPeak, double outputPeak) noexcept
{
    // The high-pass has no denormal guard of its own: with silence at the input its memory
    // would decay into that range.
    if (inputPeak == 0.0f && outputPeak < decayedLevel)
        clearState();
}
