// vardeko-lv2check: reads the built LV2 bundle the way any LV2 host discovers it, through lilv
// and LV2_PATH, and checks what the bundle declares (identity, version, audio and control
// ports with their ranges and named steps, presets in program order, the editor) for the
// stereo and the mono plug-in; then runs each as the simplest lilv host does (no features,
// control ports set by symbol) and checks that the sound follows the ports.
//
//   LV2_PATH=<folder of the bundle> vardeko-lv2check --bundle <absolute path of the bundle>
//
// One line per check on stdout; exit code 0 only when all pass.

#include "tests/host/ProgramNames.h"

#include <lilv/lilv.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace
{
const char* const pluginUri = "https://www.molvek.com/plugins/vardeko-qx2710";
const char* const monoPluginUri = "https://www.molvek.com/plugins/vardeko-qx2710-mono";

namespace Ns
{
    const std::string lv2 = "http://lv2plug.in/ns/lv2core#";
    const std::string doap = "http://usefulinc.com/ns/doap#";
    const std::string foaf = "http://xmlns.com/foaf/0.1/";
    const std::string pset = "http://lv2plug.in/ns/ext/presets#";
    const std::string rdfs = "http://www.w3.org/2000/01/rdf-schema#";
    const std::string state = "http://lv2plug.in/ns/ext/state#";
    const std::string ui = "http://lv2plug.in/ns/extensions/ui#";
} // namespace Ns

// The plug-in's control ports in index order: symbol, default, maximum, named steps.
struct ControlRow
{
    std::string symbol;
    double defaultValue;
    double maximum;
    std::vector<std::string> steps; // labels of rdf:value 0, 1, 2...; empty when continuous
    bool toggled;
};

const std::vector<ControlRow> controlTable {
    { "onBypass", 1.0, 1.0, {}, true },
    { "inputVol", 0.5, 1.0, {}, false },
    { "overdriveType", 0.0, 4.0, { "Blues Overdrive", "Boutique Overdrive", "Mad Overdrive", "Modern Overdrive", "Pro Overdrive" }, false },
    { "overdrive", 0.5, 1.0, {}, false },
    { "tone", 0.5, 1.0, {}, false },
    { "level", 0.5, 1.0, {}, false },
    { "dryWet", 1.0, 1.0, {}, false },
    { "oversampling", 0.0, 3.0, { "1x Oversampling", "2x Oversampling", "4x Oversampling", "8x Oversampling" }, false },
};

class Log
{
public:
    bool expect (bool ok, const std::string& what, const std::string& expected, const std::string& got)
    {
        if (ok)
            std::cout << "PASS lv2-lilv " << prefix << what << std::endl;
        else
            std::cout << "FAIL lv2-lilv " << prefix << what << ": expected " << expected << " got " << got << std::endl;

        ++checks;
        failures += ok ? 0 : 1;
        return ok;
    }

    bool expectEqual (const std::string& what, const std::string& expected, const std::string& got)
    {
        return expect (expected == got, what, "\"" + expected + "\"", "\"" + got + "\"");
    }

    bool expectEqual (const std::string& what, long expected, long got)
    {
        return expect (expected == got, what, std::to_string (expected), std::to_string (got));
    }

    void note (const std::string& text) { std::cout << "NOTE lv2-lilv " << text << std::endl; }

    int checks = 0;
    int failures = 0;
    std::string prefix;
};

struct NodeDeleter
{
    void operator() (LilvNode* node) const { lilv_node_free (node); }
};

struct NodesDeleter
{
    void operator() (LilvNodes* nodes) const { lilv_nodes_free (nodes); }
};

using Node = std::unique_ptr<LilvNode, NodeDeleter>;
using Nodes = std::unique_ptr<LilvNodes, NodesDeleter>;

std::string toString (const LilvNode* node)
{
    return node != nullptr ? std::string (lilv_node_as_string (node)) : std::string ("<none>");
}

std::string number (double value)
{
    char text[32];
    std::snprintf (text, sizeof (text), "%g", value);
    return text;
}

std::string join (const std::vector<std::string>& items)
{
    std::string result;

    for (const auto& item : items)
        result += (result.empty() ? "" : ", ") + item;

    return result;
}

// A folder path without trailing separators, so that "a/b/" and "a/b" compare equal.
std::string withoutTrailingSlash (std::string path)
{
    while (path.size() > 1 && (path.back() == '/' || path.back() == '\\'))
        path.pop_back();

    return path;
}

class BundleCheck
{
public:
    BundleCheck (LilvWorld* worldToUse, Log& logToUse)
        : world (worldToUse)
        , log (logToUse)
    {
    }

    void run (const std::string& bundlePath, const char* uriText, int channels)
    {
        const Node uri (lilv_new_uri (world, uriText));
        const auto* plugins = lilv_world_get_all_plugins (world);
        plugin = lilv_plugins_get_by_uri (plugins, uri.get());
        numChannels = channels;
        log.prefix = channels == 1 ? "mono " : "";

        if (! log.expect (plugin != nullptr, "URI resolves on LV2_PATH", uriText, "no such plug-in"))
            return;

        checkBundle (bundlePath);
        checkIdentity();
        checkPorts();
        checkParameters();
        checkPresets();
        checkEditor();
        checkRunning();
    }

private:
    Node newUri (const std::string& ns, const char* name) const
    {
        return Node (lilv_new_uri (world, (ns + name).c_str()));
    }

    // The single object of (subject, predicate), or null.
    Node getObject (const LilvNode* subject, const std::string& ns, const char* predicate) const
    {
        const auto p = newUri (ns, predicate);
        return Node (lilv_world_get (world, subject, p.get(), nullptr));
    }

    void checkBundle (const std::string& bundlePath)
    {
        // The first bundle of a URI wins: make sure it is the one just built.
        char* parsed = lilv_file_uri_parse (lilv_node_as_uri (lilv_plugin_get_bundle_uri (plugin)), nullptr);
        const std::string found = parsed != nullptr ? parsed : "";
        lilv_free (parsed);

        log.expectEqual ("bundle is the built one", withoutTrailingSlash (bundlePath), withoutTrailingSlash (found));
    }

    void checkIdentity()
    {
        const Node name (lilv_plugin_get_name (plugin));
        log.expectEqual ("name", numChannels == 1 ? "Vardeko QX2710 Mono" : "Vardeko QX2710", toString (name.get()));

        const Node author (lilv_plugin_get_author_name (plugin));
        log.expectEqual ("author", "Molvek", toString (author.get()));

        const Node email (lilv_plugin_get_author_email (plugin));
        log.expectEqual ("author e-mail", "mailto:support@molvek.com", toString (email.get()));

        // An effect, not an instrument (lilv names the class only when lv2core is on its path).
        const auto type = newUri ("http://www.w3.org/1999/02/22-rdf-syntax-ns#", "type");
        const auto distortion = newUri (Ns::lv2, "DistortionPlugin");
        log.expect (lilv_world_ask (world, lilv_plugin_get_uri (plugin), type.get(), distortion.get()),
                    "a distortion plug-in",
                    "lv2:DistortionPlugin",
                    "not declared");

        const auto release = getObject (lilv_plugin_get_uri (plugin), Ns::doap, "release");
        const auto revision = release != nullptr ? getObject (release.get(), Ns::doap, "revision") : Node();
        log.expectEqual ("release revision", VARDEKO_VERSION_STRING, toString (revision.get()));

        // LV2 versions are minor.micro; the major version is part of the URI.
        const auto minor = getObject (lilv_plugin_get_uri (plugin), Ns::lv2, "minorVersion");
        const auto micro = getObject (lilv_plugin_get_uri (plugin), Ns::lv2, "microVersion");
        log.expectEqual ("minor version", 0, minor != nullptr ? (long) lilv_node_as_int (minor.get()) : -1L);
        log.expectEqual ("micro version", 6, micro != nullptr ? (long) lilv_node_as_int (micro.get()) : -1L);

        std::vector<std::string> required;
        const Nodes features (lilv_plugin_get_required_features (plugin));

        LILV_FOREACH (nodes, i, features.get())
        required.push_back (toString (lilv_nodes_get (features.get(), i)));

        // The simplest hosts offer no features at all.
        log.expectEqual ("required features", "", join (required));
    }

    void checkPorts()
    {
        const auto audio = newUri (Ns::lv2, "AudioPort");
        const auto input = newUri (Ns::lv2, "InputPort");
        const auto output = newUri (Ns::lv2, "OutputPort");
        const auto optional = newUri (Ns::lv2, "connectionOptional");

        log.expectEqual ("audio inputs", numChannels, (long) lilv_plugin_get_num_ports_of_class (plugin, audio.get(), input.get(), nullptr));
        log.expectEqual ("audio outputs", numChannels, (long) lilv_plugin_get_num_ports_of_class (plugin, audio.get(), output.get(), nullptr));

        // A host may leave an optional port unconnected; the plug-in must then still run, so
        // its main audio ports must be required.
        for (uint32_t i = 0; i < lilv_plugin_get_num_ports (plugin); ++i)
        {
            const auto* port = lilv_plugin_get_port_by_index (plugin, i);

            if (! lilv_port_is_a (plugin, port, audio.get()))
                continue;

            const auto symbol = toString (lilv_port_get_symbol (plugin, port));
            log.expect (! lilv_port_has_property (plugin, port, optional.get()),
                        "audio port " + symbol + " is required",
                        "no lv2:connectionOptional",
                        "lv2:connectionOptional");
        }
    }

    void checkParameters()
    {
        // One control input per parameter, right after the audio ports, named by its identifier.
        const auto toggled = newUri (Ns::lv2, "toggled");
        const auto integer = newUri (Ns::lv2, "integer");
        const auto enumeration = newUri (Ns::lv2, "enumeration");
        const auto control = newUri (Ns::lv2, "ControlPort");
        const auto input = newUri (Ns::lv2, "InputPort");

        log.expectEqual ("control inputs", (long) controlTable.size() + 1, (long) lilv_plugin_get_num_ports_of_class (plugin, control.get(), input.get(), nullptr));

        const auto numPorts = lilv_plugin_get_num_ports (plugin);
        std::vector<float> minimum (numPorts), maximum (numPorts), defaults (numPorts);
        lilv_plugin_get_port_ranges_float (plugin, minimum.data(), maximum.data(), defaults.data());

        for (size_t k = 0; k < controlTable.size(); ++k)
        {
            const auto& row = controlTable[k];
            const auto index = (uint32_t) (2 * numChannels) + (uint32_t) k;
            const auto* port = index < numPorts ? lilv_plugin_get_port_by_index (plugin, index) : nullptr;
            const auto what = "port " + std::to_string (index) + " \"" + row.symbol + "\"";

            if (! log.expect (port != nullptr && lilv_port_is_a (plugin, port, control.get()) && lilv_port_is_a (plugin, port, input.get()),
                              what + " is a control input",
                              "a control input",
                              "something else"))
                continue;

            log.expectEqual (what + " symbol", row.symbol, toString (lilv_port_get_symbol (plugin, port)));
            log.expectEqual (what + " range and default", "0 .. " + number (row.maximum) + " default " + number (row.defaultValue), number (minimum[index]) + " .. " + number (maximum[index]) + " default " + number (defaults[index]));
            log.expect (lilv_port_has_property (plugin, port, toggled.get()) == row.toggled, what + " toggled", row.toggled ? "yes" : "no", row.toggled ? "no" : "yes");

            const bool stepped = ! row.steps.empty();
            log.expect (lilv_port_has_property (plugin, port, integer.get()) == stepped
                            && lilv_port_has_property (plugin, port, enumeration.get()) == stepped,
                        what + (stepped ? " is an integer enumeration" : " is continuous"),
                        stepped ? "integer, enumeration" : "neither",
                        "the other");

            // The step names, by value.
            std::map<int, std::string> named;

            if (auto* points = lilv_port_get_scale_points (plugin, port))
            {
                LILV_FOREACH (scale_points, i, points)
                {
                    const auto* point = lilv_scale_points_get (points, i);
                    named[(int) lilv_node_as_float (lilv_scale_point_get_value (point))] = toString (lilv_scale_point_get_label (point));
                }

                lilv_scale_points_free (points);
            }

            std::vector<std::string> labels;

            for (const auto& entry : named)
                labels.push_back (std::to_string (entry.first) + " " + entry.second);

            std::vector<std::string> expected;

            for (size_t step = 0; step < row.steps.size(); ++step)
                expected.push_back (std::to_string (step) + " " + row.steps[step]);

            log.expectEqual (what + " named steps", join (expected), join (labels));
        }
    }

    void checkPresets()
    {
        const auto presetClass = newUri (Ns::pset, "Preset");
        const Nodes presets (lilv_plugin_get_related (plugin, presetClass.get()));

        log.expectEqual ("presets", 12, (long) lilv_nodes_size (presets.get()));

        std::map<std::string, std::string> programByLabel;
        const auto stateProperty = newUri (Ns::state, "state");
        const Node programKey (lilv_new_uri (world, (std::string (pluginUri) + ":Program").c_str()));

        LILV_FOREACH (nodes, i, presets.get())
        {
            const auto* preset = lilv_nodes_get (presets.get(), i);
            lilv_world_load_resource (world, preset);

            const auto label = getObject (preset, Ns::rdfs, "label");
            const auto state = getObject (preset, Ns::state, "state");
            const auto program = state != nullptr ? Node (lilv_world_get (world, state.get(), programKey.get(), nullptr)) : Node();
            programByLabel[toString (label.get())] = program != nullptr ? toString (program.get()) : "<none>";
        }

        // Hosts list presets by label: the program's number first ("01 Init", "02 Blues Crunch")
        // keeps the programs in order, and each recalls its own program.
        std::vector<std::string> got, expected;

        for (const auto& entry : programByLabel)
            got.push_back (entry.first + " -> " + entry.second);

        for (int p = 0; p < 12; ++p)
            expected.push_back ((p < 9 ? "0" : "") + std::to_string (p + 1) + " " + ProgramNames::newInstance[p] + " -> " + std::to_string (p));

        log.expectEqual ("presets in label order with their programs", join (expected), join (got));
    }

    void checkEditor()
    {
        const auto x11 = newUri (Ns::ui, "X11UI");
        auto* uis = lilv_plugin_get_uis (plugin);
        bool found = false;

        LILV_FOREACH (uis, i, uis)
        found = found || lilv_ui_is_a (lilv_uis_get (uis, i), x11.get());

        log.expect (found, "X11 editor declared", "an X11UI", "none");
        lilv_uis_free (uis);
    }

    // Runs one second of a sine through the plug-in with the given control values (by symbol);
    // returns the output's RMS over its second half.
    double render (const std::map<std::string, float>& values)
    {
        auto* instance = lilv_plugin_instantiate (plugin, 48000.0, nullptr);

        if (instance == nullptr)
            return -1.0;

        const auto numPorts = lilv_plugin_get_num_ports (plugin);
        std::vector<float> controls (numPorts, 0.0f);
        lilv_plugin_get_port_ranges_float (plugin, nullptr, nullptr, controls.data());

        for (const auto& [symbol, value] : values)
        {
            const Node sym (lilv_new_string (world, symbol.c_str()));

            if (const auto* port = lilv_plugin_get_port_by_symbol (plugin, sym.get()))
                controls[lilv_port_get_index (plugin, port)] = value;
        }

        constexpr int block = 480, numBlocks = 100;
        std::vector<float> in ((size_t) block * 2), out ((size_t) block * 2);
        const auto audio = newUri (Ns::lv2, "AudioPort");
        const auto input = newUri (Ns::lv2, "InputPort");
        int inputs = 0, outputs = 0;

        for (uint32_t p = 0; p < numPorts; ++p)
        {
            const auto* port = lilv_plugin_get_port_by_index (plugin, p);

            if (! lilv_port_is_a (plugin, port, audio.get()))
                lilv_instance_connect_port (instance, p, &controls[p]);
            else if (lilv_port_is_a (plugin, port, input.get()))
                lilv_instance_connect_port (instance, p, in.data() + block * inputs++);
            else
                lilv_instance_connect_port (instance, p, out.data() + block * outputs++);
        }

        lilv_instance_activate (instance);
        double sum = 0.0;
        long count = 0;

        for (int b = 0; b < numBlocks; ++b)
        {
            for (int c = 0; c < 2; ++c)
                for (int i = 0; i < block; ++i)
                    in[(size_t) (c * block + i)] = 0.3f * (float) std::sin (2.0 * 3.141592653589793 * 220.0 * (b * block + i) / 48000.0);

            lilv_instance_run (instance, block);

            if (b >= numBlocks / 2)
                for (int i = 0; i < block * outputs; ++i, ++count)
                    sum += (double) out[(size_t) i] * out[(size_t) i];
        }

        lilv_instance_deactivate (instance);
        lilv_instance_free (instance);
        return count > 0 ? std::sqrt (sum / (double) count) : -1.0;
    }

    void checkRunning()
    {
        const auto inputRms = 0.3 / std::sqrt (2.0);
        const auto off = render ({ { "onBypass", 0.0f } });
        log.expect (std::abs (off - inputRms) < 1.0e-3, "runs without features; off passes the input", "RMS " + std::to_string (inputRms), "RMS " + std::to_string (off));

        // Every port moves the sound (or, for oversampling, at least keeps it finite and alive).
        const auto base = render ({});
        const std::vector<std::pair<std::string, float>> moves {
            { "inputVol", 1.0f },
            { "overdriveType", 4.0f },
            { "overdrive", 1.0f },
            { "tone", 0.0f },
            { "level", 1.0f },
            { "dryWet", 0.0f },
        };

        for (const auto& [symbol, value] : moves)
        {
            const auto moved = render ({ { symbol, value } });
            log.expect (moved > 0.0 && std::abs (moved - base) > 0.01 * base, "setting " + symbol + " changes the sound", "RMS unlike " + std::to_string (base), "RMS " + std::to_string (moved));
        }

        const auto eightTimes = render ({ { "oversampling", 3.0f } });
        log.expect (eightTimes > 0.1 * base && std::isfinite (eightTimes), "8x oversampling runs", "a sound", "RMS " + std::to_string (eightTimes));
    }

    LilvWorld* world;
    Log& log;
    const LilvPlugin* plugin = nullptr;
    int numChannels = 2;
};
} // namespace

int main (int argc, char* argv[])
{
    const std::string bundle = argc == 3 && std::strcmp (argv[1], "--bundle") == 0 ? argv[2] : "";

    if (bundle.empty() || bundle.front() != '/')
    {
        std::cout << "usage: LV2_PATH=<folder> vardeko-lv2check --bundle <absolute path>" << std::endl;
        return 2;
    }

    const char* path = std::getenv ("LV2_PATH");
    std::cout << "NOTE lv2-lilv LV2_PATH=" << (path != nullptr ? path : "<unset>") << std::endl;

    Log log;
    auto* world = lilv_world_new();
    lilv_world_load_all (world);

    BundleCheck check (world, log);
    check.run (bundle, pluginUri, 2);
    check.run (bundle, monoPluginUri, 1);

    lilv_world_free (world);
    std::cout << log.checks - log.failures << " passed, " << log.failures << " failed" << std::endl;
    return log.checks > 0 && log.failures == 0 ? 0 : 1;
}
