#include "models/CJOverdrive.h"

CJOverdrive::CJOverdrive()
{
    typeName = "CJOverdrive";
    allocateParameters (ModelParameters::count);

    for (int i = 0; i < ModelParameters::count; ++i)
        CJOverdrive::setParameter (i, ModelParameters::getDefaultValue (i));

    CJOverdrive::clearState();
    CJOverdrive::initParameters();
}

void CJOverdrive::setSampleRate (float rate)
{
    ModuleModel::setSampleRate (rate);
    frame.setSampleRate (rate);
    inputBuffer.setSampleRate (rate);
    driveStage.setSampleRate (rate);
    toneVolumeStage.setSampleRate (rate);
    outputBuffer.setSampleRate (rate);
}

void CJOverdrive::setBlockSize (int maxSamples)
{
    ModuleModel::setBlockSize (maxSamples);
    frame.setBlockSize (maxSamples);
}

void CJOverdrive::clearState()
{
    if (frame.deferWhileRebuilding (ModelFrame::clearHistory))
        return;

    inputBuffer.clearState();
    driveStage.clearState();
    toneVolumeStage.clearState();
    outputBuffer.clearState();
}

void CJOverdrive::initParameters()
{
    frame.initParameters();
    inputBuffer.initParameters();
    driveStage.initParameters();
    toneVolumeStage.initParameters();
    outputBuffer.initParameters();
}

void CJOverdrive::update()
{
    frame.fadeCheck();
    inputBuffer.update();
    driveStage.update();
    toneVolumeStage.update();
    outputBuffer.update();
}

void CJOverdrive::setParameter (int index, float value)
{
    storeParameter (index, value);

    switch (index)
    {
        case ModelParameters::bypass:
            frame.setRequestedOn (value > 0.0f);
            break;

        case ModelParameters::drive:
            drive = value;

            // The drive stage may be in the timer's hands: then it gets the value right
            // after its rebuild.
            if (! frame.deferWhileRebuilding (ModelFrame::route + ModelParameters::drive))
                route (ModelParameters::drive);
            break;

        case ModelParameters::tone:
            tone = value;
            route (ModelParameters::tone);
            break;

        case ModelParameters::level:
            level = value;
            route (ModelParameters::level);
            break;

        case ModelParameters::numOverSampling:
            // Double precision, so that 1/3, 2/3 and 1 give 1, 2 and 3.
            osIndex = ModelParameters::clampOversamplingIndex ((double) value * 3.0);
            driveStage.setFactorIndex (osIndex);
            break;

        default:
            break;
    }
}

void CJOverdrive::route (int index)
{
    switch (index)
    {
        case ModelParameters::drive:
            driveStage.setDrive (drive);
            break;

        case ModelParameters::tone:
            toneVolumeStage.tone = tone;
            break;

        case ModelParameters::level:
            toneVolumeStage.level = level;
            break;

        default:
            break;
    }
}

void CJOverdrive::parameterChanged (int index)
{
    if (frame.sharedParameterChanged (index, *this))
        return;

    switch (index)
    {
        case ModelParameters::drive:
            if (! frame.deferWhileRebuilding (ModelFrame::recompute + ModelParameters::drive))
                driveStage.update();
            break;

        case ModelParameters::tone:
        case ModelParameters::level:
            toneVolumeStage.update();
            break;

        default:
            break;
    }
}

void CJOverdrive::applyDeferred (uint32_t work)
{
    if (ModelFrame::hasWork (work, ModelFrame::clearHistory))
        clearState();

    if (ModelFrame::hasWork (work, ModelFrame::route + ModelParameters::drive))
        route (ModelParameters::drive);

    if (ModelFrame::hasWork (work, ModelFrame::recompute + ModelParameters::drive))
        driveStage.update();
}

void CJOverdrive::start()
{
    stopTimer();

    driveStage.setDrive (drive);
    toneVolumeStage.tone = tone;
    toneVolumeStage.level = level;
    driveStage.setFactorIndex (osIndex);
    frame.fadeCheck();
    inputBuffer.update();
    toneVolumeStage.update();
    outputBuffer.update();
    driveStage.initParameters();
    driveStage.applyFactor();
    frame.beginStartFade();
}

void CJOverdrive::processBlock (float* left, float* right, int numSamples)
{
    frame.process (
        left, right, numSamples, [this] (float* l, float* r, int n)
        { ModelFrame::runChain (l, r, n, inputBuffer, driveStage, toneVolumeStage, outputBuffer); },
        [this] (uint32_t work)
        { applyDeferred (work); });
}

void CJOverdrive::timerCallback()
{
    if (frame.timerTick ([this]
                         { driveStage.applyFactor(); }))
        stopTimer();
}
