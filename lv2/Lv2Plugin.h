#pragma once

#include "lv2/Lv2Ports.h"
#include "processor/HostParameters.h"
#include "processor/VardekoQX2710AudioProcessor.h"

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <array>
#include <atomic>
#include <memory>
#include <vector>

namespace juce
{
class MessageThread;
}

// One LV2 instance around the processor. The host's control ports are the parameters: a port
// the host changes reaches the processor at the next run; the processor's own changes (its
// editor, programs, preset files) reach the host through the editor's port writes (Lv2Ui).
// The state carries the processor's document; the presets select a program and set its values.
class Lv2Plugin
{
public:
    Lv2Plugin (Lv2Ports::Variant variant, double sampleRate, const LV2_URID_Map* map, int maxBlockLength);
    ~Lv2Plugin();

    // Null for an unusable sample rate. Hosts without urid:map (the simplest command-line ones)
    // get no state and no block-length options.
    static Lv2Plugin* create (Lv2Ports::Variant variant, double sampleRate, const LV2_Feature* const* features);

    void connectPort (uint32_t port, void* data) noexcept;
    void activate();
    void run (uint32_t numSamples) noexcept;
    void deactivate();

    LV2_State_Status save (LV2_State_Store_Function store, LV2_State_Handle handle);
    LV2_State_Status restore (LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

    VardekoQX2710AudioProcessor& getProcessor() noexcept { return *processor; }
    Lv2Ports::Variant getVariant() const noexcept { return variant; }

    // True while the plug-in changes its own values to follow the host (a preset being
    // applied): the editor must not echo those to the host.
    bool isFollowingHost() const noexcept { return followingHost.load() > 0; }

    // The block length used when the host gives none (it may then run any length: the run is
    // processed in pieces).
    static constexpr int defaultBlockLength = 4096;

private:
    void applyHostPorts() noexcept;
    void processPiece (uint32_t offset, int numSamples) noexcept;

    const Lv2Ports::Variant variant;
    const double sampleRate;
    const int blockLength;
    const int numChannels;

    std::unique_ptr<juce::ScopedJuceInitialiser_GUI> juceInitialiser;
    std::unique_ptr<juce::SharedResourcePointer<juce::MessageThread>> messageThread;
    std::unique_ptr<VardekoQX2710AudioProcessor> processor;

    LV2_URID stateKey = 0, programKey = 0, atomString = 0, atomInt = 0;

    std::array<const float*, 2> audioIn {};
    std::array<float*, 2> audioOut {};
    std::array<const float*, HostParameters::numParameters> controls {};
    const float* freeWheeling = nullptr;
    float* latency = nullptr;

    // The port values last taken from the host (NaN: take the next value whatever it is).
    std::array<float, HostParameters::numParameters> lastPortValues {};
    std::atomic<bool> retakePorts { false };
    bool nonRealtime = false;

    juce::AudioBuffer<float> work;
    juce::MidiBuffer midi;

    std::atomic<int> followingHost { 0 };

    JUCE_DECLARE_NON_COPYABLE (Lv2Plugin)
};
