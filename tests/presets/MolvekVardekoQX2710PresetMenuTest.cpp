#include "JuceGuiTest.h"
#include "ProcessorTestHelpers.h"
#include "ScopedFifo.h"
#include "ScopedFileSizeLimit.h"
#include "TemporaryPresetFolder.h"

#include "presets/MolvekVardekoQX2710PresetMenu.h"
#include "processor/HostParameters.h"
#include "processor/ProgramDocuments.h"

#include <sys/stat.h>
#include <unistd.h>

namespace
{
class MolvekVardekoQX2710PresetMenuTest : public JuceGuiTest
{
protected:
    void SetUp() override
    {
        menu.setRootFolder (folder.getRoot().getFullPathName());
        menu.setFilePattern ("*.mvkp");
    }

    float value (int index) { return ProcessorTest::getValue (processor, index); }

    TemporaryPresetFolder folder;
    VardekoQX2710AudioProcessor processor;
    MolvekVardekoQX2710PresetMenu menu { "presetMenu_" };
};
} // namespace

TEST_F (MolvekVardekoQX2710PresetMenuTest, TheMarkerFollowsTheFile)
{
    folder.addPreset ("Clean.mvkp");

    menu.setCurrentItem ("Init.mvkp");
    EXPECT_EQ (menu.getText(), "Init*") << "a first start: no Init.mvkp";
    EXPECT_TRUE (menu.isModified());

    menu.setCurrentItem ("Clean.mvkp");
    EXPECT_EQ (menu.getText(), "Clean");
    EXPECT_FALSE (menu.isModified());

    menu.markModified();
    menu.markModified();
    EXPECT_EQ (menu.getText(), "Clean*") << "one marker only";

    menu.selectItem (1);
    EXPECT_EQ (menu.getText(), "Clean");
    EXPECT_FALSE (menu.isModified());

    menu.markModified();
    menu.chooseFromMenu (*menu.getListing(), 1);
    EXPECT_EQ (menu.getText(), "Clean");
    EXPECT_FALSE (menu.isModified());

    menu.setModified (true);
    EXPECT_EQ (menu.getText(), "Clean") << "the flag alone leaves the text";
}

TEST_F (MolvekVardekoQX2710PresetMenuTest, CheckModifiedComparesTheFileWithTheLiveValues)
{
    folder.addPreset ("Clean.mvkp");
    menu.setCurrentItem ("Clean.mvkp");

    menu.checkModified (&processor);
    EXPECT_EQ (menu.getText(), "Clean") << "the defaults, as saved";

    ProcessorTest::setValue (processor, HostParameters::tone, 0.8f);
    menu.checkModified (nullptr);
    EXPECT_EQ (menu.getText(), "Clean");
    menu.checkModified (&processor);
    EXPECT_EQ (menu.getText(), "Clean*");

    menu.setCurrentItem ("Missing.mvkp");
    menu.setModified (false);
    menu.setText ("Missing", juce::dontSendNotification);
    menu.checkModified (&processor);
    EXPECT_EQ (menu.getText(), "Missing") << "no file, nothing to compare";
}

TEST_F (MolvekVardekoQX2710PresetMenuTest, LoadPresetAnswersWhatTheProcessorDid)
{
    folder.addPreset ("Crunch/Warm.mvkp", { { HostParameters::overdrive, 0.8f } });
    folder.addFile ("Other.mvkp", "<molvekPatch version=\"1.0\"><DeviceName>X</DeviceName><Properties deviceProductID=\"com.example.other\"/></molvekPatch>");
    folder.addFile ("Newer.mvkp", "<molvekPatch version=\"1.0\"><DeviceName>X</DeviceName><Properties deviceProductID=\"com.molvek.VardekoQX2710\" deviceVersion=\"2.0.0\" presetVersion=\"1.1\"><Value property=\"tone\" type=\"number\">0.25000</Value></Properties></molvekPatch>");
    folder.addFile ("Garbage.mvkp", "<!DOCTYPE x [<!ENTITY a \"b\">]><molvekPatch/>");
    folder.getBase().getChildFile ("Outside.mvkp").replaceWithText (folder.getRoot().getChildFile ("Crunch/Warm.mvkp").loadFileAsString());

    menu.setCurrentItem ("Init.mvkp");
    const auto textBefore = menu.getText();

    EXPECT_EQ (menu.loadPreset (&processor, "Crunch/Warm.mvkp"), ProgramDocuments::presetLoaded);
    EXPECT_FLOAT_EQ (value (HostParameters::overdrive), 0.8f);
    EXPECT_EQ (menu.getText(), textBefore) << "loading leaves the name to the caller";

    EXPECT_EQ (menu.loadPreset (&processor, folder.getRoot().getChildFile ("Crunch/Warm.mvkp").getFullPathName()), ProgramDocuments::presetLoaded);
    EXPECT_EQ (menu.loadPreset (&processor, "Other.mvkp"), ProgramDocuments::presetOfOtherProduct);
    EXPECT_EQ (menu.loadPreset (&processor, "Newer.mvkp"), ProgramDocuments::presetFromNewerVersion);
    EXPECT_FLOAT_EQ (value (HostParameters::tone), 0.25f);

    ProcessorTest::setValue (processor, HostParameters::overdrive, 0.3f);

    for (const auto* path : { "Garbage.mvkp", "Missing.mvkp", "", "Crunch", "..\\Outside.mvkp", "../../../../Outside.mvkp" })
        EXPECT_EQ (menu.loadPreset (&processor, path), ProgramDocuments::presetUnreadable) << path;

    EXPECT_EQ (menu.loadPreset (&processor, folder.getBase().getChildFile ("Outside.mvkp").getFullPathName()), ProgramDocuments::presetUnreadable);
    EXPECT_EQ (menu.loadPreset (nullptr, "Crunch/Warm.mvkp"), ProgramDocuments::presetUnreadable);
    EXPECT_FLOAT_EQ (value (HostParameters::overdrive), 0.3f) << "nothing outside the folder was read";
}

TEST_F (MolvekVardekoQX2710PresetMenuTest, SavingIntoANewSubfolderCreatesItAndTicksTheFile)
{
    ProcessorTest::setValue (processor, HostParameters::level, 0.7f);
    folder.addPreset ("a.mvkp");

    ASSERT_TRUE (menu.savePreset (&processor, "Crunch/Deeper/New.mvkp").wasOk());

    const auto file = folder.getRoot().getChildFile ("Crunch/Deeper/New.mvkp");
    ASSERT_TRUE (file.existsAsFile());
    EXPECT_EQ (menu.getCurrentItem(), "Crunch\\Deeper\\New.mvkp");
    EXPECT_EQ (menu.getText(), "New");
    EXPECT_EQ (menu.getCurrentId(), 1);
    EXPECT_FALSE (menu.isModified());

    // What is on disk is what the processor writes, and reads back as the live values.
    juce::XmlElement expected (PatchDocument::rootTag);
    processor.createPatchDocument (expected, true);
    EXPECT_EQ (file.loadFileAsString(), expected.toString());
    EXPECT_TRUE (menu.loadPreset (&processor, "Crunch/Deeper/New.mvkp") == ProgramDocuments::presetLoaded);
    EXPECT_FLOAT_EQ (value (HostParameters::level), 0.7f);

    // No temporary files are left beside it.
    EXPECT_EQ (file.getParentDirectory().getNumberOfChildFiles (juce::File::findFilesAndDirectories | juce::File::ignoreHiddenFiles), 1);
    EXPECT_EQ (file.getParentDirectory().getNumberOfChildFiles (juce::File::findFilesAndDirectories), 1);

    ASSERT_TRUE (menu.savePreset (&processor, file.getFullPathName()).wasOk()) << "a full path inside the folder";
}

TEST_F (MolvekVardekoQX2710PresetMenuTest, AFailedWriteChangesNothingAndSaysWhy)
{
    const auto existing = folder.addPreset ("Clean.mvkp");
    const auto before = existing.loadFileAsString();
    folder.addFolder ("Folder.mvkp/inside");
    folder.addFile ("NotAFolder", "x");
    menu.setCurrentItem ("Clean.mvkp");
    menu.markModified();
    processor.setCurrentPresetPath ("Clean.mvkp");
    ProcessorTest::setValue (processor, HostParameters::tone, 0.9f);

    for (const auto* path : { "Folder.mvkp", "NotAFolder/x.mvkp", "../../Escape.mvkp", "", "/tmp/Absolute.mvkp" })
    {
        const auto result = menu.savePreset (&processor, path);
        EXPECT_TRUE (result.failed()) << path;
        EXPECT_TRUE (result.getErrorMessage().isNotEmpty()) << path;
        EXPECT_EQ (menu.getText(), "Clean*") << path;
        EXPECT_EQ (menu.getCurrentItem(), "Clean.mvkp") << path;
        EXPECT_TRUE (menu.isModified()) << path;
    }

    EXPECT_FALSE (folder.getBase().getChildFile ("Escape.mvkp").exists());
    EXPECT_EQ (existing.loadFileAsString(), before);
    EXPECT_EQ (processor.getCurrentPresetPath(), "Clean.mvkp");
    EXPECT_TRUE (menu.savePreset (nullptr, "Clean.mvkp").failed());
}

TEST_F (MolvekVardekoQX2710PresetMenuTest, AFullDiskLeavesTheOldFileWhole)
{
    const auto existing = folder.addPreset ("Clean.mvkp");
    const auto before = existing.loadFileAsString();
    menu.setCurrentItem ("Clean.mvkp");
    ProcessorTest::setValue (processor, HostParameters::tone, 0.9f);

    auto result = juce::Result::ok();
    auto fresh = juce::Result::ok();

    {
        const ScopedFileSizeLimit fullDisk (200);
        ASSERT_TRUE (fullDisk.isActive());
        result = menu.savePreset (&processor, "Clean.mvkp");
        fresh = menu.savePreset (&processor, "Fresh.mvkp");
    }

    EXPECT_EQ (result.getErrorMessage(), "The disk is full.");
    EXPECT_EQ (fresh.getErrorMessage(), "The disk is full.");
    EXPECT_EQ (existing.loadFileAsString(), before);
    EXPECT_FALSE (folder.getRoot().getChildFile ("Fresh.mvkp").exists());
    EXPECT_EQ (folder.getRoot().getNumberOfChildFiles (juce::File::findFiles), 1) << "no partial file left";
    EXPECT_EQ (menu.getText(), "Clean");
}

TEST_F (MolvekVardekoQX2710PresetMenuTest, AReadOnlyFolderIsReported)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";

    const auto locked = folder.addFolder ("Locked");
    ASSERT_TRUE (locked.setReadOnly (true));
    const auto result = menu.savePreset (&processor, "Locked/x.mvkp");
    locked.setReadOnly (false);

    EXPECT_TRUE (result.failed());
    EXPECT_FALSE (locked.getChildFile ("x.mvkp").exists());
}

//==============================================================================
// Preset folders as a damaged disk or another program may leave them.
TEST_F (MolvekVardekoQX2710PresetMenuTest, AFifoAmongThePresetsIsNeverWaitedFor)
{
#if JUCE_WINDOWS
    GTEST_SKIP() << "no FIFOs in folders on Windows";
#else
    ScopedFifo fifo (folder.getRoot().getChildFile ("x.mvkp"));
    ASSERT_TRUE (fifo.exists());
    ProcessorTest::setValue (processor, HostParameters::tone, 0.8f);

    const auto loaded = fifo.finishesWithin (5000, [this]
                                             { return menu.loadPreset (&processor, "x.mvkp"); });
    ASSERT_TRUE (loaded.has_value()) << "loading waited for a writer";
    EXPECT_EQ (*loaded, ProgramDocuments::presetUnreadable);
    EXPECT_FLOAT_EQ (value (HostParameters::tone), 0.8f);

    // The window's refresh of a current preset that names it.
    menu.setCurrentItem ("x.mvkp");
    const auto checked = fifo.finishesWithin (5000, [this]
                                              {
                                                  menu.checkModified (&processor);
                                                  return true; });
    EXPECT_TRUE (checked.has_value()) << "the refresh waited for a writer";
#endif
}

TEST_F (MolvekVardekoQX2710PresetMenuTest, SavesLandWhereTheyReallyGoAndKeepTheFilesMode)
{
#if JUCE_WINDOWS
    GTEST_SKIP() << "symbolic links need privileges on Windows";
#else
    const auto outside = folder.getBase().getChildFile ("Elsewhere");
    outside.createDirectory();
    const auto outsidePreset = outside.getChildFile ("Theirs.mvkp");
    ASSERT_TRUE (outsidePreset.replaceWithText ("theirs"));
    ASSERT_TRUE (outside.createSymbolicLink (folder.getRoot().getChildFile ("Out"), true));
    ASSERT_TRUE (outsidePreset.createSymbolicLink (folder.getRoot().getChildFile ("Escape.mvkp"), true));

    const auto real = folder.addPreset ("Real/Clean.mvkp");
    ASSERT_TRUE (real.createSymbolicLink (folder.getRoot().getChildFile ("Alias.mvkp"), true));
    const auto privatePreset = folder.addPreset ("Private.mvkp");
    ASSERT_EQ (::chmod (real.getFullPathName().toRawUTF8(), 0600), 0);
    ASSERT_EQ (::chmod (privatePreset.getFullPathName().toRawUTF8(), 0600), 0);
    ProcessorTest::setValue (processor, HostParameters::level, 0.7f);

    const auto modeOf = [] (const juce::File& f)
    {
        struct stat info = {};
        return ::stat (f.getFullPathName().toRawUTF8(), &info) == 0 ? (int) (info.st_mode & 07777) : -1;
    };

    // Through a folder or a preset that links out of the preset folder: refused, nothing written.
    for (const auto* path : { "Out/New.mvkp", "Out/Theirs.mvkp", "Escape.mvkp" })
    {
        const auto saved = menu.savePreset (&processor, path);
        EXPECT_TRUE (saved.failed()) << path;
        EXPECT_TRUE (saved.getErrorMessage().contains ("inside the preset folder")) << path;
    }

    EXPECT_FALSE (outside.getChildFile ("New.mvkp").exists());
    EXPECT_EQ (outsidePreset.loadFileAsString(), "theirs");
    EXPECT_TRUE (folder.getRoot().getChildFile ("Escape.mvkp").isSymbolicLink());

    // A link to a preset inside: written through to it, the link kept, the mode kept.
    ASSERT_TRUE (menu.savePreset (&processor, "Alias.mvkp").wasOk());
    EXPECT_TRUE (folder.getRoot().getChildFile ("Alias.mvkp").isSymbolicLink());
    EXPECT_TRUE (real.loadFileAsString().contains ("0.70000"));
    EXPECT_EQ (modeOf (real), 0600);
    EXPECT_EQ (menu.getCurrentItem(), "Alias.mvkp");

    ASSERT_TRUE (menu.savePreset (&processor, "Private.mvkp").wasOk());
    EXPECT_EQ (modeOf (privatePreset), 0600);
    EXPECT_TRUE (privatePreset.loadFileAsString().contains ("0.70000"));

    // A name that its stored path could not find again.
    const juce::File backslashed (folder.getRoot().getFullPathName() + "/back\\slash7.mvkp");
    EXPECT_TRUE (menu.savePreset (&processor, backslashed.getFullPathName()).failed());
    EXPECT_FALSE (backslashed.exists());
#endif
}
