#include "models/CJDriveStageOS.h"

CJDriveStageOS::CJDriveStageOS()
{
    typeName = "CJDriveStageOS";
    CJDriveStageOS::clearState();
    CJDriveStageOS::initParameters();
}

void CJDriveStageOS::setSampleRate (float rate)
{
    FxModuleBase::setSampleRate (rate);
    tableReader.setSampleRate (rate);
    tableReader.loadTables ("BODD1", false);

    // The pre-clipper runs at the host rate until applyFactor moves it.
    preClipper.setSampleRate (rate);
    setBaseRate (rate);
}

void CJDriveStageOS::reset()
{
    clearState();
    initParameters();
}

void CJDriveStageOS::clearState()
{
    tableReader.clearState();
    preClipper.clearState();
    OversamplingBase2::clearState();
}

void CJDriveStageOS::initParameters()
{
    tableReader.initParameters();
    preClipper.initParameters();
    OversamplingBase2::initParameters();
}

void CJDriveStageOS::update()
{
    preClipper.update();
    tableReader.update();
    tableReader.swapTables();
}

void CJDriveStageOS::applyFactor()
{
    updateRate();
    preClipper.drive = CJPreClipperFilter::taperDrive (driveCopy);
    preClipper.setSampleRate (getOversampledRate());
    tableReader.setOversamplingIndex (getRequestedIndex());
    OversamplingBase2::applyFactor();
    clearState();
    update();
}

void CJDriveStageOS::processStereo (float* left, float* right, int numSamples)
{
    processOversampledStereo<OversampledOutput::addToInput> (left, right, numSamples, [this] (double& l, double& r)
                                                             {
        preClipper.processStereoSample (l, r);
        limiter.processStereoSample (l, r);
        tableReader.processStereoSample (l, r); });
}

void CJDriveStageOS::processMono (float* samples, int numSamples)
{
    processOversampledMono<OversampledOutput::addToInput> (samples, numSamples, [this] (double& x)
                                                           {
        preClipper.processMonoSample (x);
        limiter.processMonoSample (x);
        tableReader.processMonoSample (x); });
}
