#pragma once

#include "dsp/OversamplingAlignment.h"
#include "models/BluesBreakerOverdrive.h"
#include "models/CJOverdrive.h"
#include "models/LittleGreenOverdrive.h"
#include "models/OCDOverdrive.h"
#include "models/TS9Overdrive.h"
#include "processor/HostParameters.h"
#include "processor/PresetSlot.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <array>
#include <atomic>
#include <memory>
#include <vector>

// The processor that the hosts talk to: five circuits, twelve programs of two channels each,
// and the audio path around the selected circuit (input volume, meter and clip light, circuit
// crossfade, on/off switch, dry/wet mix with a delay-aligned dry path).
//
// Threads: the host's audio thread runs processBlock; setParameter may arrive on any thread;
// circuit and oversampling changes are applied on the message thread by a polling timer, 50 ms
// after the last change. Hand-overs use atomics with one writer per field; the audio thread
// owns the crossfade state and adopts circuits that the timer has prepared. No lock is taken.
class VardekoQX2710AudioProcessor : public juce::AudioProcessor,
                                    private juce::Timer
{
public:
    static constexpr int numPresetSlots = 12;
    static constexpr int numModels = HostParameters::numModels;
    static constexpr int minimumCapacity = 16384;
    static constexpr int deferredChangeDelayMs = 50;

    VardekoQX2710AudioProcessor();
    ~VardekoQX2710AudioProcessor() override;

    //==============================================================================
    const juce::String getName() const override;
    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }
    bool isMidiEffect() const override { return false; }
    double getTailLengthSeconds() const override { return 0.0; }

    void prepareToPlay (double sampleRate, int estimatedSamplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    using juce::AudioProcessor::processBlock;

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override { return true; }

    //==============================================================================
    // The indexed parameter interface (the design predates parameter objects).
    int getNumParameters() override;
    const juce::String getParameterName (int index) override;
    float getParameter (int index) override;
    void setParameter (int index, float value) override;
    const juce::String getParameterText (int index) override;
    juce::String getParameterID (int index) override;
    float getParameterDefaultValue (int index) override;
    using juce::AudioProcessor::getParameterName;
    using juce::AudioProcessor::getParameterText;

    const juce::String getInputChannelName (int channelIndex) const override;
    const juce::String getOutputChannelName (int channelIndex) const override;
    bool isInputChannelStereoPair (int index) const override;
    bool isOutputChannelStereoPair (int index) const override;

    //==============================================================================
    int getNumPrograms() override { return numPresetSlots; }
    int getCurrentProgram() override;
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override;
    void changeProgramName (int, const juce::String&) override {}

    //==============================================================================
    void getStateInformation (juce::MemoryBlock& destData) override;
    void setStateInformation (const void* data, int sizeInBytes) override;
    void getCurrentProgramStateInformation (juce::MemoryBlock& destData) override;
    void setCurrentProgramStateInformation (const void* data, int sizeInBytes) override;

    // Patch documents. Loaders take ownership of the element.
    void createPatchDocument (juce::XmlElement& document, bool presetOnly) const;
    void createSlotDocument (juce::XmlElement& document) const;
    int loadPatchDocument (std::unique_ptr<juce::XmlElement> document, bool presetOnly);
    bool loadSlotDocument (std::unique_ptr<juce::XmlElement> document);
    bool presetDiffers (std::unique_ptr<juce::XmlElement> document);

    // Results of loading a preset file.
    enum PresetLoadResult
    {
        presetUnreadable = 0,
        presetLoaded = 1,
        presetOfOtherProduct = 2,
        presetFromNewerVersion = 4,
        fullStateLoaded = 5
    };

    // The message shown when a preset file comes from a newer version of the product.
    juce::String getNewerVersionMessage() const;

    // "Molvek/Presets/VardekoQX2710" in the user's documents folder.
    static juce::File getPresetFolder();

    //==============================================================================
    // Used by the editor and the preset menu.
    int getActiveChannel() const;
    void setActiveChannel (int channel);
    void copyChannel (int source, int destination);
    juce::String getCurrentPresetPath() const;
    juce::String getPresetPath (int channel) const;
    void setCurrentPresetPath (const juce::String& path);

    std::atomic<float> meterLevel { 0.0f };
    std::atomic<float> clipLight { 0.0f };
    std::atomic<bool> presetChanged { false };
    std::atomic<bool> parametersChanged { false };
    std::atomic<bool> channelChanged { false };

    //==============================================================================
    // What the message-thread timer does on every tick: once 50 ms have passed since the
    // last circuit or oversampling change, apply it. Message thread.
    void pollDeferredChanges();

    // Applies a changed circuit or oversampling choice now. Message thread.
    void applyDeferredChanges();

    // Introspection for tests and tools.
    ModuleModel& getModel (int index);
    int getRampLength() const noexcept { return rampLength; }
    int getHeardModel() const noexcept;
    bool isCrossfading() const noexcept;
    int getAlignmentIndex() const noexcept { return alignment.getActiveIndex(); }
    bool isPrepared() const noexcept { return prepared.load (std::memory_order_acquire); }
    float getMix() const noexcept { return mix; }

private:
    void timerCallback() override;
    void ensureTimerRunning();

    void resetProcessingState();
    void processChunk (juce::AudioBuffer<float>& buffer, int start, int numSamples);
    void adoptPreparedModel();
    void forwardParameter (int modelParameter, float value, float& lastForwarded, bool fading);
    void publishModelState() noexcept;
    void startModelForTimer (int model);

    float parameterValue (int index) const noexcept { return parameterValues[(size_t) index].load (std::memory_order_relaxed); }

    void readChannelValues (const juce::XmlElement* firstValue, int slot, int channel);
    void applyPresetValues (const juce::XmlElement* firstValue);

    PresetSlot& currentSlot() noexcept { return presetSlots[(size_t) activePreset.load()]; }
    const PresetSlot& currentSlot() const noexcept { return presetSlots[(size_t) activePreset.load()]; }

    //==============================================================================
    std::unique_ptr<juce::XmlElement> pendingState;
    std::atomic<int> activePreset { 0 };
    std::array<PresetSlot, numPresetSlots> presetSlots;
    std::array<std::atomic<float>, HostParameters::numParameters> parameterValues;

    // Audio thread.
    bool onState = true;
    float inputGainTarget = 1.0f;
    float inputGain = 1.0f;
    float inputGainStep = 0.0f;
    int rampLength = 2048;
    int inputGainCounter = 2048;

    float meterDecay = 0.0f;
    float meter = 0.0f;
    float clipHoldPhase = 1.0f;
    float clipHoldStepPerSample = 0.0f;

    std::vector<float> fadeBufferLeft, fadeBufferRight;

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

    float lastDrive = 0.5f, lastTone = 0.5f, lastLevel = 0.5f;

    std::vector<float> dryBufferLeft, dryBufferRight;

    int16_t mixCounter = 0;
    int16_t mixLength = 0;
    float mixStep = 0.0f;
    float mix = 0.0f;
    float mixTarget = 0.0f;

    OversamplingAlignment alignment;
    float crossfadeStepBase = 0.0f;
    int capacity = 0;
    float currentSampleRate = 44100.0f;

    std::atomic<bool> prepared { false };

    // Hand-over of a circuit change: the timer resets and starts a circuit that is not being
    // heard, records the values it gave it, then publishes its index; the audio thread adopts
    // it at the start of a block and publishes what it plays.
    std::atomic<int> pendingModel { -1 };
    std::array<std::atomic<float>, 3> pendingModelValues {};
    std::atomic<int> audioModelState { 0 };

    // Hand-over of an oversampling change: index first, then the flag (release/acquire).
    std::atomic<int> oversamplingIndex { 0 };
    std::atomic<int> alignmentIndex { 0 };
    std::atomic<bool> alignmentPending { false };

    // Debounce of circuit and oversampling changes, stamped by setParameter on any thread.
    std::atomic<uint32_t> deferredChangeStamp { 0 };
    std::atomic<uint32_t> deferredChangeTimeMs { 0 };
    uint32_t appliedChangeStamp = 0;
    bool retryDeferredChange = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VardekoQX2710AudioProcessor)
};
