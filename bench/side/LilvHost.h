#pragma once

#include <lilv/lilv.h>

// The LV2 headers that JUCE ships are found first; their macros trip one warning.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wparentheses"
#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/options/options.h>
#include <lv2/patch/patch.h>
#include <lv2/urid/urid.h>
#pragma GCC diagnostic pop

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

// A minimal offline LV2 host for the side-by-side measurements: URID map, options with the
// block length, bounded and fixed block length. A plug-in it cannot find or instantiate ends
// the program with a message.
struct UridMap
{
    std::map<std::string, LV2_URID> ids;
    std::vector<std::string> names { "" };

    static LV2_URID map (LV2_URID_Map_Handle handle, const char* uri);
    static const char* unmap (LV2_URID_Unmap_Handle handle, LV2_URID id);

    LV2_URID operator() (const char* uri) { return map (this, uri); }
};

struct Lv2Host
{
    LilvWorld* world = nullptr;
    const LilvPlugin* plugin = nullptr;
    UridMap urids;
    LV2_URID_Map mapFeature { &urids, &UridMap::map };
    LV2_URID_Unmap unmapFeature { &urids, &UridMap::unmap };
    int32_t blockLength = 256;
    float nominalRate = 48000.0f;
    std::vector<LV2_Options_Option> options;
    LV2_Feature featureMap { LV2_URID__map, &mapFeature };
    LV2_Feature featureUnmap { LV2_URID__unmap, &unmapFeature };
    LV2_Feature featureOptions { LV2_OPTIONS__options, nullptr };
    LV2_Feature featureBounded { LV2_BUF_SIZE__boundedBlockLength, nullptr };
    LV2_Feature featureFixed { LV2_BUF_SIZE__fixedBlockLength, nullptr };
    const LV2_Feature* features[6] {};

    Lv2Host (const std::string& uri, int block, double rate);
    ~Lv2Host() { lilv_world_free (world); }

    LilvInstance* instantiate (double rate) { return lilv_plugin_instantiate (plugin, rate, features); }
};

// One instance with its ports connected: audio to the caller's planar buffers, controls to
// floats with their defaults, atom ports to sequence buffers. Settings name control port
// symbols or, for plug-ins that take parameters as patch:Set messages, the parameter's URI
// suffix.
struct Lv2Instance
{
    Lv2Host& host;
    LilvInstance* instance = nullptr;
    std::vector<int> audioIn, audioOut;
    std::vector<float> controls;
    int atomIn = -1;
    int atomOut = -1;
    std::vector<uint64_t> atomInBuffer, atomOutBuffer;
    std::vector<std::pair<LV2_URID, float>> pendingMessages;

    Lv2Instance (Lv2Host& host, double rate, const std::vector<std::pair<std::string, float>>& settings);
    ~Lv2Instance();

    // Fills the input sequence (the pending messages once, else empty) and resets the output.
    void prepareAtoms();
};
