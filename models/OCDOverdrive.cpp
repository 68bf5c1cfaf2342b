#include "models/OCDOverdrive.h"

OCDOverdrive::OCDOverdrive()
{
    typeName = "OCDOverdrive";
    allocateParameters (ModelParameters::count);

    for (int i = 0; i < ModelParameters::count; ++i)
        OCDOverdrive::setParameter (i, ModelParameters::getDefaultValue (i));

    OCDOverdrive::clearState();
    OCDOverdrive::initParameters();
}

void OCDOverdrive::setSampleRate (float rate)
{
    ModuleModel::setSampleRate (rate);
    frame.setSampleRate (rate);
    driveStage.setSampleRate (rate);
    diodeStage.setSampleRate (rate);
    toneVolumeStage.setSampleRate (rate);
}

void OCDOverdrive::setBlockSize (int maxSamples)
{
    ModuleModel::setBlockSize (maxSamples);
    frame.setBlockSize (maxSamples);
}

void OCDOverdrive::clearState()
{
    // The diode stage may be in the timer's hands: then every history is cleared right after
    // its rebuild (the stages do not run in between).
    if (frame.deferWhileRebuilding (ModelFrame::clearHistory))
        return;

    driveStage.clearState();
    diodeStage.clearState();
    toneVolumeStage.clearState();
}

void OCDOverdrive::initParameters()
{
    frame.initParameters();
    driveStage.initParameters();
    diodeStage.initParameters();
    toneVolumeStage.initParameters();
}

void OCDOverdrive::update()
{
    frame.fadeCheck();
    driveStage.update();
    diodeStage.update();
    toneVolumeStage.update();
}

// Drive, Tone and Level live in the drive and tone stages, which run at the host rate and
// which the timer never touches: they are routed at once, also during an oversampling change.
void OCDOverdrive::setParameter (int index, float value)
{
    storeParameter (index, value);

    switch (index)
    {
        case ModelParameters::bypass:
            frame.setRequestedOn (value > 0.0f);
            break;

        case ModelParameters::drive:
            drive = value;
            driveStage.drive = value;
            break;

        case ModelParameters::tone:
            tone = value;
            toneVolumeStage.tone = value;
            break;

        case ModelParameters::level:
            level = value;
            toneVolumeStage.level = value;
            break;

        case ModelParameters::numOverSampling:
            // Double precision, so that 1/3, 2/3 and 1 give 1, 2 and 3.
            osIndex = ModelParameters::clampOversamplingIndex ((double) value * 3.0);
            diodeStage.setFactorIndex (osIndex);
            break;

        default:
            break;
    }
}

void OCDOverdrive::parameterChanged (int index)
{
    if (frame.sharedParameterChanged (index, *this))
        return;

    switch (index)
    {
        case ModelParameters::drive:
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

void OCDOverdrive::applyDeferred (uint32_t work)
{
    if (ModelFrame::hasWork (work, ModelFrame::clearHistory))
        clearState();
}

void OCDOverdrive::start()
{
    stopTimer();

    driveStage.drive = drive;
    toneVolumeStage.tone = tone;
    toneVolumeStage.level = level;
    diodeStage.setFactorIndex (osIndex);
    frame.fadeCheck();
    driveStage.update();
    toneVolumeStage.update();
    diodeStage.initParameters();
    diodeStage.applyFactor();
    frame.beginStartFade();
}

void OCDOverdrive::processBlock (float* left, float* right, int numSamples)
{
    frame.process (
        left, right, numSamples, [this] (float* l, float* r, int n)
        { ModelFrame::runChain (l, r, n, driveStage, diodeStage, toneVolumeStage); },
        [this] (uint32_t work)
        { applyDeferred (work); });
}

void OCDOverdrive::timerCallback()
{
    if (frame.timerTick ([this]
                         { diodeStage.applyFactor(); }))
        stopTimer();
}
