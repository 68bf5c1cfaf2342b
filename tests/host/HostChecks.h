#pragma once

#include "tests/host/CheckLog.h"
#include "tests/host/HostedPlugin.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <memory>

struct HostTestOptions
{
    juce::String formatName; // "VST3" or "LV2"
    juce::File plugin; // the bundle, or the DLL inside a VST3 bundle on Windows
    bool showEditor = false; // puts the editor on screen (needs a display)

    // Requires every circuit to change the sound and the five circuits to sound different.
    bool expectDistortion = false;
};

// Everything a host can see of the plug-in from the outside, checked for one format: the
// description, parameters, value texts, programs, processing, layouts, state and the editor.
class HostChecks
{
public:
    HostChecks (const HostTestOptions& options, CheckLog& log);
    ~HostChecks();

    void run();

private:
    bool isVst3() const { return options.formatName == "VST3"; }

    bool findDescription();
    void checkNoInstalledCopyShadowsBundle();
    std::unique_ptr<HostedPlugin> createInstance();

    void checkDescription (HostedPlugin& plugin);
    void checkParameterList (HostedPlugin& plugin);
    void checkDefaults (HostedPlugin& plugin);
    void checkValues (HostedPlugin& plugin);
    void checkPrograms (HostedPlugin& plugin);
    void checkProcessing (HostedPlugin& plugin);
    void checkLatency();
    void checkOfflineRendersRepeat();
    void checkMonoLayout();
    void checkStateRoundTrip();
    void checkProgramAroundRestore();
    void checkSteps (HostedPlugin& plugin);
    void checkRandomOrderRoundTrip();
    void checkEditor();

    void checkLiveValueTexts (HostedPlugin& plugin, const juce::String& what, const juce::StringPairArray& expected);

    HostTestOptions options;
    CheckLog& log;
    std::unique_ptr<juce::AudioPluginFormat> format;
    juce::PluginDescription description;
};
