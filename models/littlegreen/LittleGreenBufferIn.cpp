#include "models/littlegreen/LittleGreenBufferIn.h"

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
