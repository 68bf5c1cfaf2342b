#pragma once

#include "dsp/ModuleModel.h"
#include "models/ModelFrame.h"
#include "models/ModelParameters.h"
#include "models/TS9DriveStageOS.h"
#include "models/TS9InputStage.h"
#include "models/TS9ToneStage.h"

// "Pro Overdrive": input coupling high-pass, the oversampled op-amp clipping stage added to
// its input, and the passive tone and level network.
class TS9Overdrive final : public ModuleModel,
                           public juce::Timer
{
public:
    TS9Overdrive();

    void setSampleRate (float rate) override;
    void setBlockSize (int maxSamples) override;
    void clearState() override;
    void initParameters() override;
    void update() override;

    void setParameter (int index, float value) override;
    void parameterChanged (int index) override;
    float getDefaultValue (int index) const override { return ModelParameters::getDefaultValue (index); }
    const char* getParameterName (int index) const override { return ModelParameters::getName (index); }
    void start() override;

    void processStereo (float* left, float* right, int numSamples) override { processBlock (left, right, numSamples); }
    void processMono (float* samples, int numSamples) override { processBlock (samples, nullptr, numSamples); }

    // Completes an oversampling change once the audio path has gone silent.
    void timerCallback() override;

    const ModelFrame& getFrame() const noexcept { return frame; }
    int getOversamplingIndex() const noexcept { return osIndex; }

    TS9InputStage inputStage;
    TS9DriveStageOS driveStage;
    TS9ToneStage toneStage;

private:
    void route (int index);
    void applyDeferred (uint32_t work);

    // One block through the frame; right == nullptr for mono.
    void processBlock (float* left, float* right, int numSamples);

    float drive = 0.0f;
    float tone = 0.0f;
    float level = 0.0f;
    int osIndex = 0;
    ModelFrame frame;
};
