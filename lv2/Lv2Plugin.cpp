// The message thread of a JUCE plug-in without a host-driven loop needs the X11 declarations.
#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1

#include "lv2/Lv2Plugin.h"

#include <juce_audio_plugin_client/utility/juce_LinuxMessageThread.h>

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace
{
const void* findFeature (const LV2_Feature* const* features, const char* uri)
{
    for (auto* f = features; f != nullptr && *f != nullptr; ++f)
        if (std::strcmp ((*f)->URI, uri) == 0)
            return (*f)->data;

    return nullptr;
}

bool hasFeature (const LV2_Feature* const* features, const char* uri)
{
    for (auto* f = features; f != nullptr && *f != nullptr; ++f)
        if (std::strcmp ((*f)->URI, uri) == 0)
            return true;

    return false;
}

// The longest block the host promises, from its options; 0 when it gives none.
int findMaxBlockLength (const LV2_Feature* const* features, const LV2_URID_Map& map)
{
    const auto* options = static_cast<const LV2_Options_Option*> (findFeature (features, LV2_OPTIONS__options));

    if (options == nullptr || ! hasFeature (features, LV2_BUF_SIZE__boundedBlockLength))
        return 0;

    const auto maxKey = map.map (map.handle, LV2_BUF_SIZE__maxBlockLength);
    const auto intType = map.map (map.handle, LV2_ATOM__Int);
    const auto longType = map.map (map.handle, LV2_ATOM__Long);

    for (auto* o = options; o->key != 0 || o->value != nullptr; ++o)
    {
        if (o->key != maxKey || o->value == nullptr)
            continue;

        if (o->type == intType && o->size == sizeof (int32_t))
            return (int) *static_cast<const int32_t*> (o->value);

        if (o->type == longType && o->size == sizeof (int64_t))
            return (int) juce::jlimit<int64_t> (0, 1 << 20, *static_cast<const int64_t*> (o->value));
    }

    return 0;
}
} // namespace

//==============================================================================
Lv2Plugin* Lv2Plugin::create (Lv2Ports::Variant variant, double sampleRate, const LV2_Feature* const* features)
{
    const auto* map = static_cast<const LV2_URID_Map*> (findFeature (features, LV2_URID__map));

    if (! (sampleRate > 0.0) || ! std::isfinite (sampleRate))
        return nullptr;

    const auto promised = map != nullptr ? findMaxBlockLength (features, *map) : 0;
    const auto blockLength = promised > 0 ? juce::jmin (promised, 1 << 16) : defaultBlockLength;

    return new Lv2Plugin (variant, sampleRate, map, blockLength);
}

Lv2Plugin::Lv2Plugin (Lv2Ports::Variant variantToUse, double rate, const LV2_URID_Map* map, int maxBlockLength)
    : variant (variantToUse)
    , sampleRate (rate)
    , blockLength (maxBlockLength)
    , numChannels (Lv2Ports::getNumAudioChannels (variantToUse))
{
    juceInitialiser = std::make_unique<juce::ScopedJuceInitialiser_GUI>();

    // Timers (the processor's deferred changes, the editor) need a running message loop; while
    // an editor is open the host's UI thread drives it instead (Lv2Ui).
    messageThread = std::make_unique<juce::SharedResourcePointer<juce::MessageThread>>();

    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_LV2);
    processor.reset (static_cast<VardekoQX2710AudioProcessor*> (createPluginFilter()));
    juce::AudioProcessor::setTypeOfNextNewPlugin (juce::AudioProcessor::wrapperType_Undefined);

    processor->setPlayConfigDetails (numChannels, numChannels, sampleRate, blockLength);

    if (map != nullptr)
    {
        stateKey = map->map (map->handle, Lv2Ports::getStateUri().toRawUTF8());
        programKey = map->map (map->handle, Lv2Ports::getProgramUri().toRawUTF8());
        atomString = map->map (map->handle, LV2_ATOM__String);
        atomInt = map->map (map->handle, LV2_ATOM__Int);
    }

    // Until the host moves a port, the values are the processor's (the ports' defaults).
    for (int k = 0; k < HostParameters::numParameters; ++k)
        lastPortValues[(size_t) k] = Lv2Ports::toPortValue (k, HostParameters::getDefaultValue (k));

    work.setSize (numChannels, blockLength);
    work.clear();
}

Lv2Plugin::~Lv2Plugin()
{
    processor.reset();
    messageThread.reset();
    juceInitialiser.reset();
}

//==============================================================================
void Lv2Plugin::connectPort (uint32_t port, void* data) noexcept
{
    for (int c = 0; c < numChannels; ++c)
    {
        if (port == Lv2Ports::getAudioInputPort (variant, c))
            audioIn[(size_t) c] = static_cast<const float*> (data);
        else if (port == Lv2Ports::getAudioOutputPort (variant, c))
            audioOut[(size_t) c] = static_cast<float*> (data);
    }

    const auto parameter = Lv2Ports::getParameterOfPort (variant, port);

    if (parameter >= 0)
        controls[(size_t) parameter] = static_cast<const float*> (data);
    else if (port == Lv2Ports::getFreeWheelingPort (variant))
        freeWheeling = static_cast<const float*> (data);
    else if (port == Lv2Ports::getLatencyPort (variant))
        latency = static_cast<float*> (data);
}

void Lv2Plugin::activate()
{
    // Values the host set before starting apply from the first sample, with no fade.
    applyHostPorts();
    processor->setRateAndBufferSizeDetails (sampleRate, blockLength);
    processor->prepareToPlay (sampleRate, blockLength);
}

void Lv2Plugin::deactivate()
{
    processor->releaseResources();
}

void Lv2Plugin::run (uint32_t numSamples) noexcept
{
    const bool offline = freeWheeling != nullptr && *freeWheeling > 0.5f;

    if (offline != nonRealtime)
    {
        nonRealtime = offline;
        processor->setNonRealtime (offline);
    }

    applyHostPorts();

    // Hosts without a promised block length may run any length: process it in pieces.
    for (uint32_t offset = 0; offset < numSamples; offset += (uint32_t) blockLength)
        processPiece (offset, (int) juce::jmin<uint32_t> ((uint32_t) blockLength, numSamples - offset));

    // After the run: a factor changed inside it is reported with it.
    if (latency != nullptr)
        *latency = (float) processor->getLatencySamples();
}

void Lv2Plugin::applyHostPorts() noexcept
{
    const bool retake = retakePorts.exchange (false);

    for (int k = 0; k < HostParameters::numParameters; ++k)
    {
        const auto* port = controls[(size_t) k];

        if (port == nullptr)
            continue;

        const auto portValue = *port;

        if (! std::isfinite (portValue) || (portValue == lastPortValues[(size_t) k] && ! retake))
            continue;

        lastPortValues[(size_t) k] = portValue;
        const auto value = Lv2Ports::toParameterValue (k, portValue);

        JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
        if (processor->getParameter (k) != value)
            processor->setParameter (k, value);
        JUCE_END_IGNORE_WARNINGS_GCC_LIKE
    }
}

void Lv2Plugin::processPiece (uint32_t offset, int n) noexcept
{
    // The host may process in place (outputs on the inputs): copy in, process, copy out.
    for (int c = 0; c < numChannels; ++c)
    {
        if (const auto* in = audioIn[(size_t) c])
            work.copyFrom (c, 0, in + offset, n);
        else
            work.clear (c, 0, n);
    }

    {
        juce::AudioBuffer<float> block (work.getArrayOfWritePointers(), numChannels, n);
        processor->processBlock (block, midi);
    }

    for (int c = 0; c < numChannels; ++c)
        if (auto* out = audioOut[(size_t) c])
            std::memcpy (out + offset, work.getReadPointer (c), (size_t) n * sizeof (float));
}

//==============================================================================
LV2_State_Status Lv2Plugin::save (LV2_State_Store_Function store, LV2_State_Handle handle)
{
    if (stateKey == 0)
        return LV2_STATE_ERR_NO_FEATURE;

    juce::MemoryBlock block;
    processor->getStateInformation (block);
    const auto text = block.toBase64Encoding();

    return store (handle, stateKey, text.toRawUTF8(), text.getNumBytesAsUTF8() + 1, atomString, LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status Lv2Plugin::restore (LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle)
{
    if (stateKey == 0)
        return LV2_STATE_ERR_NO_FEATURE;

    size_t size = 0;
    uint32_t type = 0, flags = 0;

    // A preset: its program, then the values its ports carry (the host sets those ports
    // before or after this call; the next run takes them whatever they are).
    if (const auto* program = retrieve (handle, programKey, &size, &type, &flags);
        program != nullptr && type == atomInt && size == sizeof (int32_t))
    {
        int32_t index = 0;
        std::memcpy (&index, program, sizeof (index));

        if (! ProgramBank::isValidSlot (index))
            return LV2_STATE_ERR_UNKNOWN;

        followingHost.fetch_add (1);
        processor->setCurrentProgram (index);
        followingHost.fetch_sub (1);

        retakePorts.store (true);
        return LV2_STATE_SUCCESS;
    }

    const auto* data = retrieve (handle, stateKey, &size, &type, &flags);

    if (data == nullptr)
        return LV2_STATE_ERR_NO_PROPERTY;

    if (type != atomString)
        return LV2_STATE_ERR_BAD_TYPE;

    // Text up to its terminator, never past the size the host gives.
    const auto* text = static_cast<const char*> (data);
    const auto length = (size_t) (std::find (text, text + size, '\0') - text);

    juce::MemoryBlock block;

    if (! block.fromBase64Encoding (juce::String::fromUTF8 (text, (int) length)))
        return LV2_STATE_ERR_UNKNOWN;

    processor->setStateInformation (block.getData(), (int) block.getSize());
    return LV2_STATE_SUCCESS;
}
