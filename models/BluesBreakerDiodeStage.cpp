#include "models/BluesBreakerDiodeStage.h"

BluesBreakerDiodeStage::BluesBreakerDiodeStage()
{
    BluesBreakerDiodeStage::clearState();
    BluesBreakerDiodeStage::initParameters();
}

void BluesBreakerDiodeStage::setSampleRate (float rate)
{
    FxModuleBase::setSampleRate (rate);
    tableReader.setSampleRate (rate);
    tableReader.loadTables ("BDRD1", false);
    setBaseRate (rate);
}

void BluesBreakerDiodeStage::reset()
{
    clearState();
    initParameters();
}

void BluesBreakerDiodeStage::clearState()
{
    tableReader.clearState();
    OversamplingBase2::clearState();
}

void BluesBreakerDiodeStage::initParameters()
{
    tableReader.initParameters();
    OversamplingBase2::initParameters();
}

void BluesBreakerDiodeStage::update()
{
    tableReader.update();
    tableReader.swapTables();
}

void BluesBreakerDiodeStage::applyFactor()
{
    updateRate();
    tableReader.setOversamplingIndex (getRequestedIndex());
    OversamplingBase2::applyFactor();
    clearState();
    update();
}

void BluesBreakerDiodeStage::processStereo (float* left, float* right, int numSamples)
{
    processOversampledStereo<OversampledOutput::replaceInput> (left, right, numSamples, [this] (double& l, double& r)
                                                               {
        auto vl = l * clipperGain;
        auto vr = r * clipperGain;
        limiter.processStereoSample (vl, vr);
        tableReader.processStereoSample (vl, vr);
        l = l * cleanMix + vl;
        r = r * cleanMix + vr;
        limiter.processStereoSample (l, r); });
}

void BluesBreakerDiodeStage::processMono (float* samples, int numSamples)
{
    processOversampledMono<OversampledOutput::replaceInput> (samples, numSamples, [this] (double& x)
                                                             {
        auto v = x * clipperGain;
        limiter.processMonoSample (v);
        tableReader.processMonoSample (v);
        x = x * cleanMix + v;
        limiter.processMonoSample (x); });
}
