#include "lv2/Lv2Turtle.h"

#include "lv2/Lv2Ports.h"
#include "processor/HostParameters.h"
#include "processor/ProductInfo.h"
#include "processor/VardekoQX2710AudioProcessor.h"

namespace
{
const char* const prefixes = "@prefix atom:  <http://lv2plug.in/ns/ext/atom#> .\n"
                             "@prefix bufsz: <http://lv2plug.in/ns/ext/buf-size#> .\n"
                             "@prefix doap:  <http://usefulinc.com/ns/doap#> .\n"
                             "@prefix foaf:  <http://xmlns.com/foaf/0.1/> .\n"
                             "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
                             "@prefix opts:  <http://lv2plug.in/ns/ext/options#> .\n"
                             "@prefix pprop: <http://lv2plug.in/ns/ext/port-props#> .\n"
                             "@prefix pset:  <http://lv2plug.in/ns/ext/presets#> .\n"
                             "@prefix rdf:   <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
                             "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
                             "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
                             "@prefix ui:    <http://lv2plug.in/ns/extensions/ui#> .\n"
                             "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
                             "@prefix urid:  <http://lv2plug.in/ns/ext/urid#> .\n"
                             "@prefix xsd:   <http://www.w3.org/2001/XMLSchema#> .\n\n";

juce::String iri (const juce::String& uri) { return "<" + uri + ">"; }

// Numbers in Turtle's decimal syntax, whatever the locale.
juce::String number (float value)
{
    auto text = HostParameters::formatFixed ((double) value, 6);

    while (text.endsWithChar ('0') && text.fromFirstOccurrenceOf (".", false, false).length() > 1)
        text = text.dropLastCharacters (1);

    return text;
}

const Lv2Ports::Variant variants[] = { Lv2Ports::Variant::stereo, Lv2Ports::Variant::mono };

juce::String appliesToBoth()
{
    return iri (Lv2Ports::getPluginUri (Lv2Ports::Variant::stereo)) + " , " + iri (Lv2Ports::getPluginUri (Lv2Ports::Variant::mono));
}

juce::String audioPort (uint32_t index, bool input, int channel)
{
    const juce::String n (channel + 1);
    return juce::String ("    [\n")
           + "        a lv2:" + (input ? "InputPort" : "OutputPort") + " , lv2:AudioPort ;\n"
           + "        lv2:index " + juce::String (index) + " ;\n"
           + "        lv2:symbol \"" + (input ? "audio_in_" : "audio_out_") + n + "\" ;\n"
           + "        lv2:name \"" + (input ? "Audio In " : "Audio Out ") + n + "\" ;\n"
           + "    ]";
}

juce::String controlPort (VardekoQX2710AudioProcessor& processor, uint32_t index, int parameter)
{
    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
    const auto name = processor.getParameterName (parameter);
    const auto defaultValue = processor.getParameterDefaultValue (parameter);
    JUCE_END_IGNORE_WARNINGS_GCC_LIKE

    juce::String port;
    port << "    [\n"
         << "        a lv2:InputPort , lv2:ControlPort ;\n"
         << "        lv2:index " << juce::String (index) << " ;\n"
         << "        lv2:symbol \"" << name << "\" ;\n"
         << "        lv2:name " << Lv2Turtle::quoted (name) << " ;\n"
         << "        lv2:default " << number (Lv2Ports::toPortValue (parameter, defaultValue)) << " ;\n"
         << "        lv2:minimum 0 ;\n"
         << "        lv2:maximum " << number (Lv2Ports::getPortMaximum (parameter));

    if (Lv2Ports::isToggled (parameter))
        port << " ;\n        lv2:portProperty lv2:toggled";

    if (Lv2Ports::isEnumeration (parameter))
    {
        port << " ;\n        lv2:portProperty lv2:integer , lv2:enumeration ;\n        lv2:scalePoint";

        for (int step = 0; step < HostParameters::getNumSteps (parameter); ++step)
        {
            const auto text = HostParameters::getText (parameter, HostParameters::getStepValue (parameter, step));
            port << (step == 0 ? " " : " , ") << "[ rdfs:label " << Lv2Turtle::quoted (text) << " ; rdf:value " << step << " ]";
        }
    }

    port << " ;\n    ]";
    return port;
}

juce::String freeWheelingPort (uint32_t index)
{
    return "    [\n"
           "        a lv2:InputPort , lv2:ControlPort ;\n"
           "        lv2:index "
           + juce::String (index) + " ;\n"
                                    "        lv2:symbol \"freeWheeling\" ;\n"
                                    "        lv2:name \"Free Wheeling\" ;\n"
                                    "        lv2:designation lv2:freeWheeling ;\n"
                                    "        lv2:default 0 ;\n"
                                    "        lv2:minimum 0 ;\n"
                                    "        lv2:maximum 1 ;\n"
                                    "        lv2:portProperty lv2:toggled , pprop:notOnGUI ;\n"
                                    "    ]";
}

juce::String latencyPort (uint32_t index)
{
    return "    [\n"
           "        a lv2:OutputPort , lv2:ControlPort ;\n"
           "        lv2:index "
           + juce::String (index) + " ;\n"
                                    "        lv2:symbol \"latency\" ;\n"
                                    "        lv2:name \"Latency\" ;\n"
                                    "        lv2:designation lv2:latency ;\n"
                                    "        lv2:minimum 0 ;\n"
                                    "        lv2:maximum 64 ;\n"
                                    "        lv2:portProperty lv2:reportsLatency , lv2:integer , pprop:notOnGUI ;\n"
                                    "        units:unit units:frame ;\n"
                                    "    ]";
}

// "1.0.6": minor version 0, micro version 6 (LV2 has no major version).
int versionPart (int indexFromBack)
{
    const auto parts = juce::StringArray::fromTokens (ProductInfo::version, ".", "");
    return parts.size() >= indexFromBack ? parts[parts.size() - indexFromBack].getIntValue() : 0;
}
} // namespace

juce::String Lv2Turtle::quoted (const juce::String& text)
{
    return "\"" + text.replace ("\\", "\\\\").replace ("\"", "\\\"").replace ("\n", "\\n") + "\"";
}

juce::String Lv2Turtle::createManifest (VardekoQX2710AudioProcessor& processor, const juce::String& binaryName)
{
    juce::String ttl (prefixes);

    for (auto variant : variants)
        ttl << iri (Lv2Ports::getPluginUri (variant)) << "\n"
            << "    a lv2:Plugin ;\n"
            << "    lv2:binary <" << binaryName << "> ;\n"
            << "    rdfs:seeAlso <" << pluginFile << "> .\n\n";

    ttl << iri (Lv2Ports::getUiUri()) << "\n"
        << "    a ui:X11UI ;\n"
        << "    lv2:binary <" << binaryName << "> ;\n"
        << "    rdfs:seeAlso <" << pluginFile << "> .\n\n";

    for (int p = 0; p < processor.getNumPrograms(); ++p)
        ttl << iri (Lv2Ports::getPresetUri (p)) << "\n"
            << "    a pset:Preset ;\n"
            << "    lv2:appliesTo " << appliesToBoth() << " ;\n"
            << "    rdfs:seeAlso <" << presetFile << "> .\n\n";

    return ttl;
}

juce::String Lv2Turtle::createPlugins (VardekoQX2710AudioProcessor& processor)
{
    juce::String ttl (prefixes);

    for (auto variant : variants)
    {
        const auto channels = Lv2Ports::getNumAudioChannels (variant);
        const auto name = juce::String (ProductInfo::name) + (variant == Lv2Ports::Variant::mono ? " Mono" : "");

        ttl << iri (Lv2Ports::getPluginUri (variant)) << "\n"
            << "    a lv2:Plugin , lv2:DistortionPlugin , doap:Project ;\n"
            << "    doap:name " << quoted (name) << " ;\n"
            << "    rdfs:comment " << quoted ("Guitar overdrive: five circuits, oversampled diode clipping, a delay-matched dry/wet mix") << " ;\n"
            << "    doap:maintainer [ a foaf:Organization ; foaf:name " << quoted (ProductInfo::manufacturer)
            << " ; foaf:homepage <" << ProductInfo::website << "> ; foaf:mbox <" << ProductInfo::email << "> ] ;\n"
            << "    doap:release [ doap:revision " << quoted (ProductInfo::version) << " ] ;\n"
            << "    lv2:minorVersion " << versionPart (2) << " ;\n"
            << "    lv2:microVersion " << versionPart (1) << " ;\n"
            << "    lv2:optionalFeature lv2:hardRTCapable , urid:map , opts:options , bufsz:boundedBlockLength ;\n"
            << "    opts:supportedOption bufsz:maxBlockLength ;\n"
            << "    lv2:extensionData state:interface ;\n"
            << "    ui:ui " << iri (Lv2Ports::getUiUri()) << " ;\n"
            << "    lv2:port\n";

        juce::StringArray ports;

        for (int c = 0; c < channels; ++c)
            ports.add (audioPort (Lv2Ports::getAudioInputPort (variant, c), true, c));

        for (int c = 0; c < channels; ++c)
            ports.add (audioPort (Lv2Ports::getAudioOutputPort (variant, c), false, c));

        for (int k = 0; k < HostParameters::numParameters; ++k)
            ports.add (controlPort (processor, Lv2Ports::getControlPort (variant, k), k));

        ports.add (freeWheelingPort (Lv2Ports::getFreeWheelingPort (variant)));
        ports.add (latencyPort (Lv2Ports::getLatencyPort (variant)));
        ttl << ports.joinIntoString (" ,\n") << " .\n\n";
    }

    // The editor: embedded in the host's window, driven by its idle calls, fixed in size.
    ttl << iri (Lv2Ports::getUiUri()) << "\n"
        << "    a ui:X11UI ;\n"
        << "    lv2:requiredFeature ui:idleInterface , ui:parent , <http://lv2plug.in/ns/ext/instance-access> ;\n"
        << "    lv2:optionalFeature ui:resize , ui:touch , ui:noUserResize , opts:options ;\n"
        << "    lv2:extensionData ui:idleInterface , ui:resize .\n";

    return ttl;
}

juce::String Lv2Turtle::createPresets (VardekoQX2710AudioProcessor& processor)
{
    juce::String ttl (prefixes);

    // The state property that a preset carries: which program it selects.
    ttl << iri (Lv2Ports::getProgramUri()) << "\n"
        << "    a rdf:Property ;\n"
        << "    rdfs:label \"program\" ;\n"
        << "    rdfs:comment \"The program (0 to 11) that the preset selects before its port values apply.\" ;\n"
        << "    rdfs:range xsd:int .\n\n";

    for (int p = 0; p < processor.getNumPrograms(); ++p)
    {
        processor.setCurrentProgram (p);

        ttl << iri (Lv2Ports::getPresetUri (p)) << "\n"
            << "    a pset:Preset ;\n"
            << "    lv2:appliesTo " << appliesToBoth() << " ;\n"
            << "    rdfs:label " << quoted (Lv2Ports::getPresetLabel (p, processor.getProgramName (p))) << " ;\n"
            << "    lv2:port";

        for (int k = 0; k < HostParameters::numParameters; ++k)
        {
            JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
            const auto name = processor.getParameterName (k);
            const auto value = Lv2Ports::toPortValue (k, processor.getParameter (k));
            JUCE_END_IGNORE_WARNINGS_GCC_LIKE

            ttl << (k == 0 ? " " : " , ") << "[ lv2:symbol \"" << name << "\" ; pset:value " << number (value) << " ]";
        }

        ttl << " ;\n"
            << "    state:state [ " << iri (Lv2Ports::getProgramUri()) << " \"" << p << "\"^^xsd:int ] .\n\n";
    }

    return ttl;
}

juce::Result Lv2Turtle::writeBundle (VardekoQX2710AudioProcessor& processor, const juce::File& bundle, const juce::String& binaryName)
{
    if (! bundle.createDirectory())
        return juce::Result::fail ("cannot create " + bundle.getFullPathName());

    const std::pair<const char*, juce::String> files[] = {
        { "manifest.ttl", createManifest (processor, binaryName) },
        { pluginFile, createPlugins (processor) },
        { presetFile, createPresets (processor) },
    };

    for (const auto& [name, text] : files)
        if (! bundle.getChildFile (name).replaceWithText (text, false, false, "\n"))
            return juce::Result::fail ("cannot write " + bundle.getChildFile (name).getFullPathName());

    return juce::Result::ok();
}
