#pragma once

#include "dsp/ModuleModel.h"

// Stand-in for a circuit that is not built yet: it takes the model parameters and passes
// audio through unchanged.
class PlaceholderModel : public ModuleModel,
                         public juce::Timer
{
public:
    explicit PlaceholderModel (const char* modelName)
    {
        typeName = modelName;
        allocateParameters (5);

        for (int i = 0; i < 5; ++i)
            PlaceholderModel::setParameter (i, PlaceholderModel::getDefaultValue (i));
    }

    void setParameter (int index, float value) override { storeParameter (index, value); }
    void parameterChanged (int) override {}

    float getDefaultValue (int index) const override
    {
        static constexpr float defaults[] = { 1.0f, 0.5f, 0.5f, 0.5f, 0.0f };
        return (index >= 0 && index < 5) ? defaults[index] : 0.0f;
    }

    const char* getParameterName (int index) const override
    {
        static constexpr const char* names[] = { "Bypass", "Drive", "Tone", "Level", "NumOverSampling" };
        return (index >= 0 && index < 5) ? names[index] : "";
    }

    void start() override {}
    void processStereo (float*, float*, int) override {}
    void processMono (float*, int) override {}
    void timerCallback() override {}
};
