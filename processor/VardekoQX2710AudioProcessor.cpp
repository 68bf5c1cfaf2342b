#include "processor/VardekoQX2710AudioProcessor.h"

#include "editor/VardekoQX2710AudioProcessorEditor.h"
#include "processor/PatchDocument.h"
#include "processor/PatchDocumentReader.h"
#include "processor/ProductInfo.h"

#include <algorithm>
#include <cmath>

namespace
{
// Model parameter indices.
enum ModelParameter
{
    modelBypass = 0,
    modelDrive,
    modelTone,
    modelLevel,
    modelNumOverSampling
};

int rampLengthForRate (float sampleRate) noexcept
{
    if (sampleRate < 34050.0f)
        return 1024;
    if (sampleRate < 68000.0f)
        return 2048;
    if (sampleRate < 136000.0f)
        return 4096;
    return 8192;
}

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
constexpr float meterFloor = 2e-8f;
} // namespace

//==============================================================================
VardekoQX2710AudioProcessor::VardekoQX2710AudioProcessor()
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true))
    , models { &bluesBreakerOverdrive, &cjOverdrive, &littleGreenOverdrive, &ocdOverdrive, &ts9Overdrive }
{
    for (int k = 0; k < HostParameters::numParameters; ++k)
        parameterValues[(size_t) k].store (HostParameters::getDefaultValue (k));

    for (auto& slot : presetSlots)
    {
        slot.activeChannel = 0;

        for (int c = 0; c < PresetSlot::numChannels; ++c)
        {
            slot.presetPath[(size_t) c] = ProductInfo::initPresetPath;

            for (int k = 0; k < PresetSlot::numValues; ++k)
                slot.values[(size_t) c][(size_t) k].store (HostParameters::getDefaultValue (k));
        }
    }

    ensureTimerRunning();
}

VardekoQX2710AudioProcessor::~VardekoQX2710AudioProcessor()
{
    stopTimer();
}

const juce::String VardekoQX2710AudioProcessor::getName() const
{
    return ProductInfo::name;
}

juce::AudioProcessorEditor* VardekoQX2710AudioProcessor::createEditor()
{
    return new VardekoQX2710AudioProcessorEditor (*this);
}

ModuleModel& VardekoQX2710AudioProcessor::getModel (int index)
{
    return *models[(size_t) juce::jlimit (0, numModels - 1, index)];
}

int VardekoQX2710AudioProcessor::getHeardModel() const noexcept
{
    return unpackCurrent (audioModelState.load (std::memory_order_acquire));
}

bool VardekoQX2710AudioProcessor::isCrossfading() const noexcept
{
    return unpackFading (audioModelState.load (std::memory_order_acquire));
}

void VardekoQX2710AudioProcessor::ensureTimerRunning()
{
    // Without a message loop (the command-line renderer) nothing would ever fire; values are
    // then applied by prepareToPlay.
    if (juce::MessageManager::getInstanceWithoutCreating() != nullptr && ! isTimerRunning())
        startTimer (10);
}

//==============================================================================
void VardekoQX2710AudioProcessor::prepareToPlay (double sampleRate, int estimatedSamplesPerBlock)
{
    prepared.store (false, std::memory_order_release);

    if (! (sampleRate > 0.0) || ! std::isfinite (sampleRate))
        sampleRate = 44100.0;

    const auto rate = (float) sampleRate;
    currentSampleRate = rate;

    rampLength = rampLengthForRate (rate);
    inputGainCounter = rampLength;
    mixLength = (int16_t) rampLength;
    mixCounter = mixLength;
    crossfadeStepBase = 1.0f / (float) (2 * rampLength);

    capacity = std::max (estimatedSamplesPerBlock, minimumCapacity);

    for (auto* b : { &fadeBufferLeft, &fadeBufferRight, &dryBufferLeft, &dryBufferRight })
    {
        std::vector<float>().swap (*b);
        b->assign ((size_t) capacity, 0.0f);
    }

    meter = 0.0f;
    meterLevel.store (0.0f);
    meterDecay = std::exp (-1000.0f / (rate * 200.0f));
    clipHoldPhase = 1.0f;
    clipLight.store (0.0f);

    // The clip light holds for five seconds of audio, whatever the block size.
    clipHoldStepPerSample = 1.0f / (5.0f * rate);

    for (auto* model : models)
    {
        model->setSampleRate (rate);
        model->setBlockSize (capacity);
    }

    alignment.setSampleRate (rate);

    resetProcessingState();

    prepared.store (true, std::memory_order_release);
    ensureTimerRunning();
}

void VardekoQX2710AudioProcessor::releaseResources()
{
    // Until the next prepareToPlay the audio passes through untouched.
    prepared.store (false, std::memory_order_release);

    for (auto* b : { &fadeBufferLeft, &fadeBufferRight, &dryBufferLeft, &dryBufferRight })
        std::vector<float>().swap (*b);
}

void VardekoQX2710AudioProcessor::resetProcessingState()
{
    meter = 0.0f;
    meterLevel.store (0.0f);
    clipHoldPhase = 1.0f;

    onState = parameterValue (HostParameters::onBypass) > 0.0f;

    inputGainStep = 0.0f;
    inputGainCounter = rampLength;
    inputGainTarget = inputGain = parameterValue (HostParameters::inputVol) * 2.0f;

    // Everything set from here on is applied now; earlier changes need no timer.
    appliedChangeStamp = deferredChangeStamp.load();
    retryDeferredChange = false;

    const auto m = HostParameters::getModelIndex (parameterValue (HostParameters::overdriveType));
    crossfadeActive = false;
    crossfadeGain = 1.0f;
    crossfadeStep = 0.0f;
    targetModel = currentModel = m;
    pendingModel.store (-1);
    publishModelState();

    for (auto* model : models)
        model->reset();

    for (auto* model : models)
        model->setParameter (modelBypass, 1.0f);

    lastDrive = parameterValue (HostParameters::overdrive);
    lastTone = parameterValue (HostParameters::tone);
    lastLevel = parameterValue (HostParameters::level);

    for (auto* model : models)
        model->setParameter (modelDrive, lastDrive);
    for (auto* model : models)
        model->setParameter (modelTone, lastTone);
    for (auto* model : models)
        model->setParameter (modelLevel, lastLevel);

    const auto o = HostParameters::getOversamplingIndex (parameterValue (HostParameters::oversampling));

    for (auto* model : models)
        model->setParameter (modelNumOverSampling, (float) o / 3.0f);

    oversamplingIndex.store (o);
    alignmentIndex.store (o);
    alignmentPending.store (false);
    alignment.clearState();
    alignment.setRequestedIndex (o);
    alignment.update();

    for (auto* model : models)
        model->start();

    mixTarget = mix = onState ? parameterValue (HostParameters::dryWet) : 0.0f;
    mixCounter = mixLength;
    mixStep = 0.0f;
}

//==============================================================================
void VardekoQX2710AudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    if (! prepared.load (std::memory_order_acquire))
        return;

    juce::ScopedNoDenormals noDenormals;

    if (buffer.getNumChannels() == 0 || getTotalNumInputChannels() == 0)
        return;

    // Blocks longer than the prepared buffers are processed in pieces, so nothing is ever
    // written past the buffers and no circuit has to grow its own.
    const auto numSamples = buffer.getNumSamples();

    for (int start = 0; start < numSamples; start += capacity)
        processChunk (buffer, start, std::min (capacity, numSamples - start));
}

void VardekoQX2710AudioProcessor::processChunk (juce::AudioBuffer<float>& buffer, int start, int n)
{
    const auto numInputs = getTotalNumInputChannels();
    const auto numOutputs = getTotalNumOutputChannels();
    const auto hasSecondChannel = buffer.getNumChannels() > 1;
    const bool stereoIn = numInputs > 1 && hasSecondChannel;
    const bool stereoOut = numOutputs > 1 && hasSecondChannel;

    float* left = buffer.getWritePointer (0, start);
    float* right = (stereoIn || stereoOut) ? buffer.getWritePointer (1, start) : nullptr;

    const auto copyMonoToOutputs = [&]
    {
        if (numInputs == 1)
            for (int ch = 1; ch < std::min (numOutputs, buffer.getNumChannels()); ++ch)
                buffer.copyFrom (ch, start, left, n);
    };

    // On/off edge: switching on starts the heard circuits from a clean history.
    const bool on = parameterValue (HostParameters::onBypass) > 0.0f;

    if (on != onState)
    {
        if (on)
        {
            models[(size_t) currentModel]->clearState();

            if (crossfadeActive)
                models[(size_t) targetModel]->clearState();
        }

        onState = on;
    }

    if (! on)
    {
        if (mix <= silenceThreshold)
        {
            meter = 0.0f;
            meterLevel.store (0.0f, std::memory_order_relaxed);
            clipHoldPhase = 1.0f;
            clipLight.store (0.0f, std::memory_order_relaxed);
            copyMonoToOutputs();
            return;
        }

        // Still fading to dry: the meter falls as if the block were silent.
        for (int i = 0; i < n; ++i)
        {
            meter *= meterDecay;

            if (meter < meterFloor)
                meter = 0.0f;
        }
    }

    const auto gainTarget = parameterValue (HostParameters::inputVol) * 2.0f;

    if (gainTarget != inputGainTarget)
    {
        inputGainTarget = gainTarget;
        inputGainCounter = 0;
        inputGainStep = (gainTarget - inputGain) * (1.0f / (float) rampLength);
    }

    // The dry path is taken before the input volume.
    std::copy (left, left + n, dryBufferLeft.data());
    std::copy (stereoIn ? right : left, (stereoIn ? right : left) + n, dryBufferRight.data());

    for (int i = 0; i < n; ++i)
    {
        if (inputGainCounter < rampLength)
        {
            // The ramp lands exactly on its target, whatever the rounding of its steps.
            if (++inputGainCounter == rampLength)
                inputGain = inputGainTarget;
            else
                inputGain += inputGainStep;
        }

        left[i] *= inputGain;
        auto peak = std::abs (left[i]);

        if (stereoIn)
        {
            right[i] *= inputGain;
            peak = std::max (peak, std::abs (right[i]));
        }

        peak = std::min (peak, 1.0f);

        if (peak > meter)
        {
            meter = peak;
        }
        else
        {
            meter *= meterDecay;

            if (meter < meterFloor)
                meter = 0.0f;
        }

        if (meter >= 1.0f)
            clipHoldPhase = 0.0f;
    }

    meterLevel.store (meter, std::memory_order_relaxed);

    if (clipHoldPhase < 1.0f)
    {
        clipLight.store (1.0f, std::memory_order_relaxed);
        clipHoldPhase += clipHoldStepPerSample * (float) n;
    }
    else
    {
        clipLight.store (0.0f, std::memory_order_relaxed);
    }

    // A circuit prepared by the timer starts its crossfade at a block boundary.
    adoptPreparedModel();

    const bool fading = crossfadeActive;

    forwardParameter (modelDrive, parameterValue (HostParameters::overdrive), lastDrive, fading);
    forwardParameter (modelTone, parameterValue (HostParameters::tone), lastTone, fading);
    forwardParameter (modelLevel, parameterValue (HostParameters::level), lastLevel, fading);

    if (alignmentPending.exchange (false, std::memory_order_acquire))
    {
        alignment.clearState();
        alignment.setRequestedIndex (alignmentIndex.load (std::memory_order_relaxed));
        alignment.update();
    }

    if (fading)
    {
        std::copy (left, left + n, fadeBufferLeft.data());

        if (stereoIn)
            std::copy (right, right + n, fadeBufferRight.data());
    }

    auto& heard = *models[(size_t) currentModel];

    if (stereoIn)
        heard.processStereo (left, right, n);
    else
        heard.processMono (left, n);

    if (fading)
    {
        auto& incoming = *models[(size_t) targetModel];

        if (stereoIn)
            incoming.processStereo (fadeBufferLeft.data(), fadeBufferRight.data(), n);
        else
            incoming.processMono (fadeBufferLeft.data(), n);

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

            if (stereoIn)
                right[i] = right[i] * crossfadeGain + fadeBufferRight[(size_t) i];
        }

        if (! crossfadeActive)
            publishModelState();
    }

    const auto wetTarget = onState ? parameterValue (HostParameters::dryWet) : 0.0f;

    if (wetTarget != mixTarget)
    {
        mixTarget = wetTarget;
        mixCounter = 0;
        mixStep = (wetTarget - mix) * (1.0f / (float) mixLength);
    }

    if (stereoIn)
        alignment.processStereo (dryBufferLeft.data(), dryBufferRight.data(), n);
    else
        alignment.processMono (dryBufferLeft.data(), n);

    for (int i = 0; i < n; ++i)
    {
        if (mixCounter < mixLength)
        {
            ++mixCounter;
            mix = (mixCounter == mixLength) ? mixTarget : mix + mixStep;

            if (mix > 1.0f)
                mix = 1.0f;
            else if (mix < silenceThreshold)
                mix = 0.0f;
        }

        left[i] = (1.0f - mix) * dryBufferLeft[(size_t) i] + mix * left[i];

        if (stereoIn)
            right[i] = (1.0f - mix) * dryBufferRight[(size_t) i] + mix * right[i];
    }

    if (! stereoIn && stereoOut)
        std::copy (left, left + n, right);
}

void VardekoQX2710AudioProcessor::adoptPreparedModel()
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
            incoming.setParameter (modelDrive + k, latest[k]);
            incoming.parameterChanged (modelDrive + k);
        }
    }
}

void VardekoQX2710AudioProcessor::forwardParameter (int modelParameter, float value, float& lastForwarded, bool fading)
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

void VardekoQX2710AudioProcessor::publishModelState() noexcept
{
    audioModelState.store (packModelState (currentModel, targetModel, crossfadeActive), std::memory_order_release);
}

//==============================================================================
void VardekoQX2710AudioProcessor::timerCallback()
{
    pollDeferredChanges();
}

void VardekoQX2710AudioProcessor::pollDeferredChanges()
{
    if (! isPrepared())
        return;

    const auto stamp = deferredChangeStamp.load (std::memory_order_acquire);

    if (stamp != appliedChangeStamp)
    {
        const auto elapsed = juce::Time::getMillisecondCounter() - deferredChangeTimeMs.load (std::memory_order_relaxed);

        // Like a one-shot timer restarted by every change: a burst is applied once.
        if (elapsed < (uint32_t) deferredChangeDelayMs)
            return;

        appliedChangeStamp = stamp;
        applyDeferredChanges();
    }
    else if (retryDeferredChange)
    {
        applyDeferredChanges();
    }
}

void VardekoQX2710AudioProcessor::startModelForTimer (int m)
{
    auto& model = *models[(size_t) m];

    const float values[] = { parameterValue (HostParameters::overdrive),
                             parameterValue (HostParameters::tone),
                             parameterValue (HostParameters::level) };

    for (size_t k = 0; k < 3; ++k)
        pendingModelValues[k].store (values[k], std::memory_order_relaxed);

    model.reset();
    model.setParameter (modelBypass, 1.0f);
    model.setParameter (modelDrive, values[0]);
    model.setParameter (modelTone, values[1]);
    model.setParameter (modelLevel, values[2]);
    model.setParameter (modelNumOverSampling, (float) HostParameters::getOversamplingIndex (parameterValue (HostParameters::oversampling)) / 3.0f);
    model.start();

    pendingModel.store (m, std::memory_order_release);
}

void VardekoQX2710AudioProcessor::applyDeferredChanges()
{
    if (! isPrepared())
        return;

    retryDeferredChange = false;

    const auto m = HostParameters::getModelIndex (parameterValue (HostParameters::overdriveType));
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

    const auto o = HostParameters::getOversamplingIndex (parameterValue (HostParameters::oversampling));

    if (o != oversamplingIndex.load() || modelChanged)
    {
        for (int i = 0; i < numModels; ++i)
            if (! (modelChanged && i == m))
                models[(size_t) i]->setParameter (modelNumOverSampling, (float) o / 3.0f);

        // A freshly started circuit already runs at the new factor.
        if (! modelChanged)
            models[(size_t) heading]->parameterChanged (modelNumOverSampling);

        alignmentIndex.store (o, std::memory_order_relaxed);
        alignmentPending.store (true, std::memory_order_release);
        oversamplingIndex.store (o);
    }
}

//==============================================================================
JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")

int VardekoQX2710AudioProcessor::getNumParameters()
{
    return HostParameters::numParameters;
}

const juce::String VardekoQX2710AudioProcessor::getParameterName (int index)
{
    return HostParameters::getName (index);
}

float VardekoQX2710AudioProcessor::getParameter (int index)
{
    if (! HostParameters::isValidIndex (index))
        return 0.0f;

    const auto& slot = currentSlot();
    return slot.values[(size_t) PresetSlot::clampChannel (slot.activeChannel.load())][(size_t) index].load();
}

void VardekoQX2710AudioProcessor::setParameter (int index, float value)
{
    // A non-finite value from a host or a document keeps the old one.
    if (! HostParameters::isValidIndex (index) || ! std::isfinite (value))
        return;

    auto& slot = currentSlot();
    slot.values[(size_t) PresetSlot::clampChannel (slot.activeChannel.load())][(size_t) index].store (value);
    parameterValues[(size_t) index].store (value);
    parametersChanged.store (true);

    // This may run on the audio thread: no timer is started here, the message thread polls.
    if (index == HostParameters::overdriveType || index == HostParameters::oversampling)
    {
        deferredChangeTimeMs.store (juce::Time::getMillisecondCounter(), std::memory_order_relaxed);
        deferredChangeStamp.fetch_add (1, std::memory_order_release);
    }
}

juce::String VardekoQX2710AudioProcessor::getParameterID (int index)
{
    // LV2 names each parameter by a URI made from this identifier, and the default ("0".."7")
    // would collapse to one URI; the other formats keep their index-based identifiers.
    if (wrapperType == wrapperType_LV2 && HostParameters::isValidIndex (index))
        return HostParameters::getName (index);

    return juce::AudioProcessor::getParameterID (index);
}

const juce::String VardekoQX2710AudioProcessor::getParameterText (int index)
{
    if (! HostParameters::isValidIndex (index))
        return {};

    return HostParameters::getText (index, parameterValue (index));
}

float VardekoQX2710AudioProcessor::getParameterDefaultValue (int index)
{
    return HostParameters::getDefaultValue (index);
}

const juce::String VardekoQX2710AudioProcessor::getInputChannelName (int channelIndex) const
{
    return juce::String (channelIndex + 1);
}

const juce::String VardekoQX2710AudioProcessor::getOutputChannelName (int channelIndex) const
{
    return juce::String (channelIndex + 1);
}

bool VardekoQX2710AudioProcessor::isInputChannelStereoPair (int) const
{
    return true;
}

bool VardekoQX2710AudioProcessor::isOutputChannelStereoPair (int) const
{
    return true;
}

//==============================================================================
int VardekoQX2710AudioProcessor::getCurrentProgram()
{
    return activePreset.load();
}

void VardekoQX2710AudioProcessor::setCurrentProgram (int index)
{
    if (index < 0 || index >= numPresetSlots)
        return;

    activePreset.store (index);
    auto& slot = presetSlots[(size_t) index];
    const auto channel = PresetSlot::clampChannel (slot.activeChannel.load());

    for (int k = 0; k < HostParameters::numParameters; ++k)
    {
        const auto v = slot.values[(size_t) channel][(size_t) k].load();
        setParameter (k, v);
        sendParamChangeMessageToListeners (k, v);
    }

    parametersChanged.store (true);
    channelChanged.store (true);
    presetChanged.store (true);
}

const juce::String VardekoQX2710AudioProcessor::getProgramName (int index)
{
    if (index < 0 || index >= numPresetSlots)
        return ProductInfo::initProgramName;

    const auto& slot = presetSlots[(size_t) index];
    const auto& path = slot.presetPath[(size_t) PresetSlot::clampChannel (slot.activeChannel.load())];
    const auto name = path.trim().isEmpty() ? juce::String() : getPresetFolder().getChildFile (path).getFileNameWithoutExtension();

    // Hosts and validators reject programs without a name.
    return name.isNotEmpty() ? name : juce::String (ProductInfo::initProgramName);
}

//==============================================================================
int VardekoQX2710AudioProcessor::getActiveChannel() const
{
    return PresetSlot::clampChannel (currentSlot().activeChannel.load());
}

void VardekoQX2710AudioProcessor::setActiveChannel (int channel)
{
    currentSlot().activeChannel.store (PresetSlot::clampChannel (channel));
}

void VardekoQX2710AudioProcessor::copyChannel (int source, int destination)
{
    auto& slot = currentSlot();
    const auto from = (size_t) PresetSlot::clampChannel (source);
    const auto to = (size_t) PresetSlot::clampChannel (destination);

    for (size_t k = 0; k < (size_t) PresetSlot::numValues; ++k)
        slot.values[to][k].store (slot.values[from][k].load());
}

juce::String VardekoQX2710AudioProcessor::getCurrentPresetPath() const
{
    return getPresetPath (getActiveChannel());
}

juce::String VardekoQX2710AudioProcessor::getPresetPath (int channel) const
{
    return currentSlot().presetPath[(size_t) PresetSlot::clampChannel (channel)];
}

void VardekoQX2710AudioProcessor::setCurrentPresetPath (const juce::String& path)
{
    auto& slot = currentSlot();
    slot.presetPath[(size_t) PresetSlot::clampChannel (slot.activeChannel.load())] = PatchDocument::boundedPresetPath (path);
}

juce::File VardekoQX2710AudioProcessor::getPresetFolder()
{
    return juce::File::getSpecialLocation (juce::File::userDocumentsDirectory)
        .getChildFile ("Molvek")
        .getChildFile ("Presets")
        .getChildFile ("VardekoQX2710");
}

juce::String VardekoQX2710AudioProcessor::getNewerVersionMessage() const
{
    return juce::String ("\"") + getCurrentPresetPath() + "\"\nwas made using a newer version of "
           + ProductInfo::name + ".\nTo use this preset correctly, please install the newest version from: "
           + ProductInfo::downloadsPage;
}

//==============================================================================
void VardekoQX2710AudioProcessor::getStateInformation (juce::MemoryBlock& destData)
{
    juce::XmlElement document (PatchDocument::rootTag);
    createPatchDocument (document, false);
    copyXmlToBinary (document, destData);
}

void VardekoQX2710AudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    pendingState = PatchDocumentReader::fromHostState (data, sizeInBytes).document;

    if (pendingState != nullptr)
        loadPatchDocument (std::move (pendingState), false);

    pendingState.reset();
}

void VardekoQX2710AudioProcessor::getCurrentProgramStateInformation (juce::MemoryBlock& destData)
{
    juce::XmlElement document (PatchDocument::rootTag);
    createSlotDocument (document);
    copyXmlToBinary (document, destData);
}

void VardekoQX2710AudioProcessor::setCurrentProgramStateInformation (const void* data, int sizeInBytes)
{
    if (auto document = PatchDocumentReader::fromHostState (data, sizeInBytes).document)
        loadSlotDocument (std::move (document));
}

namespace
{
std::array<float, 8> channelValues (const PresetSlot& slot, int channel)
{
    std::array<float, 8> values {};

    for (size_t k = 0; k < values.size(); ++k)
        values[k] = slot.values[(size_t) channel][k].load();

    return values;
}

void writeChannel (juce::XmlElement& parent, const PresetSlot& slot, int channel)
{
    auto* element = parent.createNewChildElement ("Channel");
    element->setAttribute ("channel", channel);
    element->setAttribute ("presetPath", slot.presetPath[(size_t) channel]);
    PatchDocument::writeValues (*element, channelValues (slot, channel));
}
} // namespace

void VardekoQX2710AudioProcessor::createPatchDocument (juce::XmlElement& document, bool presetOnly) const
{
    auto& properties = PatchDocument::writeHeader (document);
    const auto current = activePreset.load();

    if (presetOnly)
    {
        const auto& slot = presetSlots[(size_t) current];
        PatchDocument::writeValues (properties, channelValues (slot, PresetSlot::clampChannel (slot.activeChannel.load())));
        return;
    }

    properties.setAttribute ("activePreset", current);

    for (int i = 0; i < numPresetSlots; ++i)
    {
        const auto& slot = presetSlots[(size_t) i];
        auto* preset = properties.createNewChildElement ("Preset");
        preset->setAttribute ("preset", i);
        preset->setAttribute ("activeChannel", PresetSlot::clampChannel (slot.activeChannel.load()));

        for (int c = 0; c < PresetSlot::numChannels; ++c)
            writeChannel (*preset, slot, c);
    }
}

void VardekoQX2710AudioProcessor::createSlotDocument (juce::XmlElement& document) const
{
    auto& properties = PatchDocument::writeHeader (document);
    const auto& slot = currentSlot();
    properties.setAttribute ("activeChannel", PresetSlot::clampChannel (slot.activeChannel.load()));

    for (int c = 0; c < PresetSlot::numChannels; ++c)
        writeChannel (properties, slot, c);
}

void VardekoQX2710AudioProcessor::readChannelValues (const juce::XmlElement* firstValue, int slot, int channel)
{
    auto& values = presetSlots[(size_t) slot].values[(size_t) channel];

    for (auto* element = firstValue; element != nullptr; element = element->getNextElement())
        if (const auto parsed = PatchDocument::readValue (*element))
            values[(size_t) parsed->index].store (parsed->value);
}

void VardekoQX2710AudioProcessor::applyPresetValues (const juce::XmlElement* firstValue)
{
    for (auto* element = firstValue; element != nullptr; element = element->getNextElement())
        if (const auto parsed = PatchDocument::readValue (*element))
            setParameterNotifyingHost (parsed->index, parsed->value);
}

int VardekoQX2710AudioProcessor::loadPatchDocument (std::unique_ptr<juce::XmlElement> document, bool presetOnly)
{
    if (! presetOnly)
    {
        if (! PatchDocument::isPatchRoot (document.get()))
            return fullStateLoaded;

        // A document without "Properties" changes nothing.
        auto* properties = PatchDocument::findProperties (*document);

        if (properties == nullptr)
            return fullStateLoaded;

        const auto wanted = PatchDocument::integerAttribute (*properties, 3);
        int a = 0, b = 0;
        int i = 0;

        // Slots and channels beyond the table are ignored, and foreign channel numbers read
        // as channel 0, so a document can never write outside the table.
        for (auto* preset : properties->getChildIterator())
        {
            if (preset->isTextElement())
                continue;

            if (i >= numPresetSlots)
                break;

            auto& slot = presetSlots[(size_t) i];
            const auto channel = PresetSlot::clampChannel (PatchDocument::integerAttribute (*preset, 1));
            slot.activeChannel.store (channel);

            int j = 0;

            for (auto* channelElement : preset->getChildIterator())
            {
                if (channelElement->isTextElement())
                    continue;

                if (j >= PresetSlot::numChannels)
                    break;

                slot.presetPath[(size_t) j] = PatchDocument::readPresetPath (*channelElement);
                readChannelValues (channelElement->getFirstChildElement(), i, j);

                if (i == wanted && j == channel)
                {
                    a = i;
                    b = j;
                }

                ++j;
            }

            ++i;
        }

        activePreset.store (a);
        presetSlots[(size_t) a].activeChannel.store (b);
        setCurrentProgram (a);
        return fullStateLoaded;
    }

    if (! PatchDocument::isPatchRoot (document.get()))
        return presetUnreadable;

    auto* properties = PatchDocument::findProperties (*document);

    if (properties == nullptr)
        return presetUnreadable;

    if (PatchDocument::attribute (*properties, 0) != ProductInfo::productId)
        return presetOfOtherProduct;

    applyPresetValues (properties->getFirstChildElement());

    return PatchDocument::attribute (*properties, 2).getDoubleValue() > 1.0 ? presetFromNewerVersion
                                                                            : presetLoaded;
}

bool VardekoQX2710AudioProcessor::loadSlotDocument (std::unique_ptr<juce::XmlElement> document)
{
    if (! PatchDocument::isPatchRoot (document.get()))
        return false;

    auto* properties = PatchDocument::findProperties (*document);

    if (properties == nullptr)
        return true;

    const auto current = activePreset.load();
    auto& slot = presetSlots[(size_t) current];
    slot.activeChannel.store (PresetSlot::clampChannel (PatchDocument::integerAttribute (*properties, 3)));

    int b = 0;

    for (auto* channelElement : properties->getChildIterator())
    {
        if (channelElement->isTextElement())
            continue;

        if (b >= PresetSlot::numChannels)
            break;

        slot.presetPath[(size_t) b] = PatchDocument::readPresetPath (*channelElement);
        readChannelValues (channelElement->getFirstChildElement(), current, b);
        ++b;
    }

    setCurrentProgram (current);
    return true;
}

bool VardekoQX2710AudioProcessor::presetDiffers (std::unique_ptr<juce::XmlElement> document)
{
    if (! PatchDocument::isPatchRoot (document.get()))
        return false;

    auto* properties = PatchDocument::findProperties (*document);

    if (properties == nullptr)
        return false;

    for (auto* element : properties->getChildIterator())
    {
        if (const auto parsed = PatchDocument::readValue (*element))
        {
            auto live = getParameter (parsed->index);

            if (parsed->index == HostParameters::onBypass)
                live = live > 0.0f ? 1.0f : 0.0f;

            if (std::abs (parsed->value - live) >= 1e-5f)
                return true;
        }
    }

    return false;
}

JUCE_END_IGNORE_WARNINGS_GCC_LIKE

//==============================================================================
juce::AudioProcessor* JUCE_CALLTYPE createPluginFilter()
{
    return new VardekoQX2710AudioProcessor();
}
