#include "processor/CircuitSwitcher.h"

#include "models/ModelParameters.h"

#include <juce_core/juce_core.h>

#include <algorithm>

namespace
{
// The circuit state the audio thread publishes for the timer, packed so that it is read
// as one consistent snapshot.
int packModelState (int current, int target, bool fading) noexcept
{
    return current | (target << 4) | (fading ? 0x100 : 0);
}

int unpackCurrent (int state) noexcept { return state & 0xf; }
int unpackTarget (int state) noexcept { return (state >> 4) & 0xf; }
bool unpackFading (int state) noexcept { return (state & 0x100) != 0; }

constexpr float silenceThreshold = 1e-15f;
} // namespace

CircuitSwitcher::CircuitSwitcher (const ParameterValues& liveValues)
    : values (liveValues)
    , models { &bluesBreakerOverdrive, &cjOverdrive, &littleGreenOverdrive, &ocdOverdrive, &ts9Overdrive }
{
}

ModuleModel& CircuitSwitcher::getModel (int index)
{
    return *models[(size_t) juce::jlimit (0, numModels - 1, index)];
}

int CircuitSwitcher::getHeardModel() const noexcept
{
    return unpackCurrent (audioModelState.load (std::memory_order_acquire));
}

bool CircuitSwitcher::isCrossfading() const noexcept
{
    return unpackFading (audioModelState.load (std::memory_order_acquire));
}

//==============================================================================
void CircuitSwitcher::prepare (float rate, int capacity, int rampLength)
{
    sampleRate = rate;
    crossfadeStepBase = 1.0f / (float) (2 * rampLength);

    for (auto* b : { &fadeBufferLeft, &fadeBufferRight })
    {
        std::vector<float>().swap (*b);
        b->assign ((size_t) capacity, 0.0f);
    }

    for (auto* model : models)
    {
        model->setSampleRate (rate);
        model->setBlockSize (capacity);
    }
}

void CircuitSwitcher::release()
{
    for (auto* b : { &fadeBufferLeft, &fadeBufferRight })
        std::vector<float>().swap (*b);
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
    pendingModel.store (-1);
    publishModelState();

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
        std::copy (left, left + n, fadeBufferLeft.data());

        if (right != nullptr)
            std::copy (right, right + n, fadeBufferRight.data());
    }

    auto& heard = *models[(size_t) currentModel];

    if (right != nullptr)
        heard.processStereo (left, right, n);
    else
        heard.processMono (left, n);

    if (offline.load (std::memory_order_relaxed))
        heard.completeDeferredWork();

    if (! fading)
        return;

    auto& incoming = *models[(size_t) targetModel];

    if (right != nullptr)
        incoming.processStereo (fadeBufferLeft.data(), fadeBufferRight.data(), n);
    else
        incoming.processMono (fadeBufferLeft.data(), n);

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

        left[i] = left[i] * crossfadeGain + fadeBufferLeft[(size_t) i];

        if (right != nullptr)
            right[i] = right[i] * crossfadeGain + fadeBufferRight[(size_t) i];
    }

    if (! crossfadeActive)
        publishModelState();
}

void CircuitSwitcher::adoptPreparedModel()
{
    const auto next = pendingModel.exchange (-1, std::memory_order_acquire);

    if (next < 0 || next == currentModel)
        return;

    // A new choice during a crossfade replaces the incoming circuit at once; the outgoing one
    // stays the one being faded out.
    targetModel = next;
    crossfadeActive = true;
    crossfadeGain = 1.0f;
    crossfadeStep = -crossfadeStepBase;
    publishModelState();

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
    audioModelState.store (packModelState (currentModel, targetModel, crossfadeActive), std::memory_order_release);
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

    pendingModel.store (m, std::memory_order_release);
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
    const auto state = audioModelState.load (std::memory_order_acquire);
    const auto heardNow = unpackCurrent (state);
    const auto fading = unpackFading (state);
    const auto incoming = unpackTarget (state);
    auto pending = pendingModel.load (std::memory_order_acquire);

    auto heading = pending >= 0 ? pending : (fading ? incoming : heardNow);
    bool modelChanged = false;

    if (m != heading)
    {
        const bool busy = m == heardNow || (fading && m == incoming) || m == pending;

        if (! busy)
        {
            startModelForTimer (m);
            modelChanged = true;
            heading = m;
        }
        else if (pending >= 0 && pendingModel.compare_exchange_strong (pending, -1))
        {
            // The newest choice is a circuit that is already playing: drop the prepared one.
            heading = fading ? incoming : heardNow;
            retryDeferredChange = (m != heading);
        }
        else
        {
            // The circuit being faded out cannot be restarted while it is heard: try again
            // once the crossfade has ended.
            retryDeferredChange = true;
        }
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
