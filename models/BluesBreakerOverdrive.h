#pragma once

#include "dsp/ModuleModel.h"
#include "models/BluesBreakerDiodeStage.h"
#include "models/BluesBreakerFilterStage.h"
#include "models/BluesBreakerGainStage.h"
#include "models/ModelFrame.h"
#include "models/ModelParameters.h"

// "Blues Overdrive": the gain stage, the oversampled diode clipper mixed with the clean signal
// (its result replaces its input), and the tone and level network.
class BluesBreakerOverdrive final : public ModuleModel,
                                    public juce::Timer
{
public:
    BluesBreakerOverdrive();

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

    BluesBreakerGainStage gainStage;
    BluesBreakerDiodeStage diodeStage;
    BluesBreakerFilterStage filterStage;

private:
    void applyDeferred (uint32_t work);

    // One block through the frame; right == nullptr for mono.
    void processBlock (float* left, float* right, int numSamples);

    float drive = 0.0f;
    float tone = 0.0f;
    float level = 0.0f;
    int osIndex = 0;
    ModelFrame frame;
};
