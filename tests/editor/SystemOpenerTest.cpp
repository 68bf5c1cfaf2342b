#include "editor/SystemOpener.h"

#include "OpenerTestHelpers.h"

#include <gtest/gtest.h>

#if JUCE_LINUX || JUCE_BSD

namespace
{
class SystemOpenerTest : public ::testing::Test
{
protected:
    SystemOpenerTest() { bin.createDirectory(); }
    ~SystemOpenerTest() override { bin.getParentDirectory().deleteRecursively(); }

    // Waits up to two seconds for the stand-in opener to have written its record.
    juce::String waitForRecord() const
    {
        for (int i = 0; i < 200 && record.loadFileAsString().isEmpty(); ++i)
            juce::Thread::sleep (10);

        return record.loadFileAsString();
    }

    juce::File bin { juce::File::createTempFile ("opener").getChildFile ("bin") };
    juce::File record { bin.getSiblingFile ("opened.txt") };
};
} // namespace

TEST_F (SystemOpenerTest, HandsTheDocumentOrAddressToTheDesktopsOpenerAndLeavesNoChild)
{
    OpenerTest::writeFakeOpener (bin, record);
    const OpenerTest::ScopedSearchPath path (bin);
    const auto before = OpenerTest::childrenOfThisProcess();
    const juce::File manual ("/tmp/Molvek/User Manuals/VardekoQX2710 Manual.pdf");

    const std::pair<std::function<bool()>, juce::String> cases[] = {
        { [&]
          { return SystemOpener::openDocument (manual); },
          manual.getFullPathName() },
        { []
          { return SystemOpener::openWebAddress (juce::URL ("https://www.molvek.com")); },
          "https://www.molvek.com" },
    };

    for (const auto& [open, expected] : cases)
    {
        record.deleteFile();
        EXPECT_TRUE (open()) << expected;
        EXPECT_EQ (waitForRecord(), expected) << "one argument, spaces and all";
        EXPECT_EQ (OpenerTest::childrenOfThisProcess(), before) << "nothing left behind, not even a zombie";
    }
}

TEST_F (SystemOpenerTest, SaysSoWhenThereIsNothingToOpenWith)
{
    const OpenerTest::ScopedSearchPath path (bin);
    const auto before = OpenerTest::childrenOfThisProcess();

    EXPECT_EQ (SystemOpener::findOpener(), juce::File());
    EXPECT_FALSE (SystemOpener::openDocument (juce::File ("/tmp/manual.pdf")));
    EXPECT_FALSE (SystemOpener::openWebAddress (juce::URL ("https://www.molvek.com")));
    EXPECT_EQ (OpenerTest::childrenOfThisProcess(), before);

    // A file of that name that may not be run is no opener either.
    bin.getChildFile ("xdg-open").replaceWithText ("#!/bin/sh\n");
    EXPECT_EQ (SystemOpener::findOpener(), juce::File());
}

#endif
