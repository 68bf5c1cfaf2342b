// vardeko-lv2check: reads the built LV2 bundle the way any LV2 host discovers it, through lilv
// and LV2_PATH, and checks what the bundle declares: identity, version, audio ports,
// parameters, presets and the editor. It does not run the plug-in: JUCE's LV2 plug-ins need the
// options and bounded-block-length features and parameter messages on the control port, which
// lilv's simple hosts do not provide; vardeko-hosttest runs it through JUCE's LV2 host.
//
//   LV2_PATH=<folder of the bundle> vardeko-lv2check --bundle <absolute path of the bundle>
//
// One line per check on stdout; exit code 0 only when all pass.

#include <lilv/lilv.h>

#include <algorithm>
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

namespace Ns
{
    const std::string lv2 = "http://lv2plug.in/ns/lv2core#";
    const std::string doap = "http://usefulinc.com/ns/doap#";
    const std::string foaf = "http://xmlns.com/foaf/0.1/";
    const std::string patch = "http://lv2plug.in/ns/ext/patch#";
    const std::string pset = "http://lv2plug.in/ns/ext/presets#";
    const std::string rdfs = "http://www.w3.org/2000/01/rdf-schema#";
    const std::string ui = "http://lv2plug.in/ns/extensions/ui#";
} // namespace Ns

// The plug-in's parameters in index order, with their defaults.
const std::vector<std::pair<std::string, double>> parameterTable {
    { "onBypass", 1.0 },
    { "inputVol", 0.5 },
    { "overdriveType", 0.0 },
    { "overdrive", 0.5 },
    { "tone", 0.5 },
    { "level", 0.5 },
    { "dryWet", 1.0 },
    { "oversampling", 0.0 },
};

class Log
{
public:
    bool expect (bool ok, const std::string& what, const std::string& expected, const std::string& got)
    {
        if (ok)
            std::cout << "PASS lv2-lilv " << what << std::endl;
        else
            std::cout << "FAIL lv2-lilv " << what << ": expected " << expected << " got " << got << std::endl;

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

    void run (const std::string& bundlePath)
    {
        const Node uri (lilv_new_uri (world, pluginUri));
        const auto* plugins = lilv_world_get_all_plugins (world);
        plugin = lilv_plugins_get_by_uri (plugins, uri.get());

        if (! log.expect (plugin != nullptr, "URI resolves on LV2_PATH", pluginUri, "no such plug-in"))
            return;

        checkBundle (bundlePath);
        checkIdentity();
        checkPorts();
        checkParameters();
        checkPresets();
        checkEditor();
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
        log.expectEqual ("name", "Vardeko QX2710", toString (name.get()));

        const Node author (lilv_plugin_get_author_name (plugin));
        log.expectEqual ("author", "Molvek", toString (author.get()));

        const Node email (lilv_plugin_get_author_email (plugin));
        log.expectEqual ("author e-mail", "mailto:support@molvek.com", toString (email.get()));

        // lv2:Plugin, the plain effect class: not an instrument.
        const auto* pluginClass = lilv_plugin_get_class (plugin);
        log.expectEqual ("class", Ns::lv2 + "Plugin", toString (lilv_plugin_class_get_uri (pluginClass)));

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

        log.note ("required features: " + join (required));
    }

    void checkPorts()
    {
        const auto audio = newUri (Ns::lv2, "AudioPort");
        const auto input = newUri (Ns::lv2, "InputPort");
        const auto output = newUri (Ns::lv2, "OutputPort");
        const auto optional = newUri (Ns::lv2, "connectionOptional");

        log.expectEqual ("audio inputs", 2, (long) lilv_plugin_get_num_ports_of_class (plugin, audio.get(), input.get(), nullptr));
        log.expectEqual ("audio outputs", 2, (long) lilv_plugin_get_num_ports_of_class (plugin, audio.get(), output.get(), nullptr));

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
        // JUCE announces parameters as patch:writable properties, each with a label and a default.
        const auto writableUri = newUri (Ns::patch, "writable");
        const Nodes writable (lilv_plugin_get_value (plugin, writableUri.get()));

        std::vector<std::string> iris;
        std::map<std::string, std::string> defaults;
        std::vector<std::string> labels;

        LILV_FOREACH (nodes, i, writable.get())
        {
            const auto* property = lilv_nodes_get (writable.get(), i);
            iris.push_back (toString (property));

            const auto rdfsLabel = newUri (Ns::rdfs, "label");
            const Nodes propertyLabels (lilv_world_find_nodes (world, property, rdfsLabel.get(), nullptr));
            const auto defaultValue = getObject (property, Ns::lv2, "default");

            LILV_FOREACH (nodes, j, propertyLabels.get())
            {
                const auto label = toString (lilv_nodes_get (propertyLabels.get(), j));
                labels.push_back (label);
                defaults[label] = defaultValue != nullptr ? std::to_string (lilv_node_as_float (defaultValue.get())) : "<none>";
            }
        }

        log.expectEqual ("distinct parameter properties", (long) parameterTable.size(), (long) iris.size());

        if (iris.size() != parameterTable.size())
            log.note ("parameter properties: " + join (iris) + " labelled " + join (labels));

        std::vector<std::string> expectedLabels;

        for (const auto& row : parameterTable)
        {
            expectedLabels.push_back (row.first);
            const auto found = defaults.find (row.first);

            if (log.expect (found != defaults.end(), "parameter \"" + row.first + "\" declared", "declared", "missing"))
                log.expectEqual ("default of \"" + row.first + "\"", std::to_string (row.second), found->second);
        }

        std::sort (labels.begin(), labels.end());
        std::sort (expectedLabels.begin(), expectedLabels.end());
        log.expectEqual ("one label per parameter", join (expectedLabels), join (labels));
    }

    void checkPresets()
    {
        const auto presetClass = newUri (Ns::pset, "Preset");
        const Nodes presets (lilv_plugin_get_related (plugin, presetClass.get()));

        log.expectEqual ("presets", 12, (long) lilv_nodes_size (presets.get()));

        std::vector<std::string> labels;

        LILV_FOREACH (nodes, i, presets.get())
        {
            const auto* preset = lilv_nodes_get (presets.get(), i);
            lilv_world_load_resource (world, preset);

            const auto label = getObject (preset, Ns::rdfs, "label");
            labels.push_back (toString (label.get()));
        }

        // Which program each preset recalls is checked through JUCE's host (this lilv cannot
        // read the xsd:int that holds it).
        log.expectEqual ("preset labels", join (std::vector<std::string> (12, "Init")), join (labels));
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

    LilvWorld* world;
    Log& log;
    const LilvPlugin* plugin = nullptr;
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

    BundleCheck (world, log).run (bundle);

    lilv_world_free (world);
    std::cout << log.checks - log.failures << " passed, " << log.failures << " failed" << std::endl;
    return log.checks > 0 && log.failures == 0 ? 0 : 1;
}
