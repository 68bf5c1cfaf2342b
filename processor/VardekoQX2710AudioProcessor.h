#pragma once

#include "models/DetachableTimer.h"
#include "processor/CircuitSwitcher.h"
#include "processor/DryWetMix.h"
#include "processor/HostParameters.h"
#include "processor/IndexedParameter.h"
#include "processor/InputSection.h"
#include "processor/ParameterValues.h"
#include "processor/ProgramBank.h"
#include "processor/ProgramDocuments.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <atomic>
#include <memory>

// The processor that the hosts talk to: five circuits, twelve programs of two channels each,
// and the audio path around the selected circuit. It answers the host and hands the work to
// one collaborator per job:
//   InputSection     input volume, meter and clip light
//   CircuitSwitcher  the circuits, the heard one, the crossfade and the deferred changes
//   DryWetMix        the delay-aligned dry path and the on/off dry/wet mix
//   ProgramBank      the twelve programs and their A/B channels
//   ProgramDocuments the host's state and preset files
//
// Threads: the host's audio thread runs processBlock; setParameter may arrive on any thread;
// circuit and oversampling changes are applied on the message thread by a polling timer, 50 ms
// after the last change. Hand-overs use atomics; the audio thread takes no lock. An instance
// may be destroyed on any thread: the destructor first waits out every timer callback.
class VardekoQX2710AudioProcessor : public juce::AudioProcessor
{
public:
    static constexpr int numPresetSlots = ProgramBank::numPresetSlots;
    static constexpr int numModels = CircuitSwitcher::numModels;
    static constexpr int minimumCapacity = 16384;

    VardekoQX2710AudioProcessor();
    ~VardekoQX2710AudioProcessor() override;

    //==============================================================================
    const juce::String getName() const override;
    bool acceptsMidi() const override { return false; }
    bool producesMidi() const override { return false; }
    bool isMidiEffect() const override { return false; }
    double getTailLengthSeconds() const override { return 0.0; }

    // Mono or stereo in, mono or stereo out, never fewer outputs than inputs.
    bool isBusesLayoutSupported (const BusesLayout& layouts) const override;

    void prepareToPlay (double sampleRate, int estimatedSamplesPerBlock) override;
    void releaseResources() override;
    void processBlock (juce::AudioBuffer<float>& buffer, juce::MidiBuffer& midi) override;
    using juce::AudioProcessor::processBlock;

    // The window belongs to the GUI layer, which hands the processor the function that makes
    // it (the plug-in's entry point does, before it makes a processor). Programs without the
    // GUI, such as the renderer, make processors without a window.
    using EditorMaker = juce::AudioProcessorEditor* (*) (VardekoQX2710AudioProcessor&);
    static void setEditorMaker (EditorMaker maker) noexcept;

    juce::AudioProcessorEditor* createEditor() override;
    bool hasEditor() const override;

    //==============================================================================
    // The values by index, which keeps the parameter identifiers and automation of sessions
    // saved with earlier versions of the plug-in. The eight parameter objects (IndexedParameter)
    // read and write them here, and give every format the names, steps and texts.
    float getParameter (int index) override;
    void setParameter (int index, float value) override;
    const juce::String getParameterText (int index) override;
    using juce::AudioProcessor::getParameterText;

    const juce::String getInputChannelName (int channelIndex) const override { return juce::String (channelIndex + 1); }
    const juce::String getOutputChannelName (int channelIndex) const override { return juce::String (channelIndex + 1); }
    bool isInputChannelStereoPair (int) const override { return true; }
    bool isOutputChannelStereoPair (int) const override { return true; }

    //==============================================================================
    int getNumPrograms() override { return numPresetSlots; }
    int getCurrentProgram() override { return programs.getActivePreset(); }
    void setCurrentProgram (int index) override;
    const juce::String getProgramName (int index) override { return programs.getProgramName (index); }
    void changeProgramName (int, const juce::String&) override {}

    //==============================================================================
    void getStateInformation (juce::MemoryBlock& destData) override { documents.writeState (destData); }
    void setStateInformation (const void* data, int sizeInBytes) override;
    void getCurrentProgramStateInformation (juce::MemoryBlock& destData) override { documents.writeProgramState (destData); }
    void setCurrentProgramStateInformation (const void* data, int sizeInBytes) override;

    // Patch documents (see ProgramDocuments). Loaders take ownership of the element.
    void createPatchDocument (juce::XmlElement& document, bool presetOnly) const { documents.createPatchDocument (document, presetOnly); }
    void createSlotDocument (juce::XmlElement& document) const { documents.createSlotDocument (document); }
    int loadPatchDocument (std::unique_ptr<juce::XmlElement> document, bool presetOnly) { return documents.loadPatchDocument (std::move (document), presetOnly); }
    bool loadSlotDocument (std::unique_ptr<juce::XmlElement> document) { return documents.loadSlotDocument (std::move (document)); }
    bool presetDiffers (std::unique_ptr<juce::XmlElement> document) { return documents.presetDiffers (std::move (document)); }
    juce::String getNewerVersionMessage() const { return documents.getNewerVersionMessage(); }

    //==============================================================================
    // Used by the editor and the preset menu.
    int getActiveChannel() const { return programs.getActiveChannel(); }
    void setActiveChannel (int channel) { programs.setActiveChannel (channel); }
    void copyChannel (int source, int destination) { programs.copyChannel (source, destination); }
    juce::String getCurrentPresetPath() const { return programs.getCurrentPresetPath(); }
    juce::String getPresetPath (int channel) const { return programs.getPresetPath (channel); }
    void setCurrentPresetPath (const juce::String& path) { programs.setCurrentPresetPath (path); }

    // What the editor polls: the meter, and flags that it clears once it has followed them.
    std::atomic<float> meterLevel { 0.0f };
    std::atomic<float> clipLight { 0.0f };
    std::atomic<bool> presetChanged { false };
    std::atomic<bool> parametersChanged { false };
    std::atomic<bool> channelChanged { false };

    // A window that opens brings every control, the A/B switch and the preset name up to date
    // at its first tick.
    void editorOpened() noexcept;

    // The editor loaded a preset or switched the channel: its controls and preset bar follow,
    // and so does the host's display.
    void presetChangedInEditor();

    //==============================================================================
    // What the message-thread timer does on every tick: once 50 ms have passed since the
    // last circuit or oversampling change, apply it. Message thread.
    void pollDeferredChanges();

    // Applies a changed circuit or oversampling choice now. Message thread.
    void applyDeferredChanges();

    // Tells the host every value again after a restored state, and the value stored for one it
    // set outside 0..1, so that the host's copy and a saved state agree. Every timer tick
    // (message thread); the audio thread does the same at the start of every block.
    void announcePendingValues();

    // Samples the effect takes after prepareToPlay to fade in from silence: an offline render
    // that starts this long before its first sample, on silence, hears none of the fade.
    static int getStartFadeLength (double sampleRate) noexcept;

    // The delay of the processed sound at an oversampling index (0 to 3) and host rate, in whole
    // samples: what the processor reports as its latency (getLatencySamples) from
    // prepareToPlay on and whenever the factor in use changes.
    static int getLatencyFor (int oversamplingIndex, double sampleRate) noexcept;

    // Introspection for tests and tools.
    float getProgramValue (int slot, int channel, int index) const
    {
        return programs.getSlot (slot).getValues (channel)[(size_t) index];
    }

    ModuleModel& getModel (int index) { return circuits.getModel (index); }
    int getRampLength() const noexcept { return rampLength; }
    int getHeardModel() const noexcept { return circuits.getHeardModel(); }
    bool isCrossfading() const noexcept { return circuits.isCrossfading(); }
    int getAlignmentIndex() const noexcept { return dryWet.getAlignmentIndex(); }
    bool isPrepared() const noexcept { return prepared.load (std::memory_order_acquire); }
    float getMix() const noexcept { return dryWet.getMix(); }

private:
    void ensureTimerRunning();
    void moveDryPathTo (int oversamplingIndex);
    void reportLatencyFor (int oversamplingIndex);

    void resetProcessingState (bool atRenderStart);
    void processChunk (juce::AudioBuffer<float>& buffer, int start, int numSamples);

    // Offline, before the render's first sound: the samples of the block up to it (all of them
    // when it is not in this block) leave as silence, and the render starts there.
    int passSilenceBeforeTheFirstSound (juce::AudioBuffer<float>& buffer);
    void publishMeter() noexcept;

    //==============================================================================
    ProgramBank programs;
    ProgramDocuments documents { programs, *this };
    ParameterValues parameterValues;

    // Audio thread.
    bool onState = true;
    bool renderingOffline = false;
    bool awaitingFirstSound = false;
    int rampLength = 2048;
    int capacity = 0;

    InputSection input;
    CircuitSwitcher circuits { parameterValues };
    DryWetMix dryWet;

    std::atomic<bool> prepared { false };

    // One bit per parameter whose value the host must hear again: every one after a restored
    // state, or one it set outside 0..1. Some hosts learn values only from the audio thread (a
    // wrapper's output changes), others only from the message thread, so each thread has its
    // own copy. Set on any thread.
    static constexpr uint32_t allParameterBits = (1u << HostParameters::numParameters) - 1;
    std::atomic<uint32_t> valuesForAudioThread { 0 };
    std::atomic<uint32_t> valuesForMessageThread { 0 };
    void noteValuesToAnnounce (uint32_t parameterBits) noexcept;
    void announceToHost (std::atomic<uint32_t>& pending);

    DetachableTimer timer { [this]
                            {
                                pollDeferredChanges();
                                announcePendingValues();
                            } };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (VardekoQX2710AudioProcessor)
};
