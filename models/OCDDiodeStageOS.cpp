#include "models/OCDDiodeStageOS.h"

OCDDiodeStageOS::OCDDiodeStageOS()
{
    OCDDiodeStageOS::clearState();
    OCDDiodeStageOS::initParameters();
}

void OCDDiodeStageOS::setSampleRate (float rate)
{
    FxModuleBase::setSampleRate (rate);
    tableReader.setSampleRate (rate);
    tableReader.loadTables ("MDRD1", false);
    setBaseRate (rate);
}

void OCDDiodeStageOS::reset()
{
    clearState();
    initParameters();
}

void OCDDiodeStageOS::clearState()
{
    tableReader.clearState();
    OversamplingBase2::clearState();
}

void OCDDiodeStageOS::initParameters()
{
    tableReader.initParameters();
    OversamplingBase2::initParameters();
}

void OCDDiodeStageOS::update()
{
    tableReader.update();
    tableReader.swapTables();
}

void OCDDiodeStageOS::applyFactor()
{
    updateRate();
    tableReader.setOversamplingIndex (getRequestedIndex());
    OversamplingBase2::applyFactor();
    clearState();
    update();
}

void OCDDiodeStageOS::processStereo (float* left, float* right, int numSamples)
{
    processOversampledStereo<OversampledOutput::replaceInput> (left, right, numSamples, [this] (double& l, double& r)
                                                               {
        limiter.processStereoSample (l, r);
        tableReader.processStereoSample (l, r); });
}

void OCDDiodeStageOS::processMono (float* samples, int numSamples)
{
    processOversampledMono<OversampledOutput::replaceInput> (samples, numSamples, [this] (double& x)
                                                             {
        limiter.processMonoSample (x);
        tableReader.processMonoSample (x); });
}
