#pragma once

#include "dsp/FxBase.h"

struct FadeBuffers;

// Base of the pedal models: channel settings and a process dispatcher. The models send no
// messages, and they are made and run where no message manager exists (the renderer, tests).
class ModuleModel : public FxBase
{
public:
    ModuleModel() { typeName = "ModuleModel"; }

    void processStereo (float*, float*, int) override {}
    void processMono (float*, int) override {}

    virtual void setInputChannels (int channels) { inputChannels = channels; }
    virtual int getInputChannels() const { return inputChannels; }
    virtual void setOutputChannels (int channels) { outputChannels = channels; }
    virtual int getOutputChannels() const { return outputChannels; }
    virtual bool isSpecialModel() const { return false; }
    virtual void setOptionA (int value) { optionA = value; }
    virtual int getOptionA() const { return optionA; }
    virtual void setOptionB (int value) { optionB = value; }
    virtual int getOptionB() const { return optionB; }
    virtual int isActive() const { return active; }
    virtual void activate() { active = 1; }
    virtual void deactivate() { active = 0; }

    // The dry buffers of the model's fades: shared ones instead of its own from now on.
    virtual void shareDryBuffers (FadeBuffers&) {}

    // Stops the model's message-thread timer for good and waits out a running callback. An
    // owner that may destroy the model away from the message thread calls this first.
    virtual void detachTimer() {}

    // One tick of that timer. Message thread (tests call it directly).
    virtual void timerCallback() {}

    // Mono input: the processed first buffer is copied into the second. Other channel counts
    // than 1 and 2 leave both buffers untouched.
    virtual void process (float* first, float* second, int numSamples);

    // Offline renders run faster than real time, so work a model would leave to a timer is
    // done on the audio thread instead: while rendering offline, the audio thread calls
    // completeDeferredWork after each block the model processed, and the timer stands aside.
    virtual void setRenderingOffline (bool) noexcept {}
    virtual void completeDeferredWork() {}

    // True while the timer is doing that work. A timer that begins after setRenderingOffline
    // (true) does nothing, so an owner that sets that first and then finds this false has the
    // model to itself.
    virtual bool isDeferredWorkRunning() const noexcept { return false; }

    // Before start: every filter takes its next coefficients at once, as in a model just built,
    // instead of gliding to them from the ones it had (so the start does not depend on what the
    // model played before).
    virtual void forgetCoefficients() noexcept {}

    // Right after start: the model is heard at full level at once instead of fading in (a
    // render starting from silence has nothing to fade from).
    virtual void skipStartFade() noexcept {}

private:
    int active = 0;
    int optionA = 0;
    int optionB = 0;
    int inputChannels = 1;
    int outputChannels = 1;
};
