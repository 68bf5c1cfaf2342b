#include "models/cj/CJBufferOut.h"

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

void CJBufferOut::initParameters()
{
    highpass.initParameters();

    // Without a cutoff the high-pass passes everything; the buffer always couples.
    highpass.setCutoff (cutoff);
}
