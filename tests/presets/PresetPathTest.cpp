#include "TemporaryPresetFolder.h"

#include "processor/PresetPath.h"

#include <gtest/gtest.h>

TEST (PresetPath, StoresBackslashesAndReadsBothSeparators)
{
    EXPECT_EQ (PresetPath::canonical ("Crunch/Warm.mvkp"), "Crunch\\Warm.mvkp");
    EXPECT_EQ (PresetPath::canonical ("Crunch\\Warm.mvkp"), "Crunch\\Warm.mvkp");

    const juce::File root ("/presets/VardekoQX2710");
    const auto expected = root.getChildFile ("Crunch").getChildFile ("Warm.mvkp");

    for (const auto* path : { "Crunch/Warm.mvkp", "Crunch\\Warm.mvkp", "Crunch//Warm.mvkp", "Crunch\\.\\Warm.mvkp" })
        EXPECT_EQ (PresetPath::resolve (root, path), expected) << path;

    EXPECT_EQ (PresetPath::relativeTo (root, expected), "Crunch\\Warm.mvkp");
}

TEST (PresetPath, NothingOutsideThePresetFolderIsResolved)
{
    const juce::File root ("/presets/VardekoQX2710");

    for (const auto* path : { "", "..\\..\\f.mvkp", "../f.mvkp", "Crunch/../../f.mvkp", "Crunch/../Warm.mvkp", "/etc/passwd", "\\f.mvkp", ".." })
        EXPECT_EQ (PresetPath::resolve (root, path), juce::File()) << path;

    EXPECT_EQ (PresetPath::resolve (juce::File(), "Warm.mvkp"), juce::File());
    EXPECT_EQ (PresetPath::relativeTo (root, juce::File ("/presets/f.mvkp")), "");
}

TEST (PresetPath, SiblingFoldersThatContinueTheNameAreOutside)
{
    const juce::File root ("/docs/Molvek/Presets/VardekoQX2710");

    for (const auto* sibling : { "VardekoQX2710_old", "VardekoQX2710-old", "VardekoQX2710.bak", "VardekoQX2710 2", "VardekoQX27100" })
        EXPECT_FALSE (PresetPath::isInside (root, root.getSiblingFile (sibling).getChildFile ("Clean.mvkp"))) << sibling;

    EXPECT_TRUE (PresetPath::isInside (root, root.getChildFile ("Clean.mvkp")));
    EXPECT_TRUE (PresetPath::isInside (root, root.getChildFile ("A").getChildFile ("B").getChildFile ("Clean.mvkp")));
    EXPECT_FALSE (PresetPath::isInside (root, root));
    EXPECT_FALSE (PresetPath::isInside (root, root.getParentDirectory()));
}

TEST (PresetPath, DisplayNameIsTheLastElementWithoutItsExtension)
{
    EXPECT_EQ (PresetPath::displayName ("Crunch\\Warm.mvkp"), "Warm");
    EXPECT_EQ (PresetPath::displayName ("Crunch/Lead.live.mvkp"), "Lead.live");
    EXPECT_EQ (PresetPath::displayName ("Init.mvkp"), "Init");
    EXPECT_EQ (PresetPath::displayName ("Crunch\\NoExtension"), "NoExtension");
}

TEST (PresetPath, ALinkOutOfThePresetFolderIsOutside)
{
    TemporaryPresetFolder folder;
    const auto outside = folder.getBase().getChildFile ("elsewhere");
    outside.createDirectory();
    outside.getChildFile ("f.mvkp").replaceWithText ("x");

#if ! JUCE_WINDOWS
    ASSERT_TRUE (outside.createSymbolicLink (folder.getRoot().getChildFile ("link"), true));
#endif

    // Reading through a link the user made inside the folder is allowed; ".." never is.
    EXPECT_NE (PresetPath::resolve (folder.getRoot(), "link/f.mvkp"), juce::File());
    EXPECT_EQ (PresetPath::resolve (folder.getRoot(), "link/../../elsewhere/f.mvkp"), juce::File());
}
