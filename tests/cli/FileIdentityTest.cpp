#include "cli/FileIdentity.h"
#include "RenderTestFiles.h"

#if ! JUCE_WINDOWS
    #include <climits>
    #include <cstdlib>
    #include <unistd.h>
#endif

namespace
{
// Links are made with the native target text, so relative targets and ".." stay as written.
bool makeLink (const juce::File& link, const juce::String& target)
{
    return juce::File::createSymbolicLink (link, target, true);
}

#if ! JUCE_WINDOWS
// The operating system's own answer, to compare with.
juce::String realPath (const juce::File& file)
{
    char buffer[PATH_MAX];
    return ::realpath (file.getFullPathName().toRawUTF8(), buffer) != nullptr ? juce::String (buffer) : juce::String();
}
#endif
} // namespace

class FileIdentityTest : public RenderScratchFolder
{
protected:
    void SetUp() override
    {
        RenderScratchFolder::SetUp();

        // folder/a/b/in.wav is the input; everything else leads to it or to somewhere else.
        input = folder.getChildFile ("a/b/in.wav");
        ASSERT_TRUE (input.getParentDirectory().createDirectory().wasOk());
        ASSERT_TRUE (input.replaceWithText ("input"));
        ASSERT_TRUE (folder.getChildFile ("other/in.wav").create().wasOk());
        ASSERT_TRUE (folder.getChildFile ("other/in.wav").replaceWithText ("input"));

        // Windows grants links only to some accounts.
        if (! makeLink (folder.getChildFile ("fileLink.wav"), input.getFullPathName()))
            GTEST_SKIP() << "symbolic links cannot be made here";

        ASSERT_TRUE (makeLink (folder.getChildFile ("relativeFileLink.wav"), "a/b/in.wav"));
        ASSERT_TRUE (makeLink (folder.getChildFile ("dirLink"), folder.getChildFile ("a/b").getFullPathName()));
        ASSERT_TRUE (makeLink (folder.getChildFile ("relativeDirLink"), "a/b"));
        ASSERT_TRUE (makeLink (folder.getChildFile ("a/up"), ".."));
        // ".." after a link leaves the link's target, not the link's folder: dirLink/.. is a.
        ASSERT_TRUE (makeLink (folder.getChildFile ("afterLink.wav"), "dirLink/../b/in.wav"));
        ASSERT_TRUE (makeLink (folder.getChildFile ("chain1.wav"), "chain2.wav"));
        ASSERT_TRUE (makeLink (folder.getChildFile ("chain2.wav"), "relativeFileLink.wav"));
        ASSERT_TRUE (makeLink (folder.getChildFile ("loop1.wav"), "loop2.wav"));
        ASSERT_TRUE (makeLink (folder.getChildFile ("loop2.wav"), "loop1.wav"));
        ASSERT_TRUE (makeLink (folder.getChildFile ("elsewhere.wav"), "other/in.wav"));
    }

    juce::File input;
};

TEST_F (FileIdentityTest, EveryWayToTheInputIsTheInput)
{
    const char* const samePaths[] = {
        "a/b/in.wav",
        "a/./b/../b/in.wav",
        "fileLink.wav",
        "relativeFileLink.wav",
        "dirLink/in.wav",
        "relativeDirLink/in.wav",
        "a/up/a/b/in.wav",
        "afterLink.wav",
        "chain1.wav",
    };

    for (const auto* path : samePaths)
    {
        const auto file = folder.getChildFile (path);
        EXPECT_TRUE (FileIdentity::refersToSameFile (input, file)) << path;
        EXPECT_TRUE (FileIdentity::refersToSameFile (file, input)) << path;
    }

    // Writing into a linked input would write the input.
    EXPECT_TRUE (FileIdentity::refersToSameFile (folder.getChildFile ("fileLink.wav"), folder.getChildFile ("dirLink/in.wav")));
}

TEST_F (FileIdentityTest, NamesOfAFileNotWrittenYetMeetThroughLinks)
{
    // Nothing on disk to compare: only the paths can tell (two outputs of one run).
    const auto file = folder.getChildFile ("a/b/new.wav");

    for (const auto* path : { "dirLink/new.wav", "relativeDirLink/new.wav", "a/up/a/b/new.wav" })
        EXPECT_TRUE (FileIdentity::refersToSameFile (file, folder.getChildFile (path))) << path;

    EXPECT_FALSE (FileIdentity::refersToSameFile (file, folder.getChildFile ("a/new.wav")));
}

TEST_F (FileIdentityTest, OtherFilesAreNotTheInput)
{
    const char* const otherPaths[] = {
        "other/in.wav", // same name and content, another folder
        "elsewhere.wav", // a link to that one
        "a/b/out.wav", // not there yet
        "dirLink/out.wav", // not there yet, behind a link
        "a/in.wav", // what a ".." read without the link would give
        "b/in.wav", // what afterLink.wav would be if ".." were taken from the text
        "loop1.wav", // a cycle of links ends somewhere else
    };

    for (const auto* path : otherPaths)
        EXPECT_FALSE (FileIdentity::refersToSameFile (input, folder.getChildFile (path))) << path;
}

#if ! JUCE_WINDOWS
TEST_F (FileIdentityTest, ResolvedPathsMatchTheOperatingSystem)
{
    for (const auto* path : { "a/b/in.wav", "fileLink.wav", "relativeDirLink/in.wav", "a/up/a/b", "afterLink.wav", "chain1.wav", "elsewhere.wav" })
    {
        const auto file = folder.getChildFile (path);
        EXPECT_EQ (realPath (file), FileIdentity::resolve (file).getFullPathName()) << path;
    }
}

TEST_F (FileIdentityTest, HardLinksAreTheSameFile)
{
    const auto hardLink = folder.getChildFile ("hard.wav");
    ASSERT_EQ (0, ::link (input.getFullPathName().toRawUTF8(), hardLink.getFullPathName().toRawUTF8()));

    EXPECT_TRUE (FileIdentity::refersToSameFile (input, hardLink));
    EXPECT_FALSE (FileIdentity::refersToSameFile (folder.getChildFile ("other/in.wav"), hardLink));
}
#endif
