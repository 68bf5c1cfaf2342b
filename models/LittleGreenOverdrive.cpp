#include "models/LittleGreenOverdrive.h"

LittleGreenOverdrive::LittleGreenOverdrive()
{
    typeName = "LittleGreenOverdrive";
    allocateParameters (ModelParameters::count);

    for (int i = 0; i < ModelParameters::count; ++i)
        LittleGreenOverdrive::setParameter (i, ModelParameters::getDefaultValue (i));

    LittleGreenOverdrive::clearState();
    LittleGreenOverdrive::initParameters();
}

void LittleGreenOverdrive::setSampleRate (float rate)
{
    ModuleModel::setSampleRate (rate);
    frame.setSampleRate (rate);
    inputBuffer.setSampleRate (rate);
    driveStage.setSampleRate (rate);
    toneStage.setSampleRate (rate);
    volumeStage.setSampleRate (rate);
}

void LittleGreenOverdrive::setBlockSize (int maxSamples)
{
    ModuleModel::setBlockSize (maxSamples);
    frame.setBlockSize (maxSamples);
}

void LittleGreenOverdrive::clearState()
{
    if (frame.deferWhileRebuilding (ModelFrame::clearHistory))
        return;

    inputBuffer.clearState();
    driveStage.clearState();
    toneStage.clearState();
    volumeStage.clearState();
}

void LittleGreenOverdrive::initParameters()
{
    frame.initParameters();
    inputBuffer.initParameters();
    driveStage.initParameters();
    toneStage.initParameters();
    volumeStage.initParameters();
}

void LittleGreenOverdrive::update()
{
    frame.fadeCheck();
    inputBuffer.update();
    driveStage.update();
    toneStage.update();
    volumeStage.update();
}

void LittleGreenOverdrive::setParameter (int index, float value)
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

            // The tone stage takes Tone at once; the drive stage's pre-clipper follows Tone
            // too, and may have to wait for its rebuild.
            toneStage.tone = tone;

            if (! frame.deferWhileRebuilding (ModelFrame::route + ModelParameters::tone))
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

void LittleGreenOverdrive::route (int index)
{
    switch (index)
    {
        case ModelParameters::drive:
            driveStage.setDrive (drive);
            break;

        case ModelParameters::tone:
            driveStage.setTone (tone);
            break;

        case ModelParameters::level:
            // Picked up by the next block; no recomputation needed.
            volumeStage.targetGain = level * levelToGain;
            break;

        default:
            break;
    }
}

void LittleGreenOverdrive::parameterChanged (int index)
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
            if (! frame.deferWhileRebuilding (ModelFrame::recompute + ModelParameters::tone))
                driveStage.update();

            toneStage.update();
            break;

        case ModelParameters::level:
            volumeStage.update();
            break;

        default:
            break;
    }
}

void LittleGreenOverdrive::applyDeferred (uint32_t work)
{
    if (ModelFrame::hasWork (work, ModelFrame::clearHistory))
        clearState();

    if (ModelFrame::hasWork (work, ModelFrame::route + ModelParameters::drive))
        route (ModelParameters::drive);

    if (ModelFrame::hasWork (work, ModelFrame::route + ModelParameters::tone))
        route (ModelParameters::tone);

    if (ModelFrame::hasWork (work, ModelFrame::recompute + ModelParameters::drive)
        || ModelFrame::hasWork (work, ModelFrame::recompute + ModelParameters::tone))
        driveStage.update();
}

void LittleGreenOverdrive::start()
{
    stopTimer();

    driveStage.setDrive (drive);
    driveStage.setTone (tone);
    toneStage.tone = tone;
    volumeStage.targetGain = level * levelToGain;
    driveStage.setFactorIndex (osIndex);
    frame.fadeCheck();
    inputBuffer.update();
    toneStage.update();
    volumeStage.update();
    driveStage.initParameters();
    driveStage.applyFactor();
    frame.beginStartFade();
}

void LittleGreenOverdrive::processBlock (float* left, float* right, int numSamples)
{
    frame.process (
        left, right, numSamples, [this] (float* l, float* r, int n)
        { ModelFrame::runChain (l, r, n, inputBuffer, driveStage, toneStage, volumeStage); },
        [this] (uint32_t work)
        { applyDeferred (work); });
}

void LittleGreenOverdrive::timerCallback()
{
    if (frame.timerTick ([this]
                         { driveStage.applyFactor(); }))
        stopTimer();
}
