#include "models/TS9Overdrive.h"

#include "models/ToneTaper.h"

TS9Overdrive::TS9Overdrive()
{
    typeName = "TS9Overdrive";
    allocateParameters (ModelParameters::count);

    for (int i = 0; i < ModelParameters::count; ++i)
        TS9Overdrive::setParameter (i, ModelParameters::getDefaultValue (i));

    TS9Overdrive::clearState();
    TS9Overdrive::initParameters();
}

void TS9Overdrive::setSampleRate (float rate)
{
    ModuleModel::setSampleRate (rate);
    frame.setSampleRate (rate);
    inputStage.setSampleRate (rate);
    driveStage.setSampleRate (rate);
    toneStage.setSampleRate (rate);
}

void TS9Overdrive::setBlockSize (int maxSamples)
{
    ModuleModel::setBlockSize (maxSamples);
    frame.setBlockSize (maxSamples);
}

void TS9Overdrive::clearState()
{
    if (frame.deferWhileRebuilding (ModelFrame::clearHistory))
        return;

    inputStage.clearState();
    driveStage.clearState();
    toneStage.clearState();
}

void TS9Overdrive::initParameters()
{
    frame.initParameters();
    inputStage.initParameters();
    driveStage.initParameters();
    toneStage.initParameters();
}

void TS9Overdrive::update()
{
    frame.fadeCheck();
    inputStage.update();
    driveStage.update();
    toneStage.update();
}

void TS9Overdrive::setParameter (int index, float value)
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

void TS9Overdrive::route (int index)
{
    switch (index)
    {
        case ModelParameters::drive:
            driveStage.setDrive (drive);
            break;

        case ModelParameters::tone:
            toneStage.tone = ToneTaper::at (tone);
            break;

        case ModelParameters::level:
            toneStage.level = level;
            break;

        default:
            break;
    }
}

void TS9Overdrive::parameterChanged (int index)
{
    if (frame.sharedParameterChanged (index, *this))
        return;

    switch (index)
    {
        case ModelParameters::drive:
            if (! frame.deferWhileRebuilding (ModelFrame::recompute + ModelParameters::drive))
                driveStage.updatePreClipper();
            break;

        case ModelParameters::tone:
        case ModelParameters::level:
            toneStage.update();
            break;

        default:
            break;
    }
}

void TS9Overdrive::applyDeferred (uint32_t work)
{
    if (ModelFrame::hasWork (work, ModelFrame::clearHistory))
        clearState();

    if (ModelFrame::hasWork (work, ModelFrame::route + ModelParameters::drive))
        route (ModelParameters::drive);

    if (ModelFrame::hasWork (work, ModelFrame::recompute + ModelParameters::drive))
        driveStage.updatePreClipper();
}

void TS9Overdrive::start()
{
    stopTimer();

    driveStage.setDrive (drive);
    toneStage.tone = ToneTaper::at (tone);
    toneStage.level = level;
    driveStage.setFactorIndex (osIndex);
    frame.fadeCheck();
    inputStage.update();
    toneStage.update();
    driveStage.initParameters();
    driveStage.applyFactor();
    frame.beginStartFade();
}

void TS9Overdrive::processBlock (float* left, float* right, int numSamples)
{
    frame.process (
        left, right, numSamples, [this] (float* l, float* r, int n)
        { ModelFrame::runChain (l, r, n, inputStage, driveStage, toneStage); },
        [this] (uint32_t work)
        { applyDeferred (work); });
}

void TS9Overdrive::timerCallback()
{
    if (frame.timerTick ([this]
                         { driveStage.applyFactor(); }))
        stopTimer();
}
