#include "models/BluesBreakerOverdrive.h"

BluesBreakerOverdrive::BluesBreakerOverdrive()
{
    typeName = "BluesBreakerOverdrive";
    allocateParameters (ModelParameters::count);

    for (int i = 0; i < ModelParameters::count; ++i)
        BluesBreakerOverdrive::setParameter (i, ModelParameters::getDefaultValue (i));

    BluesBreakerOverdrive::clearState();
    BluesBreakerOverdrive::initParameters();
}

void BluesBreakerOverdrive::setSampleRate (float rate)
{
    ModuleModel::setSampleRate (rate);
    frame.setSampleRate (rate);
    gainStage.setSampleRate (rate);
    diodeStage.setSampleRate (rate);
    filterStage.setSampleRate (rate);
}

void BluesBreakerOverdrive::setBlockSize (int maxSamples)
{
    ModuleModel::setBlockSize (maxSamples);
    frame.setBlockSize (maxSamples);
}

void BluesBreakerOverdrive::clearState()
{
    // The diode stage may be in the timer's hands: then every history is cleared right after
    // its rebuild (the stages do not run in between).
    if (frame.deferWhileRebuilding (ModelFrame::clearHistory))
        return;

    gainStage.clearState();
    diodeStage.clearState();
    filterStage.clearState();
}

void BluesBreakerOverdrive::initParameters()
{
    frame.initParameters();
    gainStage.initParameters();
    diodeStage.initParameters();
    filterStage.initParameters();
}

void BluesBreakerOverdrive::update()
{
    frame.fadeCheck();
    gainStage.update();
    diodeStage.update();
    filterStage.update();
}

// Drive, Tone and Level live in the gain and filter stages, which run at the host rate and
// which the timer never touches: they are routed at once, also during an oversampling change.
void BluesBreakerOverdrive::setParameter (int index, float value)
{
    storeParameter (index, value);

    switch (index)
    {
        case ModelParameters::bypass:
            frame.setRequestedOn (value > 0.0f);
            break;

        case ModelParameters::drive:
            drive = value;
            gainStage.drive = value;
            break;

        case ModelParameters::tone:
            tone = value;
            filterStage.tone = value;
            break;

        case ModelParameters::level:
            level = value;
            filterStage.level = value;
            break;

        case ModelParameters::numOverSampling:
            // This circuit forms the product in single precision; for values from 0 to 1 its
            // floor never differs from that of the exact product.
            osIndex = ModelParameters::clampOversamplingIndex ((double) (value * 3.0f));
            diodeStage.setFactorIndex (osIndex);
            break;

        default:
            break;
    }
}

void BluesBreakerOverdrive::parameterChanged (int index)
{
    if (frame.sharedParameterChanged (index, *this))
        return;

    switch (index)
    {
        case ModelParameters::drive:
            gainStage.update();
            break;

        case ModelParameters::tone:
        case ModelParameters::level:
            filterStage.update();
            break;

        default:
            break;
    }
}

void BluesBreakerOverdrive::applyDeferred (uint32_t work)
{
    if (ModelFrame::hasWork (work, ModelFrame::clearHistory))
        clearState();
}

void BluesBreakerOverdrive::start()
{
    stopTimer();

    gainStage.drive = drive;
    filterStage.tone = tone;
    filterStage.level = level;
    diodeStage.setFactorIndex (osIndex);
    frame.fadeCheck();
    gainStage.update();
    filterStage.update();
    diodeStage.initParameters();
    diodeStage.applyFactor();
    frame.beginStartFade();
}

void BluesBreakerOverdrive::processBlock (float* left, float* right, int numSamples)
{
    frame.process (
        left, right, numSamples, [this] (float* l, float* r, int n)
        { ModelFrame::runChain (l, r, n, gainStage, diodeStage, filterStage); },
        [this] (uint32_t work)
        { applyDeferred (work); });
}

void BluesBreakerOverdrive::timerCallback()
{
    if (frame.timerTick ([this]
                         { diodeStage.applyFactor(); }))
        stopTimer();
}
