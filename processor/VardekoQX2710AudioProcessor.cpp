#include "processor/VardekoQX2710AudioProcessor.h"

#include "dsp/OversamplingAlignment.h"
#include "dsp/RateBands.h"
#include "processor/ProductInfo.h"

#include <algorithm>
#include <cmath>

//==============================================================================
VardekoQX2710AudioProcessor::VardekoQX2710AudioProcessor()
    : juce::AudioProcessor (BusesProperties()
                                .withInput ("Input", juce::AudioChannelSet::stereo(), true)
                                .withOutput ("Output", juce::AudioChannelSet::stereo(), true))
{
    for (int k = 0; k < HostParameters::numParameters; ++k)
        addParameter (new IndexedParameter (*this, k));

    ensureTimerRunning();
}

VardekoQX2710AudioProcessor::~VardekoQX2710AudioProcessor()
{
    // Hosts may destroy an instance away from the message thread while a change is due.
    timer.detach();
}

const juce::String VardekoQX2710AudioProcessor::getName() const
{
    return ProductInfo::name;
}

namespace
{
std::atomic<VardekoQX2710AudioProcessor::EditorMaker> editorMaker { nullptr };
}

void VardekoQX2710AudioProcessor::setEditorMaker (EditorMaker maker) noexcept
{
    editorMaker.store (maker);
}

bool VardekoQX2710AudioProcessor::hasEditor() const
{
    return editorMaker.load() != nullptr;
}

juce::AudioProcessorEditor* VardekoQX2710AudioProcessor::createEditor()
{
    const auto maker = editorMaker.load();
    return maker != nullptr ? maker (*this) : nullptr;
}

void VardekoQX2710AudioProcessor::editorOpened() noexcept
{
    parametersChanged = true;
    channelChanged = true;
    presetChanged = true;
}

void VardekoQX2710AudioProcessor::presetChangedInEditor()
{
    presetChanged = true;
    parametersChanged = true;
    updateHostDisplay();
}

void VardekoQX2710AudioProcessor::ensureTimerRunning()
{
    // Without a message loop (the command-line renderer) nothing would ever fire; values are
    // then applied by prepareToPlay.
    if (juce::MessageManager::getInstanceWithoutCreating() != nullptr && ! timer.isTimerRunning())
        timer.startTimer (10);
}

bool VardekoQX2710AudioProcessor::isBusesLayoutSupported (const BusesLayout& layouts) const
{
    const auto in = layouts.getMainInputChannelSet();
    const auto out = layouts.getMainOutputChannelSet();
    const auto monoOrStereo = [] (const juce::AudioChannelSet& set)
    { return set == juce::AudioChannelSet::mono() || set == juce::AudioChannelSet::stereo(); };

    return monoOrStereo (in) && monoOrStereo (out) && in.size() <= out.size();
}

int VardekoQX2710AudioProcessor::getStartFadeLength (double sampleRate) noexcept
{
    return CircuitSwitcher::getStartFadeLength ((float) sampleRate);
}

//==============================================================================
void VardekoQX2710AudioProcessor::prepareToPlay (double sampleRate, int estimatedSamplesPerBlock)
{
    prepared.store (false, std::memory_order_release);

    if (! (sampleRate > 0.0) || ! std::isfinite (sampleRate))
        sampleRate = 44100.0;

    const auto rate = (float) sampleRate;
    rampLength = RateBands::rampLength (rate);
    capacity = std::max (estimatedSamplesPerBlock, minimumCapacity);

    input.prepare (rate, rampLength);
    circuits.prepare (rate, capacity, rampLength);
    dryWet.prepare (rate, capacity, rampLength);
    publishMeter();

    resetProcessingState (false);

    // A render starts at the first offline block, from the values live then, even when the
    // host prepared the plug-in for it.
    renderingOffline = false;

    prepared.store (true, std::memory_order_release);
    ensureTimerRunning();
}

void VardekoQX2710AudioProcessor::releaseResources()
{
    // Until the next prepareToPlay the audio passes through untouched.
    prepared.store (false, std::memory_order_release);

    circuits.release();
    dryWet.release();
}

// Brings all processing state into line with the live values, with no ramp or fade.
void VardekoQX2710AudioProcessor::resetProcessingState (bool atRenderStart)
{
    input.reset (HostParameters::getInputGain (parameterValues.get (HostParameters::inputVol)));
    meterLevel.store (0.0f);

    onState = parameterValues.get (HostParameters::onBypass) > 0.0f;

    const auto oversamplingIndex = atRenderStart ? circuits.resetForRender() : circuits.reset();
    dryWet.reset (onState ? parameterValues.get (HostParameters::dryWet) : 0.0f, onState, oversamplingIndex);
    reportLatencyFor (oversamplingIndex);
}

int VardekoQX2710AudioProcessor::getLatencyFor (int oversamplingIndex, double sampleRate) noexcept
{
    return OversamplingAlignment::getLatencySamples (oversamplingIndex, (float) sampleRate);
}

void VardekoQX2710AudioProcessor::reportLatencyFor (int oversamplingIndex)
{
    // Dry and wet are aligned with each other, not with the other tracks: the host moves this
    // track earlier by the whole samples of the oversampling delay (and hears of each change).
    setLatencySamples (getLatencyFor (oversamplingIndex, circuits.getSampleRate()));
}

//==============================================================================
void VardekoQX2710AudioProcessor::processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer&)
{
    // Wrappers hand the host what the audio thread announced in this block's output changes:
    // values announced earlier (before a restored state, say) must not be the last it hears.
    announceToHost (valuesForAudioThread);

    if (! prepared.load (std::memory_order_acquire))
        return;

    juce::ScopedNoDenormals noDenormals;

    if (buffer.getNumChannels() == 0 || getTotalNumInputChannels() == 0)
        return;

    // Blocks longer than the prepared buffers are processed in pieces, so nothing is ever
    // written past the buffers and no circuit has to grow its own.
    const auto numSamples = buffer.getNumSamples();

    const bool offline = isNonRealtime();

    // An offline render starts from the values it is given, as a freshly prepared processor
    // does: no ramp, fade or crossfade left over from real time, and no change left to a timer,
    // so that how long and how fast the host ran the plug-in before cannot reach the render.
    // It starts at its first sound: the silent cycles a host runs before it rolls (as many as
    // it likes) leave nothing behind, not even the circuits' own settling on silence.
    awaitingFirstSound = offline && (awaitingFirstSound || ! renderingOffline);
    circuits.setOffline (offline);
    renderingOffline = offline;

    int start = 0;

    if (awaitingFirstSound)
    {
        start = passSilenceBeforeTheFirstSound (buffer);

        if (start == numSamples)
            return;

        resetProcessingState (true);
        awaitingFirstSound = false;
    }

    while (start < numSamples)
    {
        auto n = std::min (capacity, numSamples - start);

        // Offline, a circuit or oversampling change is made at the sample it falls due.
        if (offline)
        {
            const auto untilChange = circuits.getSamplesBeforeDeferredChange();

            if (untilChange == 0)
            {
                moveDryPathTo (circuits.applyDueChange());
                continue;
            }

            if (untilChange > 0)
                n = std::min (n, untilChange);
        }

        processChunk (buffer, start, n);
        circuits.advanceDeferredCountdown (n);
        start += n;
    }
}

int VardekoQX2710AudioProcessor::passSilenceBeforeTheFirstSound (juce::AudioBuffer<float>& buffer)
{
    const auto numSamples = buffer.getNumSamples();
    const auto numInputs = std::min (getTotalNumInputChannels(), buffer.getNumChannels());
    auto firstSound = numSamples;

    for (int ch = 0; ch < numInputs; ++ch)
    {
        const auto* samples = buffer.getReadPointer (ch);
        const auto* sound = std::find_if (samples, samples + firstSound, [] (float x)
                                          { return x != 0.0f; });
        firstSound = (int) (sound - samples);
    }

    // Outputs beyond the inputs hold whatever the host left there.
    buffer.clear (0, firstSound);
    input.silenceMeter();
    publishMeter();
    return firstSound;
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
    float* wetRight = stereoIn ? right : nullptr;

    InputSection::sanitise (left, n);

    if (wetRight != nullptr)
        InputSection::sanitise (wetRight, n);

    // A factor change applied to the circuits in use: the dry path follows it from this block.
    if (const auto o = circuits.takeAlignmentRequest(); o >= 0)
        dryWet.requestAlignment (o);

    // On/off edge. Once the effect has faded to dry the circuits and the dry-path alignment
    // stood still: switching on starts the circuits from a clean history and brings the
    // alignment up to date with the recent input. During the fade both are still running and
    // simply carry on.
    const bool on = parameterValues.get (HostParameters::onBypass) > 0.0f;

    if (on != onState)
    {
        if (on && dryWet.isDry())
        {
            circuits.clearHeardHistories();
            dryWet.primeAlignment();
        }

        onState = on;
    }

    if (! on)
    {
        // Off and fully dry: the input, delayed by the latency the host compensates.
        if (dryWet.isDry())
        {
            input.silenceMeter();
            publishMeter();
            dryWet.passDelayed (left, stereoIn ? right : nullptr, n);

            if (numInputs == 1)
                for (int ch = 1; ch < std::min (numOutputs, buffer.getNumChannels()); ++ch)
                    buffer.copyFrom (ch, start, left, n);

            return;
        }

        input.decayMeter (n);
    }

    // The dry path is taken before the input volume.
    input.setTargetGain (HostParameters::getInputGain (parameterValues.get (HostParameters::inputVol)));
    dryWet.takeDryCopy (left, stereoIn ? right : left, n);
    input.process (left, wetRight, n);
    publishMeter();

    circuits.process (left, wetRight, n);
    dryWet.process (left, wetRight, n, onState ? parameterValues.get (HostParameters::dryWet) : 0.0f, onState);

    if (! stereoIn && stereoOut)
        std::copy (left, left + n, right);
}

void VardekoQX2710AudioProcessor::publishMeter() noexcept
{
    meterLevel.store (input.getMeterLevel(), std::memory_order_relaxed);
    clipLight.store (input.getClipLight(), std::memory_order_relaxed);
}

//==============================================================================
void VardekoQX2710AudioProcessor::pollDeferredChanges()
{
    if (isPrepared())
        moveDryPathTo (circuits.pollDeferredChanges());
}

void VardekoQX2710AudioProcessor::applyDeferredChanges()
{
    if (isPrepared())
        moveDryPathTo (circuits.applyDeferredChanges());
}

void VardekoQX2710AudioProcessor::announcePendingValues()
{
    announceToHost (valuesForMessageThread);
}

void VardekoQX2710AudioProcessor::noteValuesToAnnounce (uint32_t parameterBits) noexcept
{
    valuesForAudioThread.fetch_or (parameterBits);
    valuesForMessageThread.fetch_or (parameterBits);
}

void VardekoQX2710AudioProcessor::announceToHost (std::atomic<uint32_t>& pending)
{
    // A cheap load first: nearly every block has nothing to tell.
    if (pending.load (std::memory_order_relaxed) == 0)
        return;

    const auto bits = pending.exchange (0);

    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
    for (int k = 0; k < HostParameters::numParameters; ++k)
        if ((bits & (1u << k)) != 0)
            sendParamChangeMessageToListeners (k, getParameter (k));
    JUCE_END_IGNORE_WARNINGS_GCC_LIKE
}

void VardekoQX2710AudioProcessor::moveDryPathTo (int oversamplingIndex)
{
    // The dry path follows a changed factor (or a newly started circuit) at the next block,
    // which takes it from the circuits in use (see processChunk).
    if (oversamplingIndex >= 0)
        reportLatencyFor (oversamplingIndex);
}

//==============================================================================
JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")

float VardekoQX2710AudioProcessor::getParameter (int index)
{
    return HostParameters::isValidIndex (index) ? programs.getValue (index) : 0.0f;
}

void VardekoQX2710AudioProcessor::setParameter (int index, float value)
{
    // A value that is not a number keeps the old one; the rest is stored as it is, inside 0..1.
    const auto stored = HostParameters::toStoredValue (index, value);

    if (! stored)
        return;

    // Hosts keep their own copy of what they set; they hear of a value that was clamped later
    // (this may be the audio thread).
    if (*stored != value)
        noteValuesToAnnounce (1u << index);

    programs.setValue (index, *stored);
    parameterValues.set (index, *stored);
    parametersChanged.store (true);

    if (index == HostParameters::overdriveType || index == HostParameters::oversampling)
        circuits.noteDeferredChange();
}

const juce::String VardekoQX2710AudioProcessor::getParameterText (int index)
{
    return HostParameters::isValidIndex (index) ? HostParameters::getText (index, parameterValues.get (index)) : juce::String();
}

//==============================================================================
void VardekoQX2710AudioProcessor::setCurrentProgram (int index)
{
    if (! ProgramBank::isValidSlot (index))
        return;

    programs.setActivePreset (index);

    // The host, the circuits and the editor all hear of the program's values.
    for (int k = 0; k < HostParameters::numParameters; ++k)
    {
        const auto v = programs.getValue (k);
        setParameter (k, v);
        sendParamChangeMessageToListeners (k, v);
    }

    parametersChanged.store (true);
    channelChanged.store (true);
    presetChanged.store (true);
}

JUCE_END_IGNORE_WARNINGS_GCC_LIKE

//==============================================================================
void VardekoQX2710AudioProcessor::setStateInformation (const void* data, int sizeInBytes)
{
    documents.restoreState (data, sizeInBytes);
    noteValuesToAnnounce (allParameterBits);
}

void VardekoQX2710AudioProcessor::setCurrentProgramStateInformation (const void* data, int sizeInBytes)
{
    documents.restoreProgramState (data, sizeInBytes);
    noteValuesToAnnounce (allParameterBits);
}
