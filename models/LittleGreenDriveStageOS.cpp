#include "models/LittleGreenDriveStageOS.h"

LittleGreenDriveStageOS::LittleGreenDriveStageOS()
{
    typeName = "LittleGreenDriveStageOS";
    LittleGreenDriveStageOS::clearState();
    LittleGreenDriveStageOS::initParameters();
}

void LittleGreenDriveStageOS::setSampleRate (float rate)
{
    FxModuleBase::setSampleRate (rate);
    tableReader.setSampleRate (rate);
    tableReader.loadTables ("MODD1", false);

    // The pre-clipper runs at the host rate until applyFactor moves it.
    preClipper.setSampleRate (rate);
    setBaseRate (rate);
}

void LittleGreenDriveStageOS::reset()
{
    clearState();
    initParameters();
}

void LittleGreenDriveStageOS::clearState()
{
    tableReader.clearState();
    preClipper.clearState();
    OversamplingBase2::clearState();
}

void LittleGreenDriveStageOS::initParameters()
{
    tableReader.initParameters();
    preClipper.initParameters();
    OversamplingBase2::initParameters();
}

void LittleGreenDriveStageOS::update()
{
    preClipper.update();
    tableReader.update();
    tableReader.swapTables();
}

void LittleGreenDriveStageOS::applyFactor()
{
    updateRate();
    preClipper.tone = toneCopy;
    preClipper.drive = driveCopy;
    preClipper.setSampleRate (getOversampledRate());
    tableReader.setOversamplingIndex (getRequestedIndex());
    OversamplingBase2::applyFactor();
    clearState();
    update();
}

void LittleGreenDriveStageOS::processStereo (float* left, float* right, int numSamples)
{
    processOversampledStereo<OversampledOutput::addToInput> (left, right, numSamples, [this] (double& l, double& r)
                                                             {
        preClipper.processStereoSample (l, r);
        limiter.processStereoSample (l, r);
        tableReader.processStereoSample (l, r); });
}

void LittleGreenDriveStageOS::processMono (float* samples, int numSamples)
{
    processOversampledMono<OversampledOutput::addToInput> (samples, numSamples, [this] (double& x)
                                                           {
        preClipper.processMonoSample (x);
        limiter.processMonoSample (x);
        tableReader.processMonoSample (x); });
}
