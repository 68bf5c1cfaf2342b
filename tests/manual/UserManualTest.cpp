#include "processor/FactoryPresets.h"
#include "processor/HostParameters.h"
#include "processor/ProductInfo.h"
#include "processor/ProgramBank.h"
#include "processor/UserFolders.h"
#include "processor/VardekoQX2710AudioProcessor.h"

#include "TemporaryHome.h"

#include <gtest/gtest.h>
#include <juce_core/juce_core.h>

#include <cstdlib>

namespace
{
juce::String readManualSource()
{
    return juce::File (VARDEKO_MANUAL_SOURCE).loadFileAsString();
}

// Where the FILE menu's "User Manual" entry looks for the manual.
juce::File manualFileInDocuments()
{
    return UserFolders::getUserManualFile();
}

// The documents folder's path below it, with forward slashes, as the manual writes it.
juce::String pathBelowDocuments (const juce::File& file)
{
    const auto documents = juce::File::getSpecialLocation (juce::File::userDocumentsDirectory);
    return file.getRelativePathFrom (documents).replaceCharacter ('\\', '/');
}

int runInstallScript (const juce::File& pdf)
{
    const auto command = juce::String ("\"") + VARDEKO_INSTALL_MANUAL_SCRIPT + "\" \"" + pdf.getFullPathName() + "\" > /dev/null";
    return std::system (command.toRawUTF8());
}
} // namespace

// The manual is written by hand; these tie it to what the plug-in really calls things, so a
// renamed parameter, circuit or step shows up here rather than in a user's e-mail.
TEST (UserManual, NamesEveryParameterCircuitAndStepAsTheHostShowsThem)
{
    const auto manual = readManualSource();
    ASSERT_TRUE (manual.isNotEmpty());

    for (int index = 0; index < HostParameters::numParameters; ++index)
    {
        SCOPED_TRACE (index);
        EXPECT_TRUE (manual.contains ("| " + HostParameters::getName (index) + " |"));

        for (int step = 0; step < HostParameters::getNumSteps (index); ++step)
            EXPECT_TRUE (manual.contains (HostParameters::getText (index, HostParameters::getStepValue (index, step))))
                << HostParameters::getText (index, HostParameters::getStepValue (index, step));
    }

    // The ends of every continuous range, as the host writes them.
    for (const int index : { 1, 3, 4, 5, 6 })
    {
        EXPECT_TRUE (manual.contains (HostParameters::getText (index, 0.0f) + " to " + HostParameters::getText (index, 1.0f)))
            << HostParameters::getName (index);
    }

    for (int model = 0; model < HostParameters::numModels; ++model)
        EXPECT_TRUE (manual.contains ("**" + HostParameters::getModelName (model) + "**")) << HostParameters::getModelName (model);
}

TEST (UserManual, DescribesTheFactoryPresetsThatAreInstalled)
{
    const auto manual = readManualSource();
    const auto& presets = FactoryPresets::getPresets();

    EXPECT_TRUE (manual.contains (juce::String ((int) presets.size()) + " factory presets"));
    EXPECT_TRUE (manual.contains ("\"" + juce::String (FactoryPresets::folderName) + "\""));

    // Every preset is "<circuit> <kind>", and every kind is named.
    for (const auto& preset : presets)
    {
        const auto kind = juce::String (preset.name).fromFirstOccurrenceOf (" ", false, false);
        EXPECT_TRUE (manual.contains (kind)) << preset.name;
    }
}

TEST (UserManual, GivesTheFoldersVersionAndAddressesThePluginUses)
{
    const auto manual = readManualSource();

    EXPECT_TRUE (manual.contains ("`" + pathBelowDocuments (UserFolders::getPresetFolder()) + "`"));
    EXPECT_TRUE (manual.contains ("`" + pathBelowDocuments (manualFileInDocuments()) + "`"));
    EXPECT_TRUE (manual.contains (ProductInfo::presetExtension));
    EXPECT_TRUE (manual.contains (juce::URL (ProductInfo::website).getDomain()));
    // The about screen's version text; the build puts in the version.
    EXPECT_TRUE (manual.contains ("\"@VERSION@ (64bit)\""));
}

// scripts/install-manual must put the manual exactly where the plug-in opens it, with and without
// a personal documents folder configured, and replace an older copy.
TEST (UserManual, InstallScriptPutsTheManualWhereThePluginLooks)
{
    struct Case
    {
        const char* name;
        const char* userDirs; // content of ~/.config/user-dirs.dirs, nullptr for none
        const char* existingFolder; // below HOME, created before installing
    };

    const Case cases[] = {
        { "no user-dirs file", nullptr, nullptr },
        { "documents folder configured", "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n  XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"\n", "Dokumente" },
        { "configured folder missing", "XDG_DOCUMENTS_DIR=\"$HOME/Missing\"\n", nullptr },
        { "absolute path with spaces", "XDG_DOCUMENTS_DIR=\"@HOME@/My Documents\"\n", "My Documents" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        TemporaryHome home;

        if (c.existingFolder != nullptr)
            home.getFolder().getChildFile (c.existingFolder).createDirectory();

        if (c.userDirs != nullptr)
        {
            const auto file = home.getFolder().getChildFile (".config/user-dirs.dirs");
            file.getParentDirectory().createDirectory();
            file.replaceWithText (juce::String (c.userDirs).replace ("@HOME@", home.getFolder().getFullPathName()));
        }

        const auto pdf = home.getFolder().getChildFile ("new.pdf");

        for (const auto* content : { "%PDF-1.7 old", "%PDF-1.7 newer and longer" })
        {
            pdf.replaceWithText (content);
            ASSERT_EQ (runInstallScript (pdf), 0);

            const auto installed = manualFileInDocuments();
            EXPECT_TRUE (installed.isAChildOf (home.getFolder())) << installed.getFullPathName();
            EXPECT_EQ (installed.loadFileAsString(), juce::String (content)) << installed.getFullPathName();
        }

        // Nothing half-copied is left beside it.
        EXPECT_EQ (manualFileInDocuments().getParentDirectory().getNumberOfChildFiles (juce::File::findFilesAndDirectories | juce::File::ignoreHiddenFiles, "*"), 1);
        EXPECT_EQ (manualFileInDocuments().getParentDirectory().getNumberOfChildFiles (juce::File::findFilesAndDirectories, ".*"), 0);
    }
}
