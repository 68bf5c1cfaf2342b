#include "LilvHost.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace
{
[[noreturn]] void fail (const char* problem)
{
    std::fprintf (stderr, "vardeko-sidebench: %s\n", problem);
    std::exit (2);
}
} // namespace

LV2_URID UridMap::map (LV2_URID_Map_Handle handle, const char* uri)
{
    auto& self = *static_cast<UridMap*> (handle);
    const auto found = self.ids.find (uri);

    if (found != self.ids.end())
        return found->second;

    const auto id = (LV2_URID) self.names.size();
    self.ids[uri] = id;
    self.names.push_back (uri);
    return id;
}

const char* UridMap::unmap (LV2_URID_Unmap_Handle handle, LV2_URID id)
{
    auto& self = *static_cast<UridMap*> (handle);
    return id < self.names.size() ? self.names[id].c_str() : nullptr;
}

//==============================================================================
Lv2Host::Lv2Host (const std::string& uri, int block, double rate)
{
    blockLength = block;
    nominalRate = (float) rate;
    world = lilv_world_new();
    lilv_world_load_all (world);
    auto* node = lilv_new_uri (world, uri.c_str());
    plugin = lilv_plugins_get_by_uri (lilv_world_get_all_plugins (world), node);
    lilv_node_free (node);

    if (plugin == nullptr)
        fail (("no LV2 plug-in " + uri).c_str());

    const auto intType = urids (LV2_ATOM__Int);
    const auto floatType = urids (LV2_ATOM__Float);
    options = {
        { LV2_OPTIONS_INSTANCE, 0, urids (LV2_BUF_SIZE__maxBlockLength), sizeof (int32_t), intType, &blockLength },
        { LV2_OPTIONS_INSTANCE, 0, urids (LV2_BUF_SIZE__minBlockLength), sizeof (int32_t), intType, &blockLength },
        { LV2_OPTIONS_INSTANCE, 0, urids (LV2_BUF_SIZE__nominalBlockLength), sizeof (int32_t), intType, &blockLength },
        { LV2_OPTIONS_INSTANCE, 0, urids ("http://lv2plug.in/ns/ext/parameters#sampleRate"), sizeof (float), floatType, &nominalRate },
        { LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr }
    };
    featureOptions.data = options.data();
    features[0] = &featureMap;
    features[1] = &featureUnmap;
    features[2] = &featureOptions;
    features[3] = &featureBounded;
    features[4] = &featureFixed;
    features[5] = nullptr;
}

//==============================================================================
Lv2Instance::Lv2Instance (Lv2Host& h, double rate, const std::vector<std::pair<std::string, float>>& settings)
    : host (h)
{
    instance = host.instantiate (rate);

    if (instance == nullptr)
        fail ("the plug-in did not instantiate");

    auto* world = host.world;
    auto* audioClass = lilv_new_uri (world, LILV_URI_AUDIO_PORT);
    auto* controlClass = lilv_new_uri (world, LILV_URI_CONTROL_PORT);
    auto* atomClass = lilv_new_uri (world, LV2_ATOM__AtomPort);
    auto* inputClass = lilv_new_uri (world, LILV_URI_INPUT_PORT);
    const auto numPorts = lilv_plugin_get_num_ports (host.plugin);
    controls.assign (numPorts, 0.0f);
    std::vector<float> defaults (numPorts, 0.0f);
    lilv_plugin_get_port_ranges_float (host.plugin, nullptr, nullptr, defaults.data());
    atomInBuffer.assign (8192, 0);
    atomOutBuffer.assign (8192, 0);

    for (uint32_t i = 0; i < numPorts; ++i)
    {
        const auto* port = lilv_plugin_get_port_by_index (host.plugin, i);
        const bool input = lilv_port_is_a (host.plugin, port, inputClass);
        const std::string symbol = lilv_node_as_string (lilv_port_get_symbol (host.plugin, port));

        if (lilv_port_is_a (host.plugin, port, audioClass))
        {
            (input ? audioIn : audioOut).push_back ((int) i);
        }
        else if (lilv_port_is_a (host.plugin, port, controlClass))
        {
            controls[i] = std::isnan (defaults[i]) ? 0.0f : defaults[i];

            for (const auto& s : settings)
                if (input && s.first == symbol)
                    controls[i] = s.second;

            lilv_instance_connect_port (instance, i, &controls[i]);
        }
        else if (lilv_port_is_a (host.plugin, port, atomClass))
        {
            if (input)
                atomIn = (int) i;
            else
                atomOut = (int) i;

            lilv_instance_connect_port (instance, i, input ? atomInBuffer.data() : atomOutBuffer.data());
        }
        else
        {
            lilv_instance_connect_port (instance, i, nullptr);
        }
    }

    // Settings that name no control port go to the plug-in as patch:Set messages, with
    // the parameter's URI made from the plug-in URI.
    const std::string pluginUri = lilv_node_as_uri (lilv_plugin_get_uri (host.plugin));

    for (const auto& s : settings)
    {
        bool isPort = false;

        for (uint32_t i = 0; i < numPorts; ++i)
            isPort = isPort || s.first == lilv_node_as_string (lilv_port_get_symbol (host.plugin, lilv_plugin_get_port_by_index (host.plugin, i)));

        if (! isPort)
            pendingMessages.emplace_back (host.urids ((pluginUri + ":" + s.first).c_str()), s.second);
    }

    for (auto* node : { audioClass, controlClass, atomClass, inputClass })
        lilv_node_free (node);

    lilv_instance_activate (instance);
}

Lv2Instance::~Lv2Instance()
{
    lilv_instance_deactivate (instance);
    lilv_instance_free (instance);
}

void Lv2Instance::prepareAtoms()
{
    if (atomOut >= 0)
    {
        auto* out = reinterpret_cast<LV2_Atom_Sequence*> (atomOutBuffer.data());
        out->atom.type = 0;
        out->atom.size = (uint32_t) (atomOutBuffer.size() * sizeof (uint64_t) - sizeof (LV2_Atom));
    }

    if (atomIn < 0)
        return;

    LV2_Atom_Forge forge;
    lv2_atom_forge_init (&forge, &host.mapFeature);
    lv2_atom_forge_set_buffer (&forge, reinterpret_cast<uint8_t*> (atomInBuffer.data()), atomInBuffer.size() * sizeof (uint64_t));
    LV2_Atom_Forge_Frame sequence;
    lv2_atom_forge_sequence_head (&forge, &sequence, 0);

    for (const auto& [property, value] : pendingMessages)
    {
        LV2_Atom_Forge_Frame object;
        lv2_atom_forge_frame_time (&forge, 0);
        lv2_atom_forge_object (&forge, &object, 0, host.urids (LV2_PATCH__Set));
        lv2_atom_forge_key (&forge, host.urids (LV2_PATCH__property));
        lv2_atom_forge_urid (&forge, property);
        lv2_atom_forge_key (&forge, host.urids (LV2_PATCH__value));
        lv2_atom_forge_float (&forge, value);
        lv2_atom_forge_pop (&forge, &object);
    }

    lv2_atom_forge_pop (&forge, &sequence);
    pendingMessages.clear();
}
