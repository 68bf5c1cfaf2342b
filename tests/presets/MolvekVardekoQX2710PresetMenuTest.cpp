#include "JuceGuiTest.h"
#include "ProcessorTestHelpers.h"
#include "ScopedFileSizeLimit.h"
#include "TemporaryPresetFolder.h"

#include "presets/MolvekVardekoQX2710PresetMenu.h"
#include "processor/HostParameters.h"
#include "processor/ProgramDocuments.h"

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
