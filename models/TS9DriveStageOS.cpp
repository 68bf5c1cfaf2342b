#include "models/TS9DriveStageOS.h"

TS9DriveStageOS::TS9DriveStageOS()
{
    TS9DriveStageOS::clearState();
    TS9DriveStageOS::initParameters();
}

void TS9DriveStageOS::setSampleRate (float rate)
{
    FxModuleBase::setSampleRate (rate);
    tableReader.setSampleRate (rate);
    tableReader.loadTables ("PDRD1", false);

    // The pre-clipper runs at the host rate until applyFactor moves it.
    preClipper.setSampleRate (rate);
    setBaseRate (rate);
}

void TS9DriveStageOS::reset()
{
    clearState();
    initParameters();
}

void TS9DriveStageOS::clearState()
{
    tableReader.clearState();
    preClipper.clearState();
    OversamplingBase2::clearState();
}

void TS9DriveStageOS::initParameters()
{
    tableReader.initParameters();
    preClipper.initParameters();
    OversamplingBase2::initParameters();
}

void TS9DriveStageOS::update()
{
    preClipper.update();
    tableReader.update();
    tableReader.swapTables();
}

void TS9DriveStageOS::applyFactor()
{
    updateRate();
    preClipper.drive = driveCopy;
    preClipper.setSampleRate (getOversampledRate());
    tableReader.setOversamplingIndex (getRequestedIndex());
    OversamplingBase2::applyFactor();
    clearState();
    update();
}

void TS9DriveStageOS::processStereo (float* left, float* right, int numSamples)
{
    processOversampledStereo<OversampledOutput::addToInput> (left, right, numSamples, [this] (double& l, double& r)
                                                             {
        preClipper.processStereoSample (l, r);
        limiter.processStereoSample (l, r);
        tableReader.processStereoSample (l, r); });
}

void TS9DriveStageOS::processMono (float* samples, int numSamples)
{
    processOversampledMono<OversampledOutput::addToInput> (samples, numSamples, [this] (double& x)
                                                           {
        preClipper.processMonoSample (x);
        limiter.processMonoSample (x);
        tableReader.processMonoSample (x); });
}
