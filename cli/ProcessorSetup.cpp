#include "cli/ProcessorSetup.h"

#include "processor/FactoryPresets.h"
#include "processor/PatchDocumentReader.h"
#include "processor/PresetPath.h"
#include "processor/UserFolders.h"
#include "processor/VardekoQX2710AudioProcessor.h"

RenderStatus ProcessorSetup::loadPreset (VardekoQX2710AudioProcessor& processor, const juce::File& file, juce::StringArray& warnings)
{
    const auto path = file.getFullPathName();

    if (! file.existsAsFile())
        return RenderStatus::failure ("preset file not found: " + path);

    auto read = PatchDocumentReader::fromFile (file);

    if (read.document == nullptr)
        return RenderStatus::failure ("not a preset file (" + read.problem + "): " + path);

    // As in the preset menu, a preset that was applied becomes the current one (the
    // newer-version message names it); a refused one leaves the current preset as it was.
    const auto folder = UserFolders::getPresetFolder();
    const auto result = processor.loadPatchDocument (std::move (read.document), true);

    if (result == ProgramDocuments::presetLoaded || result == ProgramDocuments::presetFromNewerVersion)
        processor.setCurrentPresetPath (PresetPath::isInside (folder, file) ? PresetPath::relativeTo (folder, file) : path);

    switch (result)
    {
        case ProgramDocuments::presetLoaded:
            return RenderStatus::ok();

        case ProgramDocuments::presetFromNewerVersion:
            warnings.add ("warning: " + processor.getNewerVersionMessage().replace ("\n", " "));
            return RenderStatus::ok();

        case ProgramDocuments::presetOfOtherProduct:
            return RenderStatus::failure ("preset of another product: " + path);

        default:
            return RenderStatus::failure ("not a preset file: " + path);
    }
}

RenderStatus ProcessorSetup::loadFactoryPreset (VardekoQX2710AudioProcessor& processor, const juce::String& name)
{
    const auto* preset = FactoryPresets::find (name);

    if (preset == nullptr)
        return RenderStatus::failure ("unknown factory preset: " + name);

    processor.setCurrentPresetPath (FactoryPresets::getRelativePath (*preset));
    processor.loadPatchDocument (FactoryPresets::createDocument (*preset), true);
    return RenderStatus::ok();
}

RenderStatus ProcessorSetup::apply (VardekoQX2710AudioProcessor& processor, const RenderOptions& options, juce::StringArray& warnings)
{
    if (options.preset != juce::File())
        if (const auto status = loadPreset (processor, options.preset, warnings); status.failed())
            return status;

    if (options.factoryPreset.isNotEmpty())
        if (const auto status = loadFactoryPreset (processor, options.factoryPreset); status.failed())
            return status;

    if (options.circuit.has_value())
        processor.setParameter (HostParameters::overdriveType, RenderOptions::circuitValue (*options.circuit));

    if (options.oversamplingIndex.has_value())
        processor.setParameter (HostParameters::oversampling, RenderOptions::oversamplingValue (*options.oversamplingIndex));

    for (const auto& [index, value] : options.parameters)
        processor.setParameter (index, value);

    return RenderStatus::ok();
}
