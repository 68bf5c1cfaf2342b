#pragma once

#include "dsp/LinearRamp.h"
#include "models/CircuitBank.h"
#include "models/FadeBuffers.h"
#include "processor/CircuitSelection.h"
#include "processor/DeferredChangeClock.h"
#include "processor/HostParameters.h"
#include "processor/ParameterValues.h"

#include <array>
#include <atomic>

// The five circuits and which of them is heard. The audio thread runs the heard circuit and,
// while the selection changes, crossfades to the incoming one; Drive, Tone and Level reach the
// circuits being heard when they move.
//
// Circuit and oversampling changes are applied 50 ms after the last change (DeferredChangeClock
// says when): the timer resets and starts a circuit that is not being heard, records the values
// it gave it, then publishes its index; the audio thread adopts it at the start of a block and
// publishes what it plays. Both live in one atomic word, so the timer decides on a consistent
// snapshot and never touches a circuit that is being heard or faded in.
//
// The circuits exist twice, as two sets of which one is in use. An offline render starts at
// once, waiting for nothing: when the message thread is working on the set in use at that
// moment (applying a change it began just before, or a circuit's timer rebuilding a stage), the
// render starts on the other set, which nobody else touches; what the message thread finishes
// on the set it left is never heard.
class CircuitSwitcher
{
public:
    static constexpr int numModels = HostParameters::numModels;
    static_assert (numModels == CircuitBank::numCircuits);
    static constexpr int deferredChangeDelayMs = DeferredChangeClock::delayMs;

    explicit CircuitSwitcher (const ParameterValues& values);
    ~CircuitSwitcher();

    // Samples a circuit takes to fade in when it starts (and a crossfade lasts).
    static int getStartFadeLength (float sampleRate) noexcept;

    // Rate and block size for every circuit, and the crossfade length (twice the ramp).
    void prepare (float sampleRate, int capacity, int rampLength);
    float getSampleRate() const noexcept { return clock.getSampleRate(); }
    void release();

    // Selects, resets and starts every circuit with the live values, with no crossfade.
    // Returns the oversampling index it applied. Not while other threads may apply changes.
    int reset();

    // The same on the audio thread when an offline render starts, which from then on applies
    // every change itself: the heard circuit starts at full level (the render begins from
    // silence), on a set of circuits nobody else is working on.
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

    // Audio thread, before the dry path processes a block: the factor the dry path must move
    // to (the one a change applied to the circuits in use), or -1 when it stays.
    int takeAlignmentRequest() noexcept;

    //==============================================================================
    // Offline renders run faster than real time, so there the 50 ms are counted in samples and
    // the change is made on the audio thread at the sample it falls due: two renders of the
    // same automation are identical. Audio thread, at the start of every piece of a block:
    //   setOffline (whether the host renders offline now; resetForRender starts a render);
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
    // One set of the five circuits, with what was applied to it.
    struct CircuitSet
    {
        CircuitBank circuits;

        // The Drive, Tone and Level a prepared circuit was started with.
        std::array<std::atomic<float>, 3> preparedKnobs {};

        // The factor index forwarded to these circuits.
        std::atomic<int> oversamplingIndex { 0 };

        // A factor the dry path has to follow, -1 when none.
        std::atomic<int> alignmentRequest { -1 };
    };

    ModuleModel& heardSetCircuit (int index) noexcept { return sets[(size_t) activeSet].circuits[index]; }
    int resetSet();
    void adoptPreparedModel();
    void mixIncoming (float* left, float* right, int numSamples);
    void forwardParameter (int modelParameter, float value, float& lastForwarded, bool fading);
    // Resets and starts a circuit with these Drive, Tone and Level values and factor.
    static void startCircuit (ModuleModel& model, const std::array<float, 3>& knobs, int oversamplingIndex);
    void startModelForTimer (CircuitSet& set, int model);

    // Applies the live choice to one set; retry is set when it must be tried again later.
    int applyLatestChoice (int setIndex, bool& retry);
    // The same from the message thread, which tries again on a later tick.
    int applyLatestChoiceOrRetryLater (int setIndex);

    const ParameterValues& values;

    FadeBuffers crossfadeBuffers; // the incoming circuit's block during a circuit crossfade
    FadeBuffers modelDryBuffers; // shared by the circuits' own fades (one circuit runs at a time)

    std::array<CircuitSet, 2> sets;
    int activeSet = 0; // audio thread
    std::atomic<int> liveSet { 0 }; // what the message thread works on

    // Crossfade state, owned by the audio thread.
    int currentModel = 0;
    int targetModel = 0;
    bool crossfadeActive = false;
    LinearRamp<float> crossfadeGain { 1.0f }; // the outgoing circuit's

    float lastDrive = 0.5f, lastTone = 0.5f, lastLevel = 0.5f;

    CircuitSelection selection;

    // When a circuit or oversampling change falls due, in real time and offline.
    DeferredChangeClock clock;
};
