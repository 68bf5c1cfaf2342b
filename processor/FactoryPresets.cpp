#include "processor/FactoryPresets.h"

#include "processor/PresetFileWriter.h"
#include "processor/HostParameters.h"
#include "processor/PatchDocument.h"
#include "processor/PresetPath.h"
#include "processor/ProductInfo.h"

#include <atomic>

namespace
{
// Levels were set by rendering the demo riff through each preset: clean boosts a few dB above
// the dry riff, the driven sounds near it, every peak below -1 dBFS.
// clang-format off
const std::vector<FactoryPresets::Preset> presets = {
    // folder               name                          on    input  circuit drive  tone   level  mix    factor
    { "Blues Overdrive",    "Blues Clean Boost",          true, 0.50f, 0,      0.10f, 0.55f, 0.70f, 1.00f, 1 },
    { "Blues Overdrive",    "Blues Edge of Break-up",     true, 0.50f, 0,      0.35f, 0.50f, 0.63f, 1.00f, 2 },
    { "Blues Overdrive",    "Blues Crunch",               true, 0.55f, 0,      0.65f, 0.55f, 0.55f, 1.00f, 2 },
    { "Blues Overdrive",    "Blues Lead",                 true, 0.60f, 0,      0.90f, 0.60f, 0.51f, 1.00f, 2 },
    { "Blues Overdrive",    "Blues Blend",                true, 0.55f, 0,      0.80f, 0.50f, 0.60f, 0.55f, 2 },
    { "Boutique Overdrive", "Boutique Clean Boost",       true, 0.50f, 1,      0.05f, 0.55f, 0.92f, 1.00f, 1 },
    { "Boutique Overdrive", "Boutique Edge of Break-up",  true, 0.50f, 1,      0.30f, 0.50f, 0.65f, 1.00f, 2 },
    { "Boutique Overdrive", "Boutique Crunch",            true, 0.55f, 1,      0.60f, 0.55f, 0.55f, 1.00f, 2 },
    { "Boutique Overdrive", "Boutique Lead",              true, 0.60f, 1,      0.85f, 0.60f, 0.55f, 1.00f, 2 },
    { "Boutique Overdrive", "Boutique Blend",             true, 0.55f, 1,      0.75f, 0.55f, 0.62f, 0.60f, 2 },
    { "Mad Overdrive",      "Mad Clean Boost",            true, 0.50f, 2,      0.05f, 0.50f, 0.95f, 1.00f, 1 },
    { "Mad Overdrive",      "Mad Edge of Break-up",       true, 0.50f, 2,      0.30f, 0.50f, 0.56f, 1.00f, 2 },
    { "Mad Overdrive",      "Mad Crunch",                 true, 0.55f, 2,      0.60f, 0.50f, 0.49f, 1.00f, 2 },
    { "Mad Overdrive",      "Mad Lead",                   true, 0.60f, 2,      0.85f, 0.55f, 0.49f, 1.00f, 2 },
    { "Mad Overdrive",      "Mad Blend",                  true, 0.55f, 2,      0.75f, 0.50f, 0.55f, 0.60f, 2 },
    { "Modern Overdrive",   "Modern Clean Boost",         true, 0.50f, 3,      0.05f, 0.60f, 0.75f, 1.00f, 1 },
    { "Modern Overdrive",   "Modern Edge of Break-up",    true, 0.50f, 3,      0.25f, 0.55f, 0.64f, 1.00f, 2 },
    { "Modern Overdrive",   "Modern Crunch",              true, 0.55f, 3,      0.55f, 0.55f, 0.53f, 1.00f, 2 },
    { "Modern Overdrive",   "Modern Lead",                true, 0.60f, 3,      0.85f, 0.60f, 0.50f, 1.00f, 3 },
    { "Modern Overdrive",   "Modern Blend",               true, 0.55f, 3,      0.75f, 0.50f, 0.64f, 0.50f, 2 },
    { "Pro Overdrive",      "Pro Clean Boost",            true, 0.50f, 4,      0.05f, 0.55f, 0.57f, 1.00f, 1 },
    { "Pro Overdrive",      "Pro Edge of Break-up",       true, 0.50f, 4,      0.35f, 0.50f, 0.60f, 1.00f, 2 },
    { "Pro Overdrive",      "Pro Crunch",                 true, 0.55f, 4,      0.65f, 0.55f, 0.52f, 1.00f, 2 },
    { "Pro Overdrive",      "Pro Lead",                   true, 0.60f, 4,      0.90f, 0.60f, 0.49f, 1.00f, 2 },
    { "Pro Overdrive",      "Pro Blend",                  true, 0.55f, 4,      0.80f, 0.50f, 0.60f, 0.60f, 2 },
};
// clang-format on
} // namespace

const std::vector<FactoryPresets::Preset>& FactoryPresets::getPresets()
{
    return presets;
}

const std::vector<FactoryPresets::Program>& FactoryPresets::getPrograms()
{
    // Crunch and lead of each circuit first, then the gentler rhythms with the blends, so the
    // first programs after "Init" step through the five circuits.
    static const std::vector<Program> programs {
        { "Blues Crunch", "Blues Lead" },
        { "Boutique Crunch", "Boutique Lead" },
        { "Mad Crunch", "Mad Lead" },
        { "Modern Crunch", "Modern Lead" },
        { "Pro Crunch", "Pro Lead" },
        { "Blues Edge of Break-up", "Blues Blend" },
        { "Boutique Edge of Break-up", "Boutique Blend" },
        { "Mad Edge of Break-up", "Mad Blend" },
        { "Modern Edge of Break-up", "Modern Blend" },
        { "Pro Edge of Break-up", "Pro Blend" },
        { "Pro Clean Boost", "Pro Lead" },
    };

    return programs;
}

const FactoryPresets::Preset* FactoryPresets::find (const juce::String& name)
{
    for (const auto& preset : presets)
        if (name.trim().equalsIgnoreCase (preset.name))
            return &preset;

    return nullptr;
}

std::array<float, 8> FactoryPresets::getValues (const Preset& preset)
{
    std::array<float, 8> values {};
    values[HostParameters::onBypass] = preset.on ? 1.0f : 0.0f;
    values[HostParameters::inputVol] = preset.inputVol;
    values[HostParameters::overdriveType] = HostParameters::getModelValue (preset.circuit);
    values[HostParameters::overdrive] = preset.overdrive;
    values[HostParameters::tone] = preset.tone;
    values[HostParameters::level] = preset.level;
    values[HostParameters::dryWet] = preset.dryWet;
    values[HostParameters::oversampling] = HostParameters::getOversamplingValue (preset.oversamplingIndex);
    return values;
}

std::unique_ptr<juce::XmlElement> FactoryPresets::createDocument (const Preset& preset)
{
    auto document = std::make_unique<juce::XmlElement> (PatchDocument::rootTag);
    PatchDocument::writeValues (PatchDocument::writeHeader (*document), getValues (preset));
    return document;
}

juce::String FactoryPresets::getRelativePath (const Preset& preset)
{
    return PresetPath::canonical (juce::String (folderName) + "/" + preset.folder + "/" + preset.name + ProductInfo::presetExtension);
}

juce::Result FactoryPresets::install (const juce::File& presetFolder)
{
    const auto factory = presetFolder.getChildFile (folderName);

    if (factory.exists())
        return juce::Result::ok();

    if (const auto created = presetFolder.createDirectory(); created.failed())
        return created;

    const auto staging = presetFolder.getChildFile (".Factory.partial").getNonexistentSibling (false);
    auto result = staging.createDirectory();

    for (const auto& preset : presets)
    {
        if (result.failed())
            break;

        const auto file = PresetPath::resolve (staging, getRelativePath (preset).fromFirstOccurrenceOf ("\\", false, false));
        result = file.getParentDirectory().createDirectory();

        if (result.wasOk())
            result = PresetFileWriter::write (*createDocument (preset), file);
    }

    // Another instance may have installed them meanwhile: its files stay.
    if (result.wasOk() && ! factory.exists() && ! staging.moveFileTo (factory))
        result = juce::Result::fail ("The folder could not be renamed.");

    staging.deleteRecursively();
    return result;
}

juce::String FactoryPresets::installOnEditorOpen (const juce::File& presetFolder)
{
    static std::atomic<bool> failureReported { false };
    const auto result = install (presetFolder);

    if (result.wasOk() || failureReported.exchange (true))
        return {};

    return "Couldn't write the factory presets to\n\"" + presetFolder.getChildFile (folderName).getFullPathName() + "\"\n\n" + result.getErrorMessage();
}
