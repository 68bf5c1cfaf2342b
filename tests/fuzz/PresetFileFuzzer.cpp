// Preset files: any bytes read as a preset and applied as the preset menu does, and every so
// often through a real file, the renderer's preset loader and as the Standalone app's settings
// file (whose values the framework parses again when asked for XML).
#include "FuzzProcessor.h"
#include "cli/ProcessorSetup.h"
#include "processor/PatchDocumentReader.h"
#include "processor/StandaloneSettings.h"

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    auto& processor = FuzzProcessor::get();

    if (auto read = PatchDocumentReader::fromFileContents (data, size); read.document != nullptr)
    {
        const auto result = processor.loadPatchDocument (std::move (read.document), true);
        FuzzProcessor::check (result == 0 || result == 1 || result == 2 || result == 4, "a preset result");
    }
    else
    {
        FuzzProcessor::check (read.problem.isNotEmpty(), "a refused document has a reason");
    }

    FuzzProcessor::processAndCheck (processor);

    if (FuzzProcessor::isRoundTripDue())
    {
        static const juce::TemporaryFile file (".mvkp");
        file.getFile().replaceWithData (data, size);

        if (auto again = PatchDocumentReader::fromFile (file.getFile()); again.document != nullptr)
            processor.presetDiffers (std::move (again.document));

        juce::StringArray warnings;
        ProcessorSetup::loadPreset (processor, file.getFile(), warnings);
        FuzzProcessor::roundTripNow (processor);

        // Last: a refused settings file is moved aside.
        StandaloneSettings settings (file.getFile());
        FuzzProcessor::check (settings.getRefusedFile() == juce::File() || settings.getProblem().isNotEmpty(), "a refused settings file has a reason");

        for (const auto& key : settings.getAllProperties().getAllKeys())
            settings.getXmlValue (key);
    }

    return 0;
}
