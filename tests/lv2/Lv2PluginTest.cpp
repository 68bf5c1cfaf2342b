// One LV2 instance as a host drives it: the control ports reach the processor, the state goes
// out and comes back, a preset selects its program, and a host that maps no URIDs gets no state.

#include "lv2/Lv2Plugin.h"
#include "processor/HostParameters.h"

#include <gtest/gtest.h>

#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

#include <array>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace
{
// The host's side: a URID map, the features, the ports and a state store.
class TestHost
{
public:
    TestHost()
    {
        map.handle = this;
        map.map = [] (LV2_URID_Map_Handle handle, const char* uri)
        {
            auto& known = static_cast<TestHost*> (handle)->uris;
            const auto found = known.find (uri);
            return found != known.end() ? found->second : (known[uri] = (LV2_URID) known.size() + 1);
        };
    }

    std::unique_ptr<Lv2Plugin> instantiate (bool withMap = true)
    {
        const LV2_Feature mapFeature { LV2_URID__map, &map };
        const LV2_Feature* features[] = { withMap ? &mapFeature : nullptr, nullptr };
        std::unique_ptr<Lv2Plugin> plugin (Lv2Plugin::create (Lv2Ports::Variant::stereo, 48000.0, features));

        const auto variant = Lv2Ports::Variant::stereo;

        for (int c = 0; c < 2; ++c)
        {
            plugin->connectPort (Lv2Ports::getAudioInputPort (variant, c), input[(size_t) c].data());
            plugin->connectPort (Lv2Ports::getAudioOutputPort (variant, c), output[(size_t) c].data());
        }

        for (int k = 0; k < HostParameters::numParameters; ++k)
        {
            controls[(size_t) k] = Lv2Ports::toPortValue (k, HostParameters::getDefaultValue (k));
            plugin->connectPort (Lv2Ports::getControlPort (variant, k), &controls[(size_t) k]);
        }

        plugin->connectPort (Lv2Ports::getFreeWheelingPort (variant), &freeWheeling);
        plugin->connectPort (Lv2Ports::getLatencyPort (variant), &latency);
        return plugin;
    }

    LV2_URID urid (const char* uri) { return map.map (map.handle, uri); }

    // The state as the host keeps it.
    struct Stored
    {
        std::vector<char> value;
        uint32_t type = 0;
    };

    std::map<uint32_t, Stored> state;

    static LV2_State_Status store (LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t type, uint32_t)
    {
        auto& stored = static_cast<TestHost*> (handle)->state[key];
        stored.value.assign (static_cast<const char*> (value), static_cast<const char*> (value) + size);
        stored.type = type;
        return LV2_STATE_SUCCESS;
    }

    static const void* retrieve (LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags)
    {
        auto& state = static_cast<TestHost*> (handle)->state;
        const auto found = state.find (key);

        if (found == state.end())
            return nullptr;

        *size = found->second.value.size();
        *type = found->second.type;
        *flags = 0;
        return found->second.value.data();
    }

    static constexpr int blockLength = 256;
    std::array<std::vector<float>, 2> input { std::vector<float> (4096, 0.25f), std::vector<float> (4096, -0.25f) };
    std::array<std::vector<float>, 2> output { std::vector<float> (4096), std::vector<float> (4096) };
    std::array<float, HostParameters::numParameters> controls {};
    float freeWheeling = 0.0f;
    float latency = -1.0f;

private:
    LV2_URID_Map map {};
    std::map<std::string, LV2_URID> uris;
};

JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
float valueOf (Lv2Plugin& plugin, int index) { return plugin.getProcessor().getParameter (index); }
JUCE_END_IGNORE_WARNINGS_GCC_LIKE
} // namespace

TEST (Lv2Plugin, ControlPortsReachTheProcessorAtTheNextRun)
{
    TestHost host;
    auto plugin = host.instantiate();
    plugin->activate();

    host.controls[HostParameters::overdrive] = 0.8f;
    host.controls[HostParameters::oversampling] = 2.0f; // the step number
    plugin->run (64);

    EXPECT_EQ (0.8f, valueOf (*plugin, HostParameters::overdrive));
    EXPECT_EQ (HostParameters::getOversamplingValue (2), valueOf (*plugin, HostParameters::oversampling));
    EXPECT_EQ ((float) plugin->getProcessor().getLatencySamples(), host.latency) << "the latency port tells the processor's";

    // Any length: longer than the processor's block, processed in pieces.
    plugin->run (4096);

    for (const auto& channel : host.output)
        for (auto x : channel)
            ASSERT_TRUE (std::isfinite (x));

    plugin->deactivate();
}

TEST (Lv2Plugin, TheStateGoesOutAsTextAndComesBackIntoAnotherInstance)
{
    TestHost host;
    auto source = host.instantiate();
    source->activate();
    host.controls[HostParameters::tone] = 0.3f;
    host.controls[HostParameters::overdriveType] = 4.0f;
    source->run (64);
    source->getProcessor().setCurrentPresetPath ("Leads/Solo.mvkp");

    ASSERT_EQ (LV2_STATE_SUCCESS, source->save (TestHost::store, &host));
    const auto stateKey = host.urid (Lv2Ports::getStateUri().toRawUTF8());
    ASSERT_EQ (1u, host.state.count (stateKey));
    EXPECT_EQ (host.urid (LV2_ATOM__String), host.state[stateKey].type);
    EXPECT_EQ ('\0', host.state[stateKey].value.back()) << "terminated text";

    TestHost other;
    auto copy = other.instantiate();
    other.state[other.urid (Lv2Ports::getStateUri().toRawUTF8())] = { host.state[stateKey].value, other.urid (LV2_ATOM__String) };
    ASSERT_EQ (LV2_STATE_SUCCESS, copy->restore (TestHost::retrieve, &other));

    EXPECT_EQ (0.3f, valueOf (*copy, HostParameters::tone));
    EXPECT_EQ (HostParameters::getModelValue (4), valueOf (*copy, HostParameters::overdriveType));
    EXPECT_EQ (juce::String ("Leads/Solo.mvkp"), copy->getProcessor().getCurrentPresetPath());
}

TEST (Lv2Plugin, AStateThatIsMissingOfTheWrongTypeOrNotTextIsRefusedAndChangesNothing)
{
    TestHost host;
    auto plugin = host.instantiate();
    const auto stateKey = host.urid (Lv2Ports::getStateUri().toRawUTF8());

    EXPECT_EQ (LV2_STATE_ERR_NO_PROPERTY, plugin->restore (TestHost::retrieve, &host));

    host.state[stateKey] = { { 'A', 'A', '\0' }, host.urid (LV2_ATOM__Int) };
    EXPECT_EQ (LV2_STATE_ERR_BAD_TYPE, plugin->restore (TestHost::retrieve, &host));

    host.state[stateKey] = { { '*', '*', '*', '\0' }, host.urid (LV2_ATOM__String) };
    EXPECT_EQ (LV2_STATE_ERR_UNKNOWN, plugin->restore (TestHost::retrieve, &host));

    // Text without its terminator is read up to the size the host gives, never past it.
    host.state[stateKey] = { { 'Q', 'U', 'J', 'D' }, host.urid (LV2_ATOM__String) };
    plugin->restore (TestHost::retrieve, &host);

    for (int k = 0; k < HostParameters::numParameters; ++k)
        EXPECT_EQ (HostParameters::getDefaultValue (k), valueOf (*plugin, k)) << k;
}

TEST (Lv2Plugin, APresetSelectsItsProgram)
{
    TestHost host;
    auto plugin = host.instantiate();
    const auto programKey = host.urid (Lv2Ports::getProgramUri().toRawUTF8());
    const auto atomInt = host.urid (LV2_ATOM__Int);

    const auto withProgram = [&] (int32_t index)
    {
        host.state[programKey] = { std::vector<char> (sizeof (index)), atomInt };
        std::memcpy (host.state[programKey].value.data(), &index, sizeof (index));
        return plugin->restore (TestHost::retrieve, &host);
    };

    EXPECT_EQ (LV2_STATE_SUCCESS, withProgram (5));
    EXPECT_EQ (5, plugin->getProcessor().getCurrentProgram());
    EXPECT_EQ (LV2_STATE_ERR_UNKNOWN, withProgram (12));
    EXPECT_EQ (LV2_STATE_ERR_UNKNOWN, withProgram (-1));
    EXPECT_EQ (5, plugin->getProcessor().getCurrentProgram());
}

TEST (Lv2Plugin, AHostWithoutUridMapGetsNoStateButPlays)
{
    TestHost host;
    auto plugin = host.instantiate (false);
    EXPECT_EQ (LV2_STATE_ERR_NO_FEATURE, plugin->save (TestHost::store, &host));
    EXPECT_EQ (LV2_STATE_ERR_NO_FEATURE, plugin->restore (TestHost::retrieve, &host));

    plugin->activate();
    plugin->run (512);
    EXPECT_NE (0.0f, host.output[0][511]);
    plugin->deactivate();

    // A sample rate no host could run is refused.
    const LV2_Feature* none[] = { nullptr };
    EXPECT_EQ (nullptr, Lv2Plugin::create (Lv2Ports::Variant::mono, 0.0, none));
}
