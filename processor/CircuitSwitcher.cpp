#include "processor/CircuitSwitcher.h"

#include "models/ModelFrame.h"
#include "models/ModelParameters.h"

#include <juce_core/juce_core.h>

#include <algorithm>
#include <cmath>

namespace
{
// Replaces what is not a number by silence; true when there was any.
bool silenceNonFinite (float* samples, int numSamples) noexcept
{
    bool found = false;

    for (int i = 0; i < numSamples; ++i)
    {
        if (! std::isfinite (samples[i]))
        {
            samples[i] = 0.0f;
            found = true;
        }
    }

    return found;
}
} // namespace

CircuitSwitcher::CircuitSwitcher (const ParameterValues& liveValues)
    : values (liveValues)
{
    // The circuits run one after the other, each mixing its fades within its own block.
    for (auto& set : sets)
        for (auto* model : set.circuits)
            model->shareDryBuffers (modelDryBuffers);
}

CircuitSwitcher::~CircuitSwitcher()
{
    // The circuits' own timers may be due on the message thread while this runs elsewhere.
    for (auto& set : sets)
        for (auto* model : set.circuits)
            model->detachTimer();
}

int CircuitSwitcher::getStartFadeLength (float rate) noexcept
{
    return ModelFrame::startFadeLength (rate);
}

ModuleModel& CircuitSwitcher::getModel (int index)
{
    return sets[(size_t) liveSet.load()].circuits[index];
}

int CircuitSwitcher::getHeardModel() const noexcept
{
    return selection.snapshot().heard;
}

bool CircuitSwitcher::isCrossfading() const noexcept
{
    return selection.snapshot().fading;
}

//==============================================================================
void CircuitSwitcher::prepare (float rate, int capacity, int rampLength)
{
    clock.setSampleRate (rate);
    crossfadeGain.setLength (2 * rampLength);

    crossfadeBuffers.allocate (capacity);
    modelDryBuffers.allocate (capacity);

    for (auto& set : sets)
    {
        for (auto* model : set.circuits)
        {
            model->setSampleRate (rate);
            model->setBlockSize (capacity);
        }
    }
}

void CircuitSwitcher::release()
{
    crossfadeBuffers.allocate (0);
}

int CircuitSwitcher::reset()
{
    // Everything set from here on is applied now; earlier changes need no timer.
    clock.settle();
    return resetSet();
}

int CircuitSwitcher::resetSet()
{
    const auto m = HostParameters::getModelIndex (values.get (HostParameters::overdriveType));
    crossfadeActive = false;
    crossfadeGain.setValue (1.0f);
    targetModel = currentModel = m;
    selection.reset (m, activeSet);

    lastDrive = values.get (HostParameters::overdrive);
    lastTone = values.get (HostParameters::tone);
    lastLevel = values.get (HostParameters::level);
    const auto o = HostParameters::getOversamplingIndex (values.get (HostParameters::oversampling));
    auto& set = sets[(size_t) activeSet];

    // Every circuit starts over as if just built, whatever it played before.
    for (auto* model : set.circuits)
    {
        model->forgetCoefficients();
        startCircuit (*model, { lastDrive, lastTone, lastLevel }, o);
    }

    set.oversamplingIndex.store (o);
    set.alignmentRequest.store (-1);
    return o;
}

int CircuitSwitcher::resetForRender()
{
    // The circuits' timers stand aside from here on, and the message thread applies nothing:
    // both look after marking themselves busy, and this looks after marking the render, so an
    // apply or a rebuild still running here began before and is seen.
    for (auto& set : sets)
        for (auto* model : set.circuits)
            model->setRenderingOffline (true);

    const auto busyTag = clock.beginRender();
    auto busy = busyTag == activeSet;

    for (auto* model : sets[(size_t) activeSet].circuits)
        busy = busy || model->isDeferredWorkRunning();

    // The message thread does one thing at a time, so the other set is free.
    if (busy)
    {
        activeSet = 1 - activeSet;
        liveSet.store (activeSet);
    }

    const auto o = resetSet();
    heardSetCircuit (currentModel).skipStartFade();
    return o;
}

//==============================================================================
void CircuitSwitcher::clearHeardHistories()
{
    heardSetCircuit (currentModel).clearState();

    if (crossfadeActive)
        heardSetCircuit (targetModel).clearState();
}

void CircuitSwitcher::process (float* left, float* right, int n)
{
    // A circuit prepared by the timer starts its crossfade at a block boundary.
    adoptPreparedModel();

    const bool fading = crossfadeActive;

    forwardParameter (ModelParameters::drive, values.get (HostParameters::overdrive), lastDrive, fading);
    forwardParameter (ModelParameters::tone, values.get (HostParameters::tone), lastTone, fading);
    forwardParameter (ModelParameters::level, values.get (HostParameters::level), lastLevel, fading);

    if (fading)
    {
        std::copy (left, left + n, crossfadeBuffers.left.data());

        if (right != nullptr)
            std::copy (right, right + n, crossfadeBuffers.right.data());
    }

    auto& heard = heardSetCircuit (currentModel);

    if (right != nullptr)
        heard.processStereo (left, right, n);
    else
        heard.processMono (left, n);

    if (clock.isOffline())
        heard.completeDeferredWork();

    if (fading)
        mixIncoming (left, right, n);

    // A circuit that went unstable is heard as silence and starts again from a clean history.
    auto nonFinite = silenceNonFinite (left, n);

    if (right != nullptr && silenceNonFinite (right, n))
        nonFinite = true;

    if (nonFinite)
        clearHeardHistories();
}

void CircuitSwitcher::mixIncoming (float* left, float* right, int n)
{
    auto& incoming = heardSetCircuit (targetModel);

    if (right != nullptr)
        incoming.processStereo (crossfadeBuffers.left.data(), crossfadeBuffers.right.data(), n);
    else
        incoming.processMono (crossfadeBuffers.left.data(), n);

    if (clock.isOffline())
        incoming.completeDeferredWork();

    // The outgoing circuit fades out linearly; the incoming one fades itself in from
    // silence over the same length, so it is added at full level.
    for (int i = 0; i < n; ++i)
    {
        if (crossfadeGain.isRamping())
        {
            crossfadeGain.next();

            if (! crossfadeGain.isRamping())
            {
                crossfadeActive = false;
                currentModel = targetModel;
            }
        }

        const auto gain = crossfadeGain.getValue();
        left[i] = left[i] * gain + crossfadeBuffers.left[(size_t) i];

        if (right != nullptr)
            right[i] = right[i] * gain + crossfadeBuffers.right[(size_t) i];
    }

    if (! crossfadeActive)
        selection.publish (currentModel, targetModel, crossfadeActive);
}

void CircuitSwitcher::adoptPreparedModel()
{
    const auto next = selection.takePrepared (currentModel);

    if (next < 0 || next == currentModel)
        return;

    // A new choice during a crossfade replaces the incoming circuit at once; the outgoing one
    // stays the one being faded out.
    targetModel = next;
    crossfadeActive = true;
    crossfadeGain.setValue (1.0f);
    crossfadeGain.setTarget (0.0f);

    // Values that moved after the timer prepared the circuit reach it now.
    auto& incoming = heardSetCircuit (targetModel);
    const float latest[] = { lastDrive, lastTone, lastLevel };
    const auto& prepared = sets[(size_t) activeSet].preparedKnobs;

    for (int k = 0; k < 3; ++k)
    {
        if (latest[k] != prepared[(size_t) k].load (std::memory_order_relaxed))
        {
            incoming.setParameter (ModelParameters::drive + k, latest[k]);
            incoming.parameterChanged (ModelParameters::drive + k);
        }
    }
}

void CircuitSwitcher::forwardParameter (int modelParameter, float value, float& lastForwarded, bool fading)
{
    if (value == lastForwarded)
        return;

    // Only the circuits being heard are touched here: the others belong to the timer, which
    // gives them the live values when it starts them.
    heardSetCircuit (currentModel).setParameter (modelParameter, value);

    if (fading)
        heardSetCircuit (targetModel).setParameter (modelParameter, value);

    // Coefficients are recomputed in the circuit the output is heading to.
    heardSetCircuit (fading ? targetModel : currentModel).parameterChanged (modelParameter);

    lastForwarded = value;
}

//==============================================================================
void CircuitSwitcher::noteDeferredChange() noexcept
{
    // This may run on the audio thread: no timer is started here, the message thread polls.
    clock.noteChange();
}

int CircuitSwitcher::pollDeferredChanges()
{
    const auto setIndex = liveSet.load();
    return clock.poll (setIndex, [this, setIndex]
                       { return applyLatestChoiceOrRetryLater (setIndex); });
}

void CircuitSwitcher::startCircuit (ModuleModel& model, const std::array<float, 3>& knobs, int oversampling)
{
    model.reset();
    model.setParameter (ModelParameters::bypass, 1.0f);

    for (int k = 0; k < 3; ++k)
        model.setParameter (ModelParameters::drive + k, knobs[(size_t) k]);

    model.setParameter (ModelParameters::numOverSampling, ModelParameters::toNumOverSampling (oversampling));
    model.start();
}

void CircuitSwitcher::startModelForTimer (CircuitSet& set, int m)
{
    const std::array<float, 3> latest { values.get (HostParameters::overdrive),
                                        values.get (HostParameters::tone),
                                        values.get (HostParameters::level) };

    for (size_t k = 0; k < 3; ++k)
        set.preparedKnobs[k].store (latest[k], std::memory_order_relaxed);

    startCircuit (set.circuits[m], latest, HostParameters::getOversamplingIndex (values.get (HostParameters::oversampling)));
}

int CircuitSwitcher::applyDeferredChanges()
{
    const auto setIndex = liveSet.load();
    return clock.applyNow (setIndex, [this, setIndex]
                           { return applyLatestChoiceOrRetryLater (setIndex); });
}

int CircuitSwitcher::applyLatestChoiceOrRetryLater (int setIndex)
{
    bool again = false;
    const auto result = applyLatestChoice (setIndex, again);

    if (again)
        clock.retryLater();

    return result;
}

// The message thread under the clock's exclusion, or the audio thread offline; either way the
// only one working on this set. Gives up when the set is no longer the one in use.
int CircuitSwitcher::applyLatestChoice (int setIndex, bool& retry)
{
    auto& set = sets[(size_t) setIndex];

    if (liveSet.load() != setIndex)
        return -1;

    const auto m = HostParameters::getModelIndex (values.get (HostParameters::overdriveType));
    auto state = selection.load();
    auto heading = m;
    bool modelChanged = false;

    // Decided on one snapshot; a write fails and the decision is taken again when the audio
    // thread adopted or finished a crossfade meanwhile. Only this thread prepares circuits,
    // so a circuit that is free in one snapshot stays free.
    for (;;)
    {
        const auto [heardNow, incoming, fading, pending, stateSet] = CircuitSelection::decode (state);

        // A render started on the other set meanwhile: nothing done here will be heard.
        if (stateSet != setIndex)
            return -1;

        const auto playing = fading ? incoming : heardNow;
        heading = pending >= 0 ? pending : playing;

        if (m == heading)
            break;

        if (! (m == heardNow || (fading && m == incoming)))
        {
            if (! modelChanged)
            {
                startModelForTimer (set, m);
                modelChanged = true;
            }

            if (! selection.tryPrepare (state, m))
                continue;

            heading = m;
            break;
        }

        if (pending >= 0)
        {
            // The newest choice is a circuit that is already playing: drop the prepared one.
            if (! selection.tryPrepare (state, -1))
                continue;

            heading = playing;

            retry = (m != heading);

            break;
        }

        // The circuit being faded out cannot be restarted while it is heard: try again once
        // the crossfade has ended.
        retry = true;
        break;
    }

    const auto o = HostParameters::getOversamplingIndex (values.get (HostParameters::oversampling));

    if (o == set.oversamplingIndex.load() && ! modelChanged)
        return -1;

    for (int i = 0; i < numModels; ++i)
        if (! (modelChanged && i == m))
            set.circuits[i].setParameter (ModelParameters::numOverSampling, ModelParameters::toNumOverSampling (o));

    // A freshly started circuit already runs at the new factor.
    if (! modelChanged)
        set.circuits[heading].parameterChanged (ModelParameters::numOverSampling);

    set.oversamplingIndex.store (o);
    set.alignmentRequest.store (o);
    return o;
}

//==============================================================================
void CircuitSwitcher::setOffline (bool isOffline) noexcept
{
    if (isOffline != clock.isOffline())
        for (auto& set : sets)
            for (auto* model : set.circuits)
                model->setRenderingOffline (isOffline);

    clock.setOffline (isOffline);
}

int CircuitSwitcher::takeAlignmentRequest() noexcept
{
    return sets[(size_t) activeSet].alignmentRequest.exchange (-1);
}

int CircuitSwitcher::getSamplesBeforeDeferredChange() noexcept
{
    return clock.getSamplesBeforeDue();
}

int CircuitSwitcher::applyDueChange()
{
    return clock.applyDue ([this]
                           {
                               bool again = false;
                               const auto result = applyLatestChoice (activeSet, again);

                               if (again)
                                   clock.retryDueLater();

                               return result; });
}

void CircuitSwitcher::advanceDeferredCountdown (int numSamples) noexcept
{
    clock.advance (numSamples);
}
