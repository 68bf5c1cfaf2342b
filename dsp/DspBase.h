#pragma once

// Root of every processing object: a sample rate, a type name and the reset/update protocol.
class DspBase
{
public:
    DspBase() = default;
    virtual ~DspBase() = default;

    DspBase (const DspBase&) = delete;
    DspBase& operator= (const DspBase&) = delete;

    virtual void setSampleRate (float rate) { sampleRate = rate; }
    virtual float getSampleRate() const { return sampleRate; }
    virtual const char* getName() const { return typeName != nullptr ? typeName : ""; }

    // Returns the object to its constructed state at the current sample rate.
    virtual void reset()
    {
        clearState();
        initParameters();
    }

    // Zeroes every signal history.
    virtual void clearState() {}

    // Returns parameters and coefficients to their initial values; the next coefficient
    // set is then taken at once, without a glide.
    virtual void initParameters() {}

    // Recomputes coefficients (or tables) from the current parameters.
    virtual void update() {}

protected:
    float sampleRate = 44100.0f;
    const char* typeName = nullptr;
};
