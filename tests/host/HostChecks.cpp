#include "tests/host/HostChecks.h"

#include "tests/host/PatchReader.h"
#include "tests/host/ProgramNames.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <complex>
#include <cstring>
#include <map>
#include <numeric>
#include <random>
#include <vector>

namespace
{
// The identity the product announces.
namespace Expected
{
    const juce::String name ("Vardeko QX2710");
    const juce::String manufacturer ("Molvek");
    const juce::String version (VARDEKO_VERSION_STRING);
    const juce::String vst3Category ("Fx|Distortion");
    const juce::String lv2Uri ("https://www.molvek.com/plugins/vardeko-qx2710");
    constexpr int numPrograms = 12;
    constexpr int editorWidth = 325;
    constexpr int editorHeight = 500;
} // namespace Expected

struct ParameterRow
{
    const char* name;
    float defaultValue;
};

// The plug-in's parameters in index order.
constexpr std::array<ParameterRow, 8> parameterTable { {
    { "onBypass", 1.0f },
    { "inputVol", 0.5f },
    { "overdriveType", 0.0f },
    { "overdrive", 0.5f },
    { "tone", 0.5f },
    { "level", 0.5f },
    { "dryWet", 1.0f },
    { "oversampling", 0.0f },
} };

// The stepped parameters: step count and the names of the steps.
struct StepRow
{
    const char* name;
    int numSteps;
    const char* names[5];
};

const StepRow stepTable[] = {
    { "onBypass", 2, { "Off", "On" } },
    { "overdriveType", 5, { "Blues Overdrive", "Boutique Overdrive", "Mad Overdrive", "Modern Overdrive", "Pro Overdrive" } },
    { "oversampling", 4, { "1x Oversampling", "2x Oversampling", "4x Oversampling", "8x Oversampling" } },
};

struct ValueRow
{
    const char* name;
    float value;
    const char* text; // what the host shows
    const char* documentText; // what the plug-in stores in its state
};

const ValueRow valueTable[] = {
    { "inputVol", 1.0f, "10.00", "1.00000" },
    { "inputVol", 0.0f, "0.00", "0.00000" },
    { "inputVol", 0.5f, "5.00", "0.50000" },
    { "overdrive", 0.725f, "7.25", "0.72500" },
    { "tone", 0.333f, "3.33", "0.33300" },
    { "level", 1.0f, "10.00", "1.00000" },
    { "dryWet", 0.25f, "75.00% Dry / 25.00% Wet", "0.25000" },
    { "dryWet", 0.0f, "100.00% Dry / 0.00% Wet", "0.00000" },
    { "dryWet", 1.0f, "0.00% Dry / 100.00% Wet", "1.00000" },
    { "overdriveType", 0.0f, "Blues Overdrive", "0" },
    { "overdriveType", 0.25f, "Boutique Overdrive", "1" },
    { "overdriveType", 0.5f, "Mad Overdrive", "2" },
    { "overdriveType", 0.75f, "Modern Overdrive", "3" },
    { "overdriveType", 1.0f, "Pro Overdrive", "4" },
    { "overdriveType", 0.1f, "Boutique Overdrive", "1" },
    { "oversampling", 0.0f, "1x Oversampling", "0" },
    { "oversampling", 0.33333334f, "2x Oversampling", "1" },
    { "oversampling", 0.6666667f, "4x Oversampling", "2" },
    { "oversampling", 1.0f, "8x Oversampling", "3" },
    { "onBypass", 0.0f, "Off", "false" },
    { "onBypass", 0.001f, "On", "true" },
    { "onBypass", 1.0f, "On", "true" },
};

const StepRow* findSteps (const char* name)
{
    const auto found = std::find_if (std::begin (stepTable), std::end (stepTable), [name] (const StepRow& s)
                                     { return std::strcmp (s.name, name) == 0; });
    return found != std::end (stepTable) ? found : nullptr;
}

// The text the plug-in's document holds for a value: the switch as "true" or "false", the
// circuit and the factor as the index of their step, the others with five decimals.
juce::String expectedDocumentText (const juce::String& name, float value)
{
    if (name == "onBypass")
        return value > 0.0f ? "true" : "false";

    if (name == "overdriveType")
        return juce::String ((int) std::ceil (4.0f * value));

    if (name == "oversampling")
        return juce::String ((int) std::ceil (3.0f * value));

    return juce::String (value, 5);
}

// Values far from the defaults, for the program and state checks.
struct DistinctValue
{
    const char* name;
    float value;
    const char* documentText;
};

const DistinctValue programValues[] = {
    { "inputVol", 0.8f, "0.80000" },
    { "overdrive", 0.3f, "0.30000" },
    { "tone", 0.7f, "0.70000" },
    { "level", 0.2f, "0.20000" },
    { "dryWet", 0.6f, "0.60000" },
};

const DistinctValue stateValues[] = {
    { "onBypass", 0.0f, "false" },
    { "inputVol", 0.8f, "0.80000" },
    { "overdriveType", 0.75f, "3" },
    { "overdrive", 0.3f, "0.30000" },
    { "tone", 0.65f, "0.65000" },
    { "level", 0.4f, "0.40000" },
    { "dryWet", 0.6f, "0.60000" },
    { "oversampling", 0.6666667f, "2" },
};

// Host and plug-in exchange values as doubles and floats; this is far below any step a
// user or a document can make.
constexpr double valueTolerance = 1.0e-5;

// Values travel inside process calls and queued messages.
constexpr int valueSettleMs = 60;

// Circuit and oversampling changes are applied on the message thread 50 ms after the change.
constexpr int deferredSettleMs = 150;

const char* circuitNames[] = { "Blues Overdrive", "Boutique Overdrive", "Mad Overdrive", "Modern Overdrive", "Pro Overdrive" };

// A guitar-like test signal: two partials and some noise, different on each channel.
juce::AudioBuffer<float> makeTestSignal (int numChannels, int numSamples, juce::int64 seed)
{
    juce::AudioBuffer<float> signal (numChannels, numSamples);
    juce::Random random (seed);

    for (int c = 0; c < numChannels; ++c)
    {
        auto* x = signal.getWritePointer (c);
        const auto f = 110.0 * (1.0 + 0.5 * c);

        for (int i = 0; i < numSamples; ++i)
        {
            const auto t = (double) i / HostedPlugin::sampleRate;
            const auto tone = 0.25 * std::sin (juce::MathConstants<double>::twoPi * f * t)
                              + 0.08 * std::sin (juce::MathConstants<double>::twoPi * 3.0 * f * t);
            x[i] = (float) tone + 0.05f * (random.nextFloat() * 2.0f - 1.0f);
        }
    }

    return signal;
}

struct SignalStats
{
    bool finite = true;
    float peak = 0.0f;
    double rms = 0.0;
};

SignalStats measure (const juce::AudioBuffer<float>& buffer, int start)
{
    SignalStats stats;
    double sum = 0.0;
    int count = 0;

    for (int c = 0; c < buffer.getNumChannels(); ++c)
    {
        const auto* x = buffer.getReadPointer (c);

        for (int i = 0; i < buffer.getNumSamples(); ++i)
        {
            if (! std::isfinite (x[i]))
            {
                stats.finite = false;
                continue;
            }

            stats.peak = std::max (stats.peak, std::abs (x[i]));

            if (i >= start)
            {
                sum += (double) x[i] * x[i];
                ++count;
            }
        }
    }

    stats.rms = count > 0 ? std::sqrt (sum / count) : 0.0;
    return stats;
}

// RMS of (a - b) relative to the RMS of b, from sample start on.
double relativeDifference (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b, int start)
{
    double difference = 0.0, reference = 0.0;

    for (int c = 0; c < std::min (a.getNumChannels(), b.getNumChannels()); ++c)
    {
        for (int i = start; i < std::min (a.getNumSamples(), b.getNumSamples()); ++i)
        {
            const double d = (double) a.getSample (c, i) - b.getSample (c, i);
            difference += d * d;
            reference += (double) b.getSample (c, i) * b.getSample (c, i);
        }
    }

    return reference > 0.0 ? std::sqrt (difference / reference) : 0.0;
}

// The processing limits: a guitar pedal's output stays within a few times full scale, and
// anything above -60 dBFS RMS is not silence.
constexpr float outputPeakLimit = 4.0f;
constexpr double silenceRms = 1.0e-3;
constexpr double audibleDifference = 1.0e-2;

juce::String joinNames (const juce::Array<juce::AudioProcessorParameter*>& parameters)
{
    juce::StringArray names;

    for (auto* p : parameters)
        names.add (CheckLog::quoted (p->getName (1024)));

    return names.joinIntoString (", ");
}

bool manifestDeclares (const juce::File& bundle, const juce::String& uri)
{
    const auto manifest = bundle.getChildFile ("manifest.ttl");
    return manifest.existsAsFile() && manifest.loadFileAsString().contains ("<" + uri + ">");
}
} // namespace

//==============================================================================
HostChecks::HostChecks (const HostTestOptions& optionsToUse, CheckLog& logToUse)
    : options (optionsToUse)
    , log (logToUse)
{
#if JUCE_PLUGINHOST_VST3
    if (isVst3())
        format = std::make_unique<juce::VST3PluginFormat>();
#endif

#if JUCE_PLUGINHOST_LV2
    if (! isVst3())
        format = std::make_unique<juce::LV2PluginFormat>();
#endif
}

HostChecks::~HostChecks() = default;

void HostChecks::run()
{
    if (! log.expect (format != nullptr, "format hosted by this build", options.formatName, "no " + options.formatName + " hosting"))
        return;

    if (! log.expect (options.plugin.exists(), "bundle exists", options.plugin.getFullPathName(), "nothing there"))
        return;

    if (! findDescription())
        return;

    auto plugin = createInstance();

    if (plugin == nullptr)
        return;

    checkDescription (*plugin);
    checkParameterList (*plugin);
    checkSteps (*plugin);
    checkDefaults (*plugin);
    checkValues (*plugin);
    checkPrograms (*plugin);
    plugin.reset();

    if (auto fresh = createInstance())
        checkProcessing (*fresh);

    checkLatency();
    checkOfflineRendersRepeat();
    checkMonoLayout();
    checkStateRoundTrip();
    checkProgramAroundRestore();
    checkRandomOrderRoundTrip();
    checkEditor();
}

bool HostChecks::findDescription()
{
    juce::OwnedArray<juce::PluginDescription> found;
    juce::String identifier = options.plugin.getFullPathName();

    if (! isVst3())
    {
        checkNoInstalledCopyShadowsBundle();

        // An LV2 host finds plug-ins by URI among the bundles on its search path.
        const auto uris = format->searchPathsForPlugins (juce::FileSearchPath (options.plugin.getParentDirectory().getFullPathName()), true);

        if (! log.expect (uris.contains (Expected::lv2Uri), "URI found on the search path", Expected::lv2Uri, "[" + uris.joinIntoString (", ") + "]"))
            return false;

        identifier = Expected::lv2Uri;
    }

    format->findAllTypesForFile (found, identifier);

    if (! log.expectEqual ("one plug-in in the bundle", 1, found.size()))
        return false;

    description = *found[0];
    return true;
}

void HostChecks::checkNoInstalledCopyShadowsBundle()
{
    // The host loads its default folders first, and the first bundle of a URI wins.
    juce::StringArray shadows;
    const auto defaults = format->getDefaultLocationsToSearch();

    for (int i = 0; i < defaults.getNumPaths(); ++i)
    {
        const auto folder = defaults[i];

        if (! folder.isDirectory() || folder == options.plugin.getParentDirectory())
            continue;

        for (const auto& bundle : folder.findChildFiles (juce::File::findDirectories, false))
            if (bundle != options.plugin && manifestDeclares (bundle, Expected::lv2Uri))
                shadows.add (bundle.getFullPathName());
    }

    log.expect (shadows.isEmpty(), "no installed bundle declares the same URI", "none", shadows.joinIntoString (", "));
}

std::unique_ptr<HostedPlugin> HostChecks::createInstance()
{
    juce::String error;
    auto plugin = HostedPlugin::create (*format, description, error);

    if (! log.expect (plugin != nullptr, "instance created", "an instance", CheckLog::quoted (error)))
        return nullptr;

    if (! plugin->canProcess())
        log.expect (false, "instance has audio channels", "inputs and outputs", "none: no audio is processed");

    return plugin;
}

//==============================================================================
void HostChecks::checkDescription (HostedPlugin& plugin)
{
    log.expectEqual ("name", Expected::name, description.name);
    log.expectEqual ("manufacturer", Expected::manufacturer, description.manufacturerName);

    if (isVst3())
    {
        log.expectEqual ("version", Expected::version, description.version);
        log.expectEqual ("category", Expected::vst3Category, description.category);
    }
    else
    {
        log.expectEqual ("identifier", Expected::lv2Uri, description.fileOrIdentifier);
        log.note ("the LV2 host reads no version; category is the plug-in class \"" + description.category + "\"");
    }

    log.expect (! description.isInstrument, "not an instrument", "false", "true");
    log.expectEqual ("description input channels", 2, description.numInputChannels);
    log.expectEqual ("description output channels", 2, description.numOutputChannels);

    auto& instance = plugin.get();
    log.expectEqual ("instance name", Expected::name, instance.getName());
    log.expect (! instance.acceptsMidi(), "takes no MIDI", "false", "true");
    log.expect (! instance.producesMidi(), "produces no MIDI", "false", "true");
    log.expectEqual ("default layout inputs", 2, plugin.getDefaultInputChannels());
    log.expectEqual ("default layout outputs", 2, plugin.getDefaultOutputChannels());
    log.expectEqual ("layout with all buses on, inputs", 2, instance.getTotalNumInputChannels());
    log.expectEqual ("layout with all buses on, outputs", 2, instance.getTotalNumOutputChannels());
    log.expectEqual ("latency", 0, instance.getLatencySamples());
    log.expectNear ("tail length", 0.0, instance.getTailLengthSeconds(), 0.0);
}

void HostChecks::checkParameterList (HostedPlugin& plugin)
{
    auto& instance = plugin.get();
    const auto& parameters = instance.getParameters();
    log.note ("parameters: " + joinNames (parameters));

    // JUCE's VST3 host shows the plug-in's parameters, then the bypass and program parameters
    // of the VST3 wrapper; its LV2 host shows the plug-in's control ports and nothing else.
    log.expectEqual ("parameter count", isVst3() ? 10 : 8, parameters.size());

    juce::Array<juce::AudioProcessorParameter*> ours;

    for (const auto& row : parameterTable)
    {
        auto* parameter = plugin.findParameter (row.name);
        log.expect (parameter != nullptr, "parameter \"" + juce::String (row.name) + "\" present", "present", "missing");
        ours.add (parameter);
    }

    {
        // Hosts that automate by index rely on the order.
        bool inOrder = parameters.size() >= (int) parameterTable.size();

        for (int i = 0; inOrder && i < (int) parameterTable.size(); ++i)
            inOrder = parameters[i] == ours[i];

        log.expect (inOrder, "parameters in index order first", "onBypass ... oversampling at 0 to 7", joinNames (parameters));
    }

    juce::StringArray extras;

    for (auto* p : parameters)
    {
        if (ours.contains (p))
            continue;

        extras.add (p->getName (1024));

        if (p == instance.getBypassParameter())
            continue;

        // The VST3 wrapper's program parameter: one step per program.
        const auto isProgramParameter = isVst3() && p->getName (1024) == "Program" && p->getNumSteps() == Expected::numPrograms;
        log.expect (isProgramParameter,
                    "extra parameter \"" + p->getName (1024) + "\" is the host's bypass or program",
                    "the bypass parameter or \"Program\" with 12 steps",
                    CheckLog::quoted (p->getName (1024)) + " with " + juce::String (p->getNumSteps()) + " steps");
    }

    if (isVst3())
        log.expect (instance.getBypassParameter() != nullptr && ! ours.contains (instance.getBypassParameter()),
                    "host bypass parameter is an extra one",
                    "a bypass parameter outside the plug-in's eight",
                    instance.getBypassParameter() == nullptr ? juce::String ("none") : CheckLog::quoted (instance.getBypassParameter()->getName (1024)));

    log.expectEqual ("extra parameters", isVst3() ? "Bypass, Program" : "", extras.joinIntoString (", "));
}

void HostChecks::checkDefaults (HostedPlugin& plugin)
{
    for (const auto& row : parameterTable)
    {
        if (auto* parameter = plugin.findParameter (row.name))
        {
            log.expectNear ("default of \"" + juce::String (row.name) + "\"", row.defaultValue, parameter->getDefaultValue(), valueTolerance);
            log.expectNear ("initial value of \"" + juce::String (row.name) + "\"", row.defaultValue, parameter->getValue(), valueTolerance);
        }
    }

    const juce::StringPairArray initial = []
    {
        juce::StringPairArray texts;
        texts.set ("onBypass", "true");
        texts.set ("inputVol", "0.50000");
        texts.set ("overdriveType", "0");
        texts.set ("overdrive", "0.50000");
        texts.set ("tone", "0.50000");
        texts.set ("level", "0.50000");
        texts.set ("dryWet", "1.00000");
        texts.set ("oversampling", "0");
        return texts;
    }();

    checkLiveValueTexts (plugin, "initial document values", initial);

    if (auto document = plugin.readPatchDocument())
        log.expectEqual ("initial program in the document", 0, PatchReader::getActivePreset (*document));
}

void HostChecks::checkValues (HostedPlugin& plugin)
{
    if (! isVst3())
        log.note ("the LV2 host formats value texts itself; the plug-in's texts are checked through VST3");

    // Each round sets every parameter at most once, then lets the values travel.
    for (int round = 0;; ++round)
    {
        std::vector<const ValueRow*> rows;
        std::map<juce::String, int> seen;

        for (const auto& row : valueTable)
            if (seen[row.name]++ == round && plugin.findParameter (row.name) != nullptr)
                rows.push_back (&row);

        if (seen.empty() || std::all_of (seen.begin(), seen.end(), [round] (auto& entry)
                                         { return entry.second <= round; }))
            break;

        for (const auto* row : rows)
            plugin.setValue (row->name, row->value);

        plugin.settle (valueSettleMs);

        const auto document = plugin.readPatchDocument();
        const auto documentTexts = document != nullptr ? PatchReader::getLiveValueTexts (*document) : juce::StringPairArray();

        for (const auto* row : rows)
        {
            const auto what = juce::String (row->name) + " = " + juce::String (row->value, 8);
            log.expectNear ("host value of " + what, row->value, plugin.getValue (row->name), valueTolerance);

            if (isVst3())
                log.expectEqual ("text of " + what, row->text, plugin.getText (row->name));

            log.expectEqual ("document value of " + what, row->documentText, documentTexts[row->name]);
        }
    }
}

void HostChecks::checkLiveValueTexts (HostedPlugin& plugin, const juce::String& what, const juce::StringPairArray& expected)
{
    const auto document = plugin.readPatchDocument();

    if (! log.expect (document != nullptr, what + ": document in the host state", "a molvekPatch document", "none"))
        return;

    const auto texts = PatchReader::getLiveValueTexts (*document);

    for (const auto& key : expected.getAllKeys())
        log.expectEqual (what + ": " + key, expected[key], texts[key]);
}

//==============================================================================
void HostChecks::checkPrograms (HostedPlugin& plugin)
{
    auto& instance = plugin.get();
    const auto numPrograms = instance.getNumPrograms();

    if (! log.expectEqual ("program count", Expected::numPrograms, numPrograms))
        return;

    // LV2 hosts list presets by label, by URI or in lilv's own set order (JUCE's LV2 host, the
    // last, which a plug-in cannot set): the LV2 presets carry the slot's number in label and
    // URI, and each must select the slot its label names.
    juce::StringArray names, expectedNames;

    for (int p = 0; p < numPrograms; ++p)
    {
        names.add (instance.getProgramName (p));
        const juce::String name (ProgramNames::newInstance[p]);
        expectedNames.add (isVst3() ? name : juce::String (p + 1).paddedLeft ('0', 2) + " " + name);
    }

    const auto listed = names;

    if (! isVst3())
        names.sort (false);

    log.expectEqual ("program names", expectedNames.joinIntoString (", "), names.joinIntoString (", "));

    // What each program holds in a new instance: the defaults in the first, factory values in
    // the others.
    // (By the plug-in's slot: an LV2 host may list the programs in an order of its own.)
    std::vector<juce::StringPairArray> programTexts ((size_t) numPrograms);

    if (auto fresh = createInstance())
    {
        for (int p = 0; p < numPrograms; ++p)
        {
            fresh->get().setCurrentProgram (p);
            fresh->settle (valueSettleMs);

            if (const auto document = fresh->readPatchDocument())
            {
                const auto slot = PatchReader::getActivePreset (*document);

                if (slot >= 0 && slot < numPrograms)
                    programTexts[(size_t) slot] = PatchReader::getLiveValueTexts (*document);
            }
        }
    }

    // Back to the defaults after the value table, then distinctive values in the current program.
    for (const auto& row : parameterTable)
        plugin.setValue (row.name, row.defaultValue);

    plugin.settle (valueSettleMs);

    const auto before = plugin.readPatchDocument();
    const auto startSlot = before != nullptr ? PatchReader::getActivePreset (*before) : -1;

    for (const auto& v : programValues)
        plugin.setValue (v.name, v.value);

    plugin.settle (valueSettleMs);

    juce::StringPairArray setTexts;

    for (const auto& v : programValues)
    {
        setTexts.set (v.name, v.documentText);
    }


    // Exactly one program holds the values set above, the one they were set in; the others
    // hold what a new instance holds there. Every program selects a different slot.
    std::vector<int> holding, slots;
    juce::StringArray staleHostValues;

    for (int p = 0; p < numPrograms; ++p)
    {
        instance.setCurrentProgram (p);
        plugin.settle (valueSettleMs);

        const auto document = plugin.readPatchDocument();
        const auto slot = document != nullptr ? PatchReader::getActivePreset (*document) : -1;
        const auto texts = document != nullptr ? PatchReader::getLiveValueTexts (*document) : juce::StringPairArray();
        slots.push_back (slot);

        bool holdsSet = true, holdsDefaults = true;
        juce::StringArray got;

        for (const auto& v : programValues)
        {
            holdsSet = holdsSet && texts[v.name] == setTexts[v.name];
            holdsDefaults = holdsDefaults && texts[v.name] == programTexts[(size_t) slot < programTexts.size() ? (size_t) slot : 0][v.name];
            got.add (juce::String (v.name) + " " + texts[v.name]);

            const auto hostValue = plugin.getValue (v.name);

            if (plugin.findParameter (v.name) != nullptr && std::abs (hostValue - texts[v.name].getFloatValue()) > 1.0e-4f)
                staleHostValues.addIfNotAlreadyThere (v.name);
        }

        if (holdsSet)
            holding.push_back (p);

        log.expect (holdsSet || holdsDefaults,
                    "program " + juce::String (p) + " values follow the program",
                    "the values set before or those of a new instance",
                    got.joinIntoString (", "));

        if (isVst3())
        {
            // The texts come from the plug-in through the VST3 controller (of the plug-in's own
            // value: this host's copy may lag behind a program change, see below).
            const auto inputVol = texts["inputVol"].getFloatValue();
            log.expectEqual ("program " + juce::String (p) + " text of inputVol",
                             holdsSet ? "8.00" : juce::String (programTexts[(size_t) juce::jlimit (0, numPrograms - 1, slot)]["inputVol"].getDoubleValue() * 10.0, 2),
                             plugin.findParameter ("inputVol") != nullptr ? plugin.findParameter ("inputVol")->getText (inputVol, 1024) : juce::String());
        }

        log.expectEqual ("host's current program after choosing " + juce::String (p), p, instance.getCurrentProgram());
        log.expectEqual ("plug-in's program after choosing " + CheckLog::quoted (listed[p]),
                         isVst3() ? p : listed[p].getIntValue() - 1,
                         slot);
    }

    std::vector<int> sortedSlots (slots);
    std::sort (sortedSlots.begin(), sortedSlots.end());
    juce::StringArray slotTexts, allSlots;

    for (int p = 0; p < numPrograms; ++p)
    {
        slotTexts.add (juce::String (sortedSlots[(size_t) p]));
        allSlots.add (juce::String (p));
    }

    log.expectEqual ("programs reach every slot once", allSlots.joinIntoString (" "), slotTexts.joinIntoString (" "));

    // Informational: what the plug-in holds is checked above, this is the host's own copy.
    if (! staleHostValues.isEmpty())
        log.note ("the host's own copy of " + staleHostValues.joinIntoString (", ") + " did not follow the program changes"
                  + (isVst3() ? " (JUCE's VST3 host on Linux hands the plug-in's own changes to the controller only,"
                                " until an editor has been opened)"
                              : ""));

    // An LV2 preset sets the control ports it carries, which the host owns: choosing one gives
    // its program with the preset's values, as every LV2 host expects of a preset.
    if (! isVst3())
    {
        log.expectEqual ("LV2 presets bring their own values", 0, (int) holding.size());
        return;
    }

    if (! log.expectEqual ("programs holding the values set", 1, (int) holding.size()))
        return;

    log.expectEqual ("program holding the values is the one they were set in", startSlot, slots[(size_t) holding[0]]);

    if (isVst3())
        log.expectEqual ("program holding the values", 0, holding[0]);

    // Back to that program: the values return.
    instance.setCurrentProgram (holding[0]);
    plugin.settle (valueSettleMs);
    checkLiveValueTexts (plugin, "back in the program", setTexts);

    if (isVst3())
        log.expectEqual ("back in the program, text of inputVol", "8.00", plugin.getText ("inputVol"));
}

//==============================================================================
void HostChecks::checkProcessing (HostedPlugin& plugin)
{
    const auto numChannels = plugin.get().getTotalNumOutputChannels();
    const auto numSamples = (int) HostedPlugin::sampleRate; // one second
    const auto steadyStart = numSamples / 2; // after every fade and crossfade
    const auto input = makeTestSignal (numChannels, numSamples, 2710);

    std::vector<juce::AudioBuffer<float>> outputs;

    for (int circuit = 0; circuit < 5; ++circuit)
    {
        const auto what = juce::String ("circuit ") + circuitNames[circuit];
        plugin.setValue ("overdriveType", (float) circuit / 4.0f);
        plugin.settle (deferredSettleMs);

        if (auto document = plugin.readPatchDocument())
            log.expectEqual (what + " selected in the plug-in", juce::String (circuit), PatchReader::getLiveValueTexts (*document)["overdriveType"]);

        auto output = input;
        plugin.process (output);

        const auto stats = measure (output, steadyStart);
        log.expect (stats.finite, what + " output finite", "finite samples", "NaN or infinity");
        log.expect (stats.peak < outputPeakLimit, what + " output bounded", "peak below " + juce::String (outputPeakLimit), juce::String (stats.peak));
        log.expect (stats.rms > silenceRms, what + " output not silent", "RMS above " + juce::String (silenceRms), juce::String (stats.rms));

        if (options.expectDistortion)
        {
            const auto change = relativeDifference (output, input, steadyStart);
            log.expect (change > audibleDifference, what + " changes the sound", "relative difference above " + juce::String (audibleDifference), juce::String (change));
        }

        outputs.push_back (std::move (output));
    }

    if (options.expectDistortion)
    {
        for (size_t a = 0; a < outputs.size(); ++a)
        {
            for (size_t b = a + 1; b < outputs.size(); ++b)
            {
                const auto change = relativeDifference (outputs[a], outputs[b], steadyStart);
                log.expect (change > audibleDifference,
                            juce::String (circuitNames[a]) + " and " + circuitNames[b] + " sound different",
                            "relative difference above " + juce::String (audibleDifference),
                            juce::String (change));
            }
        }
    }
}

void HostChecks::checkOfflineRendersRepeat()
{
    // What a DAW's export does: the session played in real time for a while (how long, and
    // what the plug-in's timers did meanwhile, differs every time), then switched to offline,
    // a number of silent cycles with the range's first values (Ardour waits a varying number
    // of them before it rolls), then the range rendered with the circuit and Drive automated.
    // Two exports must be identical to the bit.
    const auto numSamples = (int) HostedPlugin::sampleRate * 2;

    const auto render = [&] (int realtimeBlocks, int messageLoopMs, int silentBlocks) -> juce::AudioBuffer<float>
    {
        auto plugin = createInstance();

        if (plugin == nullptr || ! plugin->canProcess())
            return {};

        const auto numChannels = plugin->get().getTotalNumOutputChannels();
        plugin->setValue ("overdriveType", 0.25f);
        plugin->setValue ("oversampling", 1.0f / 3.0f);
        auto played = makeTestSignal (numChannels, HostedPlugin::blockSize * realtimeBlocks, 7);
        plugin->process (played);
        HostedPlugin::runMessageLoop (messageLoopMs);

        // The values at the start of the range, set as the export begins and in every silent
        // cycle before it rolls.
        plugin->get().setNonRealtime (true);

        for (int i = 0; i <= silentBlocks; ++i)
        {
            plugin->setValue ("overdriveType", 0.5f);
            plugin->setValue ("overdrive", 0.2f);

            if (i < silentBlocks)
                plugin->processSilence (1);
        }

        auto output = makeTestSignal (numChannels, numSamples, 2710);
        juce::AudioBuffer<float> block (numChannels, HostedPlugin::blockSize);

        for (int start = 0, index = 0; start < numSamples; start += HostedPlugin::blockSize, ++index)
        {
            if (index == 60)
                plugin->setValue ("overdriveType", 1.0f);

            if (index >= 60 && index < 120)
                plugin->setValue ("overdrive", 0.2f + 0.7f * (float) (index - 60) / 60.0f);

            if (index == 130)
                plugin->setValue ("oversampling", 2.0f / 3.0f);

            const auto n = juce::jmin (HostedPlugin::blockSize, numSamples - start);
            juce::AudioBuffer<float> piece (numChannels, n);

            for (int c = 0; c < numChannels; ++c)
                piece.copyFrom (c, 0, output, c, start, n);

            plugin->process (piece);

            for (int c = 0; c < numChannels; ++c)
                output.copyFrom (c, start, piece, c, 0, n);

            // Faster than real time: the message thread gets its turns at other moments.
            if (messageLoopMs > 0 && index % 16 == 0)
                HostedPlugin::runMessageLoop (messageLoopMs);
        }

        return output;
    };

    const auto first = render (2, 0, 0);
    const auto second = render (40, 70, 7);

    if (first.getNumSamples() == 0 || second.getNumSamples() == 0)
        return;

    int differing = 0, firstAt = -1;

    for (int c = 0; c < first.getNumChannels(); ++c)
    {
        for (int i = 0; i < first.getNumSamples(); ++i)
        {
            if (first.getSample (c, i) != second.getSample (c, i))
            {
                ++differing;
                firstAt = firstAt < 0 ? i : juce::jmin (firstAt, i);
            }
        }
    }

    log.expect (differing == 0, "two offline renders of the same automation are identical", "no sample differs", juce::String (differing) + " samples differ, the first at " + juce::String (firstAt));
}

void HostChecks::checkLatency()
{
    // The host must hear of the oversampling delay, in whole samples, whenever the factor
    // changes: measured here as the group delay at 1 kHz of an impulse through the aligned dry
    // path (which takes the wet path's delay).
    auto plugin = createInstance();

    if (plugin == nullptr || ! plugin->canProcess())
        return;

    plugin->setValue ("dryWet", 0.0f);
    const auto numChannels = plugin->get().getTotalNumOutputChannels();

    for (int step = 0; step < 4; ++step)
    {
        plugin->setValue ("oversampling", (float) step / 3.0f);
        plugin->settle (deferredSettleMs);
        plugin->processSilence (16);

        constexpr int at = 64;
        juce::AudioBuffer<float> response (numChannels, 4096);
        response.clear();
        response.setSample (0, at, 1.0f);
        plugin->process (response);

        const auto w = 2.0 * juce::MathConstants<double>::pi * 1000.0 / HostedPlugin::sampleRate;
        std::complex<double> sum, weighted;

        for (int n = 0; n + at < response.getNumSamples(); ++n)
        {
            const auto h = (double) response.getSample (0, n + at) * std::polar (1.0, -w * n);
            sum += h;
            weighted += (double) n * h;
        }

        const auto measured = std::abs (sum) > 0.5 ? std::real (weighted / sum) : -1.0;
        const auto reported = plugin->get().getLatencySamples();
        const auto what = juce::String ("latency at ") + stepTable[2].names[step];
        log.expect (std::abs (measured - reported) <= 0.5 + 1.0e-6 && (step == 0) == (reported == 0),
                    what + " is the measured delay in whole samples",
                    juce::String (measured, 3) + " rounded",
                    juce::String (reported));
    }
}

void HostChecks::checkMonoLayout()
{
    auto plugin = createInstance();

    if (plugin == nullptr)
        return;

    auto& instance = plugin->get();
    juce::AudioProcessor::BusesLayout mono;
    mono.inputBuses.add (juce::AudioChannelSet::mono());
    mono.outputBuses.add (juce::AudioChannelSet::mono());

    if (! isVst3() && ! instance.checkBusesLayoutSupported (mono))
    {
        log.note ("mono layout not offered: the LV2 mono plug-in has a URI of its own (vardeko-lv2check runs it)");
        return;
    }

    instance.releaseResources();
    const auto accepted = instance.setBusesLayout (mono);

    if (! log.expect (accepted, "mono layout accepted", "true", "false"))
        return;

    plugin->prepare();
    log.expectEqual ("mono layout inputs", 1, instance.getTotalNumInputChannels());
    log.expectEqual ("mono layout outputs", 1, instance.getTotalNumOutputChannels());

    const auto numSamples = (int) HostedPlugin::sampleRate / 2;
    auto output = makeTestSignal (1, numSamples, 1);
    plugin->process (output);

    const auto stats = measure (output, numSamples / 2);
    log.expect (stats.finite, "mono output finite", "finite samples", "NaN or infinity");
    log.expect (stats.peak < outputPeakLimit, "mono output bounded", "peak below " + juce::String (outputPeakLimit), juce::String (stats.peak));
    log.expect (stats.rms > silenceRms, "mono output not silent", "RMS above " + juce::String (silenceRms), juce::String (stats.rms));
}

void HostChecks::checkStateRoundTrip()
{
    auto original = createInstance();

    if (original == nullptr)
        return;

    // Program 5 of the host, then distinctive values in it.
    original->settle (valueSettleMs);
    original->get().setCurrentProgram (5);
    original->settle (valueSettleMs);

    for (const auto& v : stateValues)
        original->setValue (v.name, v.value);

    original->settle (deferredSettleMs);

    const auto savedDocument = original->readPatchDocument();

    if (! log.expect (savedDocument != nullptr, "state holds the plug-in's document", "a molvekPatch document", "none"))
        return;

    const auto savedSlot = PatchReader::getActivePreset (*savedDocument);
    juce::MemoryBlock state;
    original->get().getStateInformation (state);
    original.reset();

    auto restored = createInstance();

    if (restored == nullptr)
        return;

    restored->get().setStateInformation (state.getData(), (int) state.getSize());
    restored->settle (deferredSettleMs);

    juce::StringPairArray expected;

    for (const auto& v : stateValues)
    {
        log.expectNear ("restored host value of " + juce::String (v.name), v.value, restored->getValue (v.name), valueTolerance);
        expected.set (v.name, v.documentText);
    }

    checkLiveValueTexts (*restored, "restored", expected);

    const auto restoredDocument = restored->readPatchDocument();

    if (restoredDocument == nullptr)
        return;

    log.expectEqual ("restored program in the plug-in", savedSlot, PatchReader::getActivePreset (*restoredDocument));
    log.expect (restoredDocument->isEquivalentTo (savedDocument.get(), false),
                "restored document equals the saved one",
                savedDocument->toString (juce::XmlElement::TextFormat().singleLine()),
                restoredDocument->toString (juce::XmlElement::TextFormat().singleLine()));

    if (isVst3())
    {
        log.expectEqual ("restored host program", 5, restored->get().getCurrentProgram());
        log.expectEqual ("restored text of overdriveType", "Modern Overdrive", restored->getText ("overdriveType"));
        log.expectEqual ("restored text of oversampling", "4x Oversampling", restored->getText ("oversampling"));
        log.expectEqual ("restored text of onBypass", "Off", restored->getText ("onBypass"));
    }
}

void HostChecks::checkProgramAroundRestore()
{
    // What a DAW does when it reopens a session saved with a program other than the first: it
    // selects that program before and/or after restoring the state. Neither may cost a restored
    // value, in the plug-in or in the host's own copy, even after the host writes its copy back.
    constexpr int program = 2;
    auto original = createInstance();

    if (original == nullptr)
        return;

    original->settle (valueSettleMs);
    original->get().setCurrentProgram (program);
    original->settle (valueSettleMs);

    for (const auto& v : stateValues)
        original->setValue (v.name, v.value);

    original->settle (deferredSettleMs);

    const auto savedDocument = original->readPatchDocument();
    juce::MemoryBlock state;
    original->get().getStateInformation (state);
    original.reset();

    auto restored = createInstance();

    if (restored == nullptr || savedDocument == nullptr)
        return;

    // Hosts choose programs on threads of their own: the host's own copy of the change reaches
    // the plug-in there (saving the state hands it over at once).
    std::atomic<bool> chosen { false };
    juce::Thread::launch ([&]
                          {
                              restored->get().setCurrentProgram (program);
                              juce::MemoryBlock ignored;
                              restored->get().getStateInformation (ignored);
                              chosen = true; });

    // No audio runs between the two while a session loads.
    while (! chosen)
        HostedPlugin::runMessageLoop (5);

    restored->get().setStateInformation (state.getData(), (int) state.getSize());

    // An LV2 preset is a snapshot of values: choosing it again applies them, as hosts expect.
    if (isVst3())
        restored->get().setCurrentProgram (program);

    restored->settle (deferredSettleMs);

    const auto checkRestored = [&] (const juce::String& when)
    {
        for (const auto& v : stateValues)
            log.expectNear (when + ": host value of " + juce::String (v.name), v.value, restored->getValue (v.name), valueTolerance);

        const auto document = restored->readPatchDocument();
        log.expect (document != nullptr && document->isEquivalentTo (savedDocument.get(), false),
                    when + ": the plug-in's document equals the saved one",
                    savedDocument->toString (juce::XmlElement::TextFormat().singleLine()),
                    document != nullptr ? document->toString (juce::XmlElement::TextFormat().singleLine()) : "none");
    };

    checkRestored ("program chosen around a restore");

    // The host writes its own copy back, as a DAW does from its controls.
    for (const auto& row : parameterTable)
        restored->setValue (row.name, restored->getValue (row.name));

    restored->settle (deferredSettleMs);
    checkRestored ("program chosen around a restore, host's copy written back");
}

void HostChecks::checkSteps (HostedPlugin& plugin)
{
    // The switch, the circuit and the oversampling factor are discrete in every format, with
    // their value texts as the steps' names; the other five are continuous.
    for (const auto& row : parameterTable)
    {
        auto* parameter = plugin.findParameter (row.name);

        if (parameter == nullptr)
            continue;

        const auto* found = findSteps (row.name);
        const auto steps = found != nullptr ? found->numSteps : 0;
        const auto what = CheckLog::quoted (row.name);

        if (steps == 0)
        {
            log.expect (! parameter->isDiscrete() && ! parameter->isBoolean(), what + " continuous", "continuous", "discrete");
            continue;
        }

        log.expectEqual (what + " step count", steps, parameter->getNumSteps());
        log.expect (parameter->isDiscrete() || parameter->isBoolean(), what + " discrete", "discrete", "continuous");

        // Each step shows its name when set, and a host that lists the steps (asking for the
        // text of each value without setting it) gets every step's name; through VST3 a value
        // between two steps is named after the step that plays it. (JUCE's LV2 host writes the
        // scale point's label for an enumeration and its own text for a toggle.)
        const auto expectedNames = juce::StringArray (found->names, steps).joinIntoString (", ");
        juce::StringArray names, listedNames, betweenNames, expectedBetween;

        for (int k = 0; k < steps; ++k)
        {
            const auto stepValue = (float) k / (float) (steps - 1);
            listedNames.add (parameter->getText (stepValue, 1024));

            // Just below the step's value, which is inside its band (the first step's band is
            // its value alone).
            if (k > 0)
            {
                betweenNames.add (parameter->getText (stepValue - 0.3f / (float) (steps - 1), 1024));
                expectedBetween.add (found->names[k]);
            }

            plugin.setValue (row.name, stepValue);
            plugin.settle (valueSettleMs);
            names.add (plugin.getText (row.name));
        }

        plugin.setValue (row.name, row.defaultValue);

        if (isVst3() || steps > 2)
        {
            log.expectEqual (what + " step names", expectedNames, names.joinIntoString (", "));
            log.expectEqual (what + " step names listed by value", expectedNames, listedNames.joinIntoString (", "));
        }

        if (isVst3())
            log.expectEqual (what + " names of values between steps", expectedBetween.joinIntoString (", "), betweenNames.joinIntoString (", "));
    }

    plugin.settle (deferredSettleMs);
}

void HostChecks::checkRandomOrderRoundTrip()
{
    // What a plug-in validator does, as fast as it does it: every parameter set in a random
    // order to a value between steps, the host's own copy read and the state saved at once,
    // every value scrambled, the state restored and read back at once. Each parameter must then
    // read exactly what it was set to, in this instance and in a fresh one, and once the values
    // have travelled, the plug-in must hold them too. (A VST3 or VST2 host reads the values back
    // from the plug-in after a restore; an LV2 host restores its own control ports.)
    juce::Random random (2710);

    for (int round = 0; round < 10; ++round)
    {
        auto original = createInstance();
        auto fresh = createInstance();

        if (original == nullptr || fresh == nullptr)
            return;

        std::vector<size_t> order (parameterTable.size());
        std::iota (order.begin(), order.end(), size_t { 0 });
        std::shuffle (order.begin(), order.end(), std::mt19937 ((unsigned) round));
        std::map<juce::String, float> set;

        const auto setRandomValues = [&] (HostedPlugin& plugin)
        {
            for (auto k : order)
            {
                // Stepped values strictly between two steps, never on one.
                const auto* name = parameterTable[k].name;
                const auto* found = findSteps (name);
                const auto intervals = found != nullptr ? found->numSteps - 1 : 0;
                const auto value = intervals > 0 ? ((float) random.nextInt (intervals) + 0.1f + 0.8f * random.nextFloat()) / (float) intervals
                                                 : random.nextFloat();
                plugin.setValue (name, value);
                set[name] = value;
            }

            // An LV2 host writes what it set into its control ports in its next process call,
            // and saves its ports itself: without a block in between, it saves (and restores)
            // the values from before, whatever the plug-in does.
            if (! isVst3())
                plugin.processSilence (1);
        };

        setRandomValues (*original);
        const auto saved = set;

        juce::StringArray setTexts;
        juce::StringPairArray documentTexts;

        for (const auto& row : parameterTable)
        {
            const auto value = saved.at (row.name);
            setTexts.add (juce::String (row.name) + " " + juce::String (value, 5));
            documentTexts.set (row.name, expectedDocumentText (row.name, value));
        }

        juce::MemoryBlock state;
        original->get().getStateInformation (state);

        setRandomValues (*original);
        setRandomValues (*fresh);

        original->get().setStateInformation (state.getData(), (int) state.getSize());
        fresh->get().setStateInformation (state.getData(), (int) state.getSize());

        for (auto* plugin : { original.get(), fresh.get() })
        {
            juce::StringArray got;
            bool same = true;

            for (const auto& row : parameterTable)
            {
                const auto value = plugin->getValue (row.name);
                got.add (juce::String (row.name) + " " + juce::String (value, 5));

                // Continuous values travel through the document with five decimals.
                same = same && std::abs (value - saved.at (row.name)) <= 1.0e-5f;
            }

            const auto what = juce::String ("random-order round trip ") + juce::String (round) + (plugin == fresh.get() ? " in a fresh instance" : "");
            log.expect (same, what + ": host values", setTexts.joinIntoString (", "), got.joinIntoString (", "));

            plugin->settle (deferredSettleMs);
            checkLiveValueTexts (*plugin, what + ": plug-in holds", documentTexts);
        }
    }
}

//==============================================================================
void HostChecks::checkEditor()
{
    // JUCE's VST3 host creates the plug-in's editor without a display and attaches it when it
    // goes on screen; its LV2 host instantiates the X11 editor at once, which needs a display.
    if (! isVst3() && ! options.showEditor)
    {
        log.note ("editor not checked: the LV2 editor needs a display (--show-editor)");
        return;
    }

    auto plugin = createInstance();

    if (plugin == nullptr)
        return;

    auto& instance = plugin->get();
    log.expect (instance.hasEditor(), "has an editor", "true", "false");

    std::unique_ptr<juce::AudioProcessorEditor> editor (instance.createEditorIfNeeded());

    if (! log.expect (editor != nullptr, "editor created", "an editor", "none"))
        return;

    const auto size = [&]
    { return juce::String (editor->getWidth()) + " x " + juce::String (editor->getHeight()); };
    const auto expectedSize = juce::String (Expected::editorWidth) + " x " + juce::String (Expected::editorHeight);
    log.expectEqual ("editor size", expectedSize, size());

    if (options.showEditor)
    {
        editor->setVisible (true);
        editor->addToDesktop (0);
        plugin->settle (300);

        log.expect (editor->isShowing(), "editor on screen", "showing", "not showing");
        log.expectEqual ("editor size on screen", expectedSize, size());

        editor->removeFromDesktop();
    }

    editor.reset();
    plugin->settle (20);
    log.expect (instance.getActiveEditor() == nullptr, "editor deleted", "no active editor", "an editor");
}
