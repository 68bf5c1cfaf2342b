#pragma once

#include "dsp/FxModuleBase.h"

#include <memory>

// A complete effect model: named parameters (normalised 0..1), a block-size contract and a
// start operation.
class FxBase : public FxModuleBase
{
public:
    // Stores the value and hands it to the stages it concerns, without recomputing anything.
    virtual void setParameter (int index, float value) = 0;

    // Applies the stored value of one parameter now.
    virtual void parameterChanged (int index) = 0;

    virtual float getDefaultValue (int index) const = 0;

    virtual float getParameter (int index) const
    {
        if (parameters == nullptr || index < 0 || index >= numParameters)
            return 0.0f;

        return parameters[(size_t) index];
    }

    virtual float* getParameters() { return parameters.get(); }
    virtual const char* getParameterName (int index) const = 0;
    virtual int getNumParameters() const { return numParameters; }

    virtual void setBlockSize (int maxSamples) { blockSize = maxSamples; }
    virtual int getBlockSize() const { return blockSize; }

    virtual void setReservedValue (float value) { reservedValue = value; }
    virtual float getReservedValue() const { return reservedValue; }

    // Pushes every stored parameter into the stages, recomputes everything, clears the
    // signal state and begins output with a fade-in.
    virtual void start() = 0;

protected:
    // Called by a concrete model's constructor; all entries start at 0.
    void allocateParameters (int count)
    {
        parameters = std::make_unique<float[]> ((size_t) count);
        numParameters = count;
    }

    // Stores a value when the index is inside the array.
    void storeParameter (int index, float value)
    {
        if (parameters != nullptr && index >= 0 && index < numParameters)
            parameters[(size_t) index] = value;
    }

    std::unique_ptr<float[]> parameters;
    int numParameters = 0;
    int blockSize = 0;
    float reservedValue = 120.0f;
};
