#include "processor/CircuitSwitcher.h"

#include "models/ModelParameters.h"

#include <juce_core/juce_core.h>

#include <algorithm>
#include <cmath>
#include <thread>

namespace
{
// The circuit state the audio thread publishes and the circuit the timer prepared, in one word
// so that the timer decides on one consistent snapshot and the adoption is one exchange.
constexpr int pendingShift = 12;
constexpr int pendingMask = 0xf << pendingShift;

int packModelState (int current, int target, bool fading) noexcept
{
    return current | (target << 4) | (fading ? 0x100 : 0);
}

int unpackCurrent (int state) noexcept { return state & 0xf; }
int unpackTarget (int state) noexcept { return (state >> 4) & 0xf; }
bool unpackFading (int state) noexcept { return (state & 0x100) != 0; }
int unpackPending (int state) noexcept { return ((state & pendingMask) >> pendingShift) - 1; }
int withPending (int state, int pending) noexcept { return (state & ~pendingMask) | ((pending + 1) << pendingShift); }

constexpr float silenceThreshold = 1e-15f;

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
    , models { &bluesBreakerOverdrive, &cjOverdrive, &littleGreenOverdrive, &ocdOverdrive, &ts9Overdrive }
{
    // The circuits run one after the other, each mixing its fades within its own block.
    for (auto* model : models)
        model->shareDryBuffers (modelDryBuffers);
}

CircuitSwitcher::~CircuitSwitcher()
{
    // The circuits' own timers may be due on the message thread while this runs elsewhere.
    for (auto* model : models)
        model->detachTimer();
}

ModuleModel& CircuitSwitcher::getModel (int index)
{
    return *models[(size_t) juce::jlimit (0, numModels - 1, index)];
}

int CircuitSwitcher::getHeardModel() const noexcept
{
    return unpackCurrent (modelState.load (std::memory_order_acquire));
}

bool CircuitSwitcher::isCrossfading() const noexcept
{
    return unpackFading (modelState.load (std::memory_order_acquire));
}

//==============================================================================
void CircuitSwitcher::prepare (float rate, int capacity, int rampLength)
{
    sampleRate = rate;
    crossfadeStepBase = 1.0f / (float) (2 * rampLength);

    crossfadeBuffers.allocate (capacity);
    modelDryBuffers.allocate (capacity);

    for (auto* model : models)
    {
        model->setSampleRate (rate);
        model->setBlockSize (capacity);
    }
}

void CircuitSwitcher::release()
{
    crossfadeBuffers.allocate (0);
}

int CircuitSwitcher::reset()
{
    // Everything set from here on is applied now; earlier changes need no timer.
    appliedChangeStamp = deferredChangeStamp.load();
    retryDeferredChange = false;
    offlineSeenStamp = appliedChangeStamp;
    offlineCountdown = -1;

    const auto m = HostParameters::getModelIndex (values.get (HostParameters::overdriveType));
    crossfadeActive = false;
    crossfadeGain = 1.0f;
    crossfadeStep = 0.0f;
    targetModel = currentModel = m;
    modelState.store (packModelState (m, m, false));

    for (auto* model : models)
        model->reset();

    for (auto* model : models)
        model->setParameter (ModelParameters::bypass, 1.0f);

    lastDrive = values.get (HostParameters::overdrive);
    lastTone = values.get (HostParameters::tone);
    lastLevel = values.get (HostParameters::level);

    for (auto* model : models)
        model->setParameter (ModelParameters::drive, lastDrive);
    for (auto* model : models)
        model->setParameter (ModelParameters::tone, lastTone);
    for (auto* model : models)
        model->setParameter (ModelParameters::level, lastLevel);

    const auto o = HostParameters::getOversamplingIndex (values.get (HostParameters::oversampling));

    for (auto* model : models)
        model->setParameter (ModelParameters::numOverSampling, ModelParameters::toNumOverSampling (o));

    oversamplingIndex.store (o);

    for (auto* model : models)
        model->start();

    return o;
}

int CircuitSwitcher::resetForRender()
{
    while (applying.exchange (true, std::memory_order_acquire))
        std::this_thread::yield();

    const auto o = reset();
    applying.store (false, std::memory_order_release);
    return o;
}

//==============================================================================
void CircuitSwitcher::clearHeardHistories()
{
    models[(size_t) currentModel]->clearState();

    if (crossfadeActive)
        models[(size_t) targetModel]->clearState();
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

    auto& heard = *models[(size_t) currentModel];

    if (right != nullptr)
        heard.processStereo (left, right, n);
    else
        heard.processMono (left, n);

    if (offline.load (std::memory_order_relaxed))
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
    auto& incoming = *models[(size_t) targetModel];

    if (right != nullptr)
        incoming.processStereo (crossfadeBuffers.left.data(), crossfadeBuffers.right.data(), n);
    else
        incoming.processMono (crossfadeBuffers.left.data(), n);

    if (offline.load (std::memory_order_relaxed))
        incoming.completeDeferredWork();

    // The outgoing circuit fades out linearly; the incoming one fades itself in from
    // silence over the same length, so it is added at full level.
    for (int i = 0; i < n; ++i)
    {
        if (crossfadeGain > silenceThreshold)
        {
            crossfadeGain += crossfadeStep;

            if (crossfadeGain <= silenceThreshold)
            {
                crossfadeGain = 0.0f;
                crossfadeActive = false;
                currentModel = targetModel;
            }
        }

        left[i] = left[i] * crossfadeGain + crossfadeBuffers.left[(size_t) i];

        if (right != nullptr)
            right[i] = right[i] * crossfadeGain + crossfadeBuffers.right[(size_t) i];
    }

    if (! crossfadeActive)
        publishModelState();
}

void CircuitSwitcher::adoptPreparedModel()
{
    auto state = modelState.load (std::memory_order_acquire);
    int next = -1;

    do
    {
        next = unpackPending (state);

        if (next < 0)
            return;
    } while (! modelState.compare_exchange_weak (state,
                                                 next == currentModel ? withPending (state, -1)
                                                                      : packModelState (currentModel, next, true),
                                                 std::memory_order_acq_rel));

    if (next == currentModel)
        return;

    // A new choice during a crossfade replaces the incoming circuit at once; the outgoing one
    // stays the one being faded out.
    targetModel = next;
    crossfadeActive = true;
    crossfadeGain = 1.0f;
    crossfadeStep = -crossfadeStepBase;

    // Values that moved after the timer prepared the circuit reach it now.
    auto& incoming = *models[(size_t) targetModel];
    const float latest[] = { lastDrive, lastTone, lastLevel };

    for (int k = 0; k < 3; ++k)
    {
        if (latest[k] != pendingModelValues[(size_t) k].load (std::memory_order_relaxed))
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
    models[(size_t) currentModel]->setParameter (modelParameter, value);

    if (fading)
        models[(size_t) targetModel]->setParameter (modelParameter, value);

    // Coefficients are recomputed in the circuit the output is heading to.
    models[(size_t) (fading ? targetModel : currentModel)]->parameterChanged (modelParameter);

    lastForwarded = value;
}

void CircuitSwitcher::publishModelState() noexcept
{
    // The timer may set or drop a prepared circuit meanwhile: that part is kept.
    const auto published = packModelState (currentModel, targetModel, crossfadeActive);
    auto state = modelState.load (std::memory_order_relaxed);

    while (! modelState.compare_exchange_weak (state, published | (state & pendingMask), std::memory_order_acq_rel))
    {
    }
}

//==============================================================================
void CircuitSwitcher::noteDeferredChange() noexcept
{
    // This may run on the audio thread: no timer is started here, the message thread polls.
    deferredChangeTimeMs.store (juce::Time::getMillisecondCounter(), std::memory_order_relaxed);
    deferredChangeStamp.fetch_add (1, std::memory_order_release);
}

int CircuitSwitcher::pollDeferredChanges()
{
    if (offline.load())
        return -1;

    const auto stamp = deferredChangeStamp.load (std::memory_order_acquire);

    if (stamp != appliedChangeStamp)
    {
        const auto elapsed = juce::Time::getMillisecondCounter() - deferredChangeTimeMs.load (std::memory_order_relaxed);

        // Like a one-shot timer restarted by every change: a burst is applied once.
        if (elapsed < (uint32_t) deferredChangeDelayMs)
            return -1;

        appliedChangeStamp = stamp;
        return applyDeferredChanges();
    }

    return retryDeferredChange ? applyDeferredChanges() : -1;
}

void CircuitSwitcher::startModelForTimer (int m)
{
    auto& model = *models[(size_t) m];

    const float latest[] = { values.get (HostParameters::overdrive),
                             values.get (HostParameters::tone),
                             values.get (HostParameters::level) };

    for (size_t k = 0; k < 3; ++k)
        pendingModelValues[k].store (latest[k], std::memory_order_relaxed);

    model.reset();
    model.setParameter (ModelParameters::bypass, 1.0f);
    model.setParameter (ModelParameters::drive, latest[0]);
    model.setParameter (ModelParameters::tone, latest[1]);
    model.setParameter (ModelParameters::level, latest[2]);
    model.setParameter (ModelParameters::numOverSampling, ModelParameters::toNumOverSampling (HostParameters::getOversamplingIndex (values.get (HostParameters::oversampling))));
    model.start();
}

int CircuitSwitcher::applyDeferredChanges()
{
    // The audio thread may be applying an offline change: try again on the next tick.
    if (applying.exchange (true, std::memory_order_acquire))
    {
        retryDeferredChange = true;
        return -1;
    }

    const auto result = applyLatestChoice();
    applying.store (false, std::memory_order_release);
    return result;
}

int CircuitSwitcher::applyLatestChoice()
{
    retryDeferredChange = false;

    const auto m = HostParameters::getModelIndex (values.get (HostParameters::overdriveType));
    auto state = modelState.load (std::memory_order_acquire);
    auto heading = m;
    bool modelChanged = false;

    // Decided on one snapshot; a write fails and the decision is taken again when the audio
    // thread adopted or finished a crossfade meanwhile. Only this thread prepares circuits,
    // so a circuit that is free in one snapshot stays free.
    for (;;)
    {
        const auto heardNow = unpackCurrent (state);
        const auto fading = unpackFading (state);
        const auto incoming = unpackTarget (state);
        const auto pending = unpackPending (state);
        const auto playing = fading ? incoming : heardNow;
        heading = pending >= 0 ? pending : playing;

        if (m == heading)
            break;

        if (! (m == heardNow || (fading && m == incoming)))
        {
            if (! modelChanged)
            {
                startModelForTimer (m);
                modelChanged = true;
            }

            if (! modelState.compare_exchange_weak (state, withPending (state, m), std::memory_order_acq_rel))
                continue;

            heading = m;
            break;
        }

        if (pending >= 0)
        {
            // The newest choice is a circuit that is already playing: drop the prepared one.
            if (! modelState.compare_exchange_weak (state, withPending (state, -1), std::memory_order_acq_rel))
                continue;

            heading = playing;
            retryDeferredChange = (m != heading);
            break;
        }

        // The circuit being faded out cannot be restarted while it is heard: try again once
        // the crossfade has ended.
        retryDeferredChange = true;
        break;
    }

    const auto o = HostParameters::getOversamplingIndex (values.get (HostParameters::oversampling));

    if (o == oversamplingIndex.load() && ! modelChanged)
        return -1;

    for (int i = 0; i < numModels; ++i)
        if (! (modelChanged && i == m))
            models[(size_t) i]->setParameter (ModelParameters::numOverSampling, ModelParameters::toNumOverSampling (o));

    // A freshly started circuit already runs at the new factor.
    if (! modelChanged)
        models[(size_t) heading]->parameterChanged (ModelParameters::numOverSampling);

    oversamplingIndex.store (o);
    return o;
}

//==============================================================================
void CircuitSwitcher::setOffline (bool isOffline) noexcept
{
    if (isOffline && ! offline.load (std::memory_order_relaxed))
    {
        // A change noted before the render is counted from its start.
        offlineSeenStamp = deferredChangeStamp.load (std::memory_order_acquire) - 1;
        offlineCountdown = -1;

        // What the circuits played before (decaying tails that depend on how long the host
        // ran them in real time) must not reach the render: two renders of the same session
        // are identical.
        clearHeardHistories();
    }

    if (isOffline != offline.load (std::memory_order_relaxed))
        for (auto* model : models)
            model->setRenderingOffline (isOffline);

    offline.store (isOffline, std::memory_order_relaxed);
}

int CircuitSwitcher::getSamplesBeforeDeferredChange() noexcept
{
    // Like a one-shot timer restarted by every change: a burst is applied once.
    const auto stamp = deferredChangeStamp.load (std::memory_order_acquire);

    if (stamp != offlineSeenStamp)
    {
        offlineSeenStamp = stamp;
        offlineCountdown = juce::roundToInt (sampleRate * (float) deferredChangeDelayMs / 1000.0f);
    }

    return offlineCountdown;
}

int CircuitSwitcher::applyDueChange()
{
    // The message thread is applying one (it started before the render): try again shortly.
    if (applying.exchange (true, std::memory_order_acquire))
    {
        offlineCountdown = retryIntervalSamples();
        return -1;
    }

    const auto result = applyLatestChoice();
    offlineCountdown = retryDeferredChange ? retryIntervalSamples() : -1;
    retryDeferredChange = false;
    applying.store (false, std::memory_order_release);
    return result;
}

void CircuitSwitcher::advanceDeferredCountdown (int numSamples) noexcept
{
    if (offlineCountdown > 0)
        offlineCountdown = std::max (0, offlineCountdown - numSamples);
}

int CircuitSwitcher::retryIntervalSamples() const noexcept
{
    // As often as the message thread's timer would try.
    return std::max (1, juce::roundToInt (sampleRate * 0.01f));
}
