#include "ProcessorTestHelpers.h"
#include "ScopedFileSizeLimit.h"
#include "TemporaryPresetFolder.h"

#include "cli/DemoRiff.h"
#include "processor/FactoryPresets.h"
#include "presets/MolvekVardekoQX2710PresetMenu.h"
#include "processor/HostParameters.h"
#include "processor/PatchDocumentReader.h"
#include "processor/ProgramDocuments.h"

#include <set>

TEST (FactoryPresets, CoverEveryCircuitWithUniqueNames)
{
    const auto& presets = FactoryPresets::getPresets();
    ASSERT_GE (presets.size(), 10u);

    std::set<int> circuits;
    std::set<juce::String> names;

    for (const auto& preset : presets)
    {
        circuits.insert (preset.circuit);
        EXPECT_TRUE (names.insert (juce::String (preset.name).toLowerCase()).second) << preset.name;
        EXPECT_EQ (juce::File::createLegalFileName (preset.name), juce::String (preset.name));
        EXPECT_EQ (FactoryPresets::find (juce::String (preset.name).toUpperCase()), &preset);
        EXPECT_TRUE (FactoryPresets::getRelativePath (preset).startsWith ("Factory\\"));

        for (const auto v : FactoryPresets::getValues (preset))
            EXPECT_TRUE (v >= 0.0f && v <= 1.0f) << preset.name;
    }

    EXPECT_EQ (circuits.size(), (size_t) HostParameters::numModels);
    EXPECT_EQ (FactoryPresets::find ("No Such Preset"), nullptr);
}

TEST (FactoryPresets, AreWrittenOnceAndReadBackAsTheirValues)
{
    TemporaryPresetFolder folder;
    const auto factory = folder.getRoot().getChildFile ("Factory");
    folder.getRoot().deleteRecursively();

    ASSERT_TRUE (FactoryPresets::install (folder.getRoot()).wasOk()) << "the preset folder is created too";

    MolvekVardekoQX2710PresetMenu menu ("presetMenu_");
    menu.setRootFolder (folder.getRoot().getFullPathName());
    menu.setFilePattern ("*.mvkp");
    menu.rescan();
    EXPECT_EQ (menu.getNextId() - 1, (int) FactoryPresets::getPresets().size());
    EXPECT_EQ (folder.getRoot().getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1) << "only Factory, no staging folder";

    for (const auto& preset : FactoryPresets::getPresets())
    {
        VardekoQX2710AudioProcessor processor;
        ASSERT_EQ (menu.loadPreset (&processor, FactoryPresets::getRelativePath (preset)), ProgramDocuments::presetLoaded) << preset.name;

        const auto expected = FactoryPresets::getValues (preset);

        for (int k = 0; k < HostParameters::numParameters; ++k)
            EXPECT_NEAR (ProcessorTest::getValue (processor, k), expected[(size_t) k], 1e-5f) << preset.name << " " << k;
    }

    // Edited and deleted files stay as the user left them.
    const auto first = factory.getChildFile (FactoryPresets::getRelativePath (FactoryPresets::getPresets().front()).fromFirstOccurrenceOf ("\\", false, false).replaceCharacter ('\\', '/'));
    ASSERT_TRUE (first.existsAsFile());
    first.replaceWithText ("edited");
    const auto second = factory.getChildFile (FactoryPresets::getRelativePath (FactoryPresets::getPresets().back()).fromFirstOccurrenceOf ("\\", false, false).replaceCharacter ('\\', '/'));
    ASSERT_TRUE (second.deleteFile());

    EXPECT_TRUE (FactoryPresets::install (folder.getRoot()).wasOk());
    EXPECT_EQ (first.loadFileAsString(), "edited");
    EXPECT_FALSE (second.exists());
}

TEST (FactoryPresets, AnExistingFactoryFolderIsNeverTouched)
{
    TemporaryPresetFolder folder;
    folder.addFolder ("Factory");
    folder.addFile ("Factory/Pro Overdrive/Pro Crunch.mvkp", "mine");

    EXPECT_TRUE (FactoryPresets::install (folder.getRoot()).wasOk());
    EXPECT_EQ (folder.getRoot().getChildFile ("Factory/Pro Overdrive/Pro Crunch.mvkp").loadFileAsString(), "mine");
    EXPECT_EQ (folder.getRoot().getChildFile ("Factory").findChildFiles (juce::File::findFiles, true).size(), 1);
}

TEST (FactoryPresets, AFailureIsReportedOnceAndLeavesNothingBehind)
{
    TemporaryPresetFolder folder;

    // A file where the preset folder should be: nothing can be written below it.
    folder.getRoot().deleteRecursively();
    folder.getRoot().replaceWithText ("in the way");

    const auto result = FactoryPresets::install (folder.getRoot());
    EXPECT_TRUE (result.failed());
    EXPECT_EQ (folder.getRoot().loadFileAsString(), "in the way");

    const auto firstMessage = FactoryPresets::installOnEditorOpen (folder.getRoot());
    EXPECT_TRUE (firstMessage.startsWith ("Couldn't write the factory presets to")) << firstMessage;
    EXPECT_TRUE (firstMessage.contains (folder.getRoot().getChildFile ("Factory").getFullPathName()));
    EXPECT_EQ (FactoryPresets::installOnEditorOpen (folder.getRoot()), "") << "once per process";

    // A disk that fills up halfway: the partial folder goes again, so the next opening retries.
    folder.getRoot().deleteFile();
    folder.getRoot().createDirectory();
    auto full = juce::Result::ok();

    {
        const ScopedFileSizeLimit fullDisk (200);
        ASSERT_TRUE (fullDisk.isActive());
        full = FactoryPresets::install (folder.getRoot());
    }

    EXPECT_TRUE (full.failed());
    EXPECT_EQ (folder.getRoot().getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
    EXPECT_TRUE (FactoryPresets::install (folder.getRoot()).wasOk());
    EXPECT_TRUE (folder.getRoot().getChildFile ("Factory").isDirectory());
}

TEST (FactoryPresets, DocumentsPassTheFileReader)
{
    for (const auto& preset : FactoryPresets::getPresets())
    {
        const auto text = FactoryPresets::createDocument (preset)->toString();
        const auto read = PatchDocumentReader::fromFileContents (text.toRawUTF8(), text.getNumBytesAsUTF8());
        ASSERT_NE (read.document, nullptr) << preset.name << ": " << read.problem;
    }
}

// The presets' levels were set by ear and by measurement on the demo riff: every preset must
// stay clear of full scale and near the riff's loudness, so a change elsewhere that turns one
// into a clipping or a silent preset is caught.
TEST (FactoryPresets, SoundAtSensibleLevelsOnTheDemoRiff)
{
    const auto riff = DemoRiff::render (48000.0);
    const auto skip = 4800; // the start-up fade

    for (const auto& preset : FactoryPresets::getPresets())
    {
        VardekoQX2710AudioProcessor processor;
        ProcessorTest::setLayout (processor, 1, 1);
        ASSERT_EQ (processor.loadPatchDocument (FactoryPresets::createDocument (preset), true), ProgramDocuments::presetLoaded);
        processor.prepareToPlay (48000.0, 512);

        const auto output = ProcessorTest::process (processor, riff, 512);
        ASSERT_TRUE (ProcessorTest::allFinite (output)) << preset.name;

        const auto peak = juce::Decibels::gainToDecibels (output.getMagnitude (0, skip, output.getNumSamples() - skip));
        const auto rms = juce::Decibels::gainToDecibels (output.getRMSLevel (0, skip, output.getNumSamples() - skip));
        EXPECT_LT (peak, -3.0f) << preset.name;
        EXPECT_GT (rms, -27.0f) << preset.name;
        EXPECT_LT (rms, -15.0f) << preset.name;
    }
}
