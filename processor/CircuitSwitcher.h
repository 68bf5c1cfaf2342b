#pragma once

#include "models/FadeBuffers.h"
#include "models/bluesbreaker/BluesBreakerOverdrive.h"
#include "models/cj/CJOverdrive.h"
#include "models/littlegreen/LittleGreenOverdrive.h"
#include "models/ocd/OCDOverdrive.h"
#include "models/ts9/TS9Overdrive.h"
#include "processor/HostParameters.h"
#include "processor/ParameterValues.h"

#include <array>
#include <atomic>
#include <cstdint>

// The five circuits and which of them is heard. The audio thread runs the heard circuit and,
// while the selection changes, crossfades to the incoming one; Drive, Tone and Level reach the
// circuits being heard when they move.
//
// Circuit and oversampling changes are applied on the message thread, 50 ms after the last
// change: the timer resets and starts a circuit that is not being heard, records the values it
// gave it, then publishes its index; the audio thread adopts it at the start of a block and
// publishes what it plays. Both live in one atomic word, so the timer decides on a consistent
// snapshot and never touches a circuit that is being heard or faded in.
class CircuitSwitcher
{
public:
    static constexpr int numModels = HostParameters::numModels;
    static constexpr int deferredChangeDelayMs = 50;

    explicit CircuitSwitcher (const ParameterValues& values);
    ~CircuitSwitcher();

    // Rate and block size for every circuit, and the crossfade length (twice the ramp).
    void prepare (float sampleRate, int capacity, int rampLength);
    float getSampleRate() const noexcept { return sampleRate; }
    void release();

    // Selects, resets and starts every circuit with the live values, with no crossfade.
    // Returns the oversampling index it applied.
    int reset();

    // The same on the audio thread when an offline render starts: it first waits for a change
    // the message thread may be applying (offline, waiting costs nothing audible).
    int resetForRender();

    //==============================================================================
    // Audio thread: switching on starts the heard circuits from a clean history.
    void clearHeardHistories();

    // Audio thread: one block in place (right == nullptr for mono), crossfading when a new
    // circuit comes in. Samples that are not numbers leave as silence, and the circuits that
    // made them start again from a clean history.
    void process (float* left, float* right, int numSamples);

    //==============================================================================
    // Any thread: the circuit or the oversampling choice changed.
    void noteDeferredChange() noexcept;

    // Message thread, on every timer tick: once 50 ms have passed since the last change, apply
    // it. Both return the new oversampling index, or -1 when it did not change. Nothing is
    // applied here while the host renders offline.
    int pollDeferredChanges();
    int applyDeferredChanges();

    //==============================================================================
    // Offline renders run faster than real time, so there the 50 ms are counted in samples and
    // the change is made on the audio thread at the sample it falls due: two renders of the
    // same automation are identical. Audio thread, at the start of every piece of a block:
    //   setOffline (whether the host renders offline now; a render starts from clean
    //     circuit histories);
    //   getSamplesBeforeDeferredChange: samples that can be processed before a change falls
    //     due (0: apply it now with applyDueChange, which returns as applyDeferredChanges does),
    //     or -1 when none is waiting;
    //   then advanceDeferredCountdown with the samples processed.
    void setOffline (bool offline) noexcept;
    int getSamplesBeforeDeferredChange() noexcept;
    int applyDueChange();
    void advanceDeferredCountdown (int numSamples) noexcept;

    //==============================================================================
    ModuleModel& getModel (int index);
    int getHeardModel() const noexcept;
    bool isCrossfading() const noexcept;

private:
    void adoptPreparedModel();
    void mixIncoming (float* left, float* right, int numSamples);
    void forwardParameter (int modelParameter, float value, float& lastForwarded, bool fading);
    void publishModelState() noexcept;
    void startModelForTimer (int model);
    int applyLatestChoice();
    int retryIntervalSamples() const noexcept;

    const ParameterValues& values;

    FadeBuffers crossfadeBuffers; // the incoming circuit's block during a circuit crossfade
    FadeBuffers modelDryBuffers; // shared by the circuits' own fades

    CJOverdrive cjOverdrive;
    BluesBreakerOverdrive bluesBreakerOverdrive;
    LittleGreenOverdrive littleGreenOverdrive;
    OCDOverdrive ocdOverdrive;
    TS9Overdrive ts9Overdrive;
    std::array<ModuleModel*, numModels> models;

    // Crossfade state, owned by the audio thread.
    int currentModel = 0;
    int targetModel = 0;
    bool crossfadeActive = false;
    float crossfadeGain = 1.0f;
    float crossfadeStep = 0.0f;
    float crossfadeStepBase = 0.0f;

    float lastDrive = 0.5f, lastTone = 0.5f, lastLevel = 0.5f;

    // What the audio thread plays (written by it) and the circuit the timer prepared (set by
    // the timer, taken by the audio thread), in one word.
    std::atomic<int> modelState { 0 };
    std::array<std::atomic<float>, 3> pendingModelValues {};

    // The factor index forwarded to the circuits.
    std::atomic<int> oversamplingIndex { 0 };

    // Debounce of circuit and oversampling changes, stamped on any thread.
    std::atomic<uint32_t> deferredChangeStamp { 0 };
    std::atomic<uint32_t> deferredChangeTimeMs { 0 };
    uint32_t appliedChangeStamp = 0;
    bool retryDeferredChange = false;

    // Offline renders (audio thread): the countdown to a change in samples, -1 when none.
    std::atomic<bool> offline { false };
    uint32_t offlineSeenStamp = 0;
    int offlineCountdown = -1;
    float sampleRate = 44100.0f;

    // Held by whichever thread applies a change; the audio thread never waits for it.
    std::atomic<bool> applying { false };
};
