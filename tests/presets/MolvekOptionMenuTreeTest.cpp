#include "JuceGuiTest.h"
#include "TemporaryPresetFolder.h"

#include "presets/MolvekOptionMenuTree.h"

namespace
{
// One line per menu entry: "A/" for a submenu (its entries indented below it), "3 r.mvkp" for
// an item, "3 r.mvkp +" when ticked, "# Title" for a heading; " |" ends a column.
void describe (const juce::PopupMenu& menu, juce::StringArray& lines, const juce::String& indent = {})
{
    for (juce::PopupMenu::MenuItemIterator it (menu); it.next();)
    {
        const auto& item = it.getItem();
        const juce::String columnEnd (item.shouldBreakAfter ? " |" : "");

        if (item.isSectionHeader)
        {
            lines.add (indent + "# " + item.text + columnEnd);
        }
        else if (item.subMenu != nullptr)
        {
            lines.add (indent + item.text + "/" + columnEnd);
            describe (*item.subMenu, lines, indent + "  ");
        }
        else
        {
            lines.add (indent + juce::String (item.itemID) + " " + item.text + (item.isTicked ? " +" : "") + columnEnd);
        }
    }
}

juce::StringArray describe (const juce::PopupMenu& menu)
{
    juce::StringArray lines;
    describe (menu, lines);
    return lines;
}

struct ChoiceCounter : juce::Label::Listener
{
    int calls = 0;
    void labelTextChanged (juce::Label*) override { ++calls; }
};

class MolvekOptionMenuTreeTest : public JuceGuiTest
{
protected:
    void SetUp() override
    {
        tree.setRootFolder (folder.getRoot().getFullPathName());
        tree.setFilePattern ("*.mvkp");
    }

    // The example of subfolders A and B and the root's own r.mvkp.
    void addExample()
    {
        folder.addFile ("A/a.mvkp");
        folder.addFile ("B/b.mvkp");
        folder.addFile ("r.mvkp");
    }

    TemporaryPresetFolder folder;
    MolvekOptionMenuTree tree { "presetMenu_" };
};
} // namespace

TEST_F (MolvekOptionMenuTreeTest, SubfoldersComeFirstAndAreNumberedDepthFirst)
{
    addExample();
    tree.setCurrentItem ("r.mvkp");

    EXPECT_EQ (describe (tree.createMenu()), juce::StringArray ({ "A/", "  1 a.mvkp", "B/", "  2 b.mvkp", "3 r.mvkp +" }));
    EXPECT_EQ (tree.getNextId(), 4);
    EXPECT_EQ (tree.getCurrentId(), 3);
    EXPECT_EQ (tree.getText(), "r");
    EXPECT_EQ (tree.getItemName (0), "a");
    EXPECT_EQ (tree.getItemPath (1), folder.getRoot().getChildFile ("B/b.mvkp").getFullPathName());
    EXPECT_EQ (tree.getItemPath (3), "");

    tree.selectNext();
    EXPECT_EQ (tree.getCurrentId(), 1) << "wraps around to the first";
    EXPECT_EQ (tree.getCurrentItem(), "A\\a.mvkp");
    EXPECT_EQ (tree.getText(), "a");

    tree.setCurrentItem ("r.mvkp");
    tree.selectPrevious();
    EXPECT_EQ (tree.getCurrentItem(), "B\\b.mvkp");

    tree.selectItem (1);
    tree.selectPrevious();
    EXPECT_EQ (tree.getCurrentId(), 3) << "wraps around to the last";
}

TEST_F (MolvekOptionMenuTreeTest, AHeadedFolderOpensWithTheMenuUnderHeadingsAndKeepsTheNumbering)
{
    addExample();
    for (const auto* name : { "Factory/Blues Overdrive/Blues Crunch.mvkp", "Factory/Blues Overdrive/Blues Lead.mvkp", "Factory/Blues Overdrive/Deep/x.mvkp", "Factory/Pro Overdrive/Pro.mvkp", "Factory/Readme Tone.mvkp" })
        folder.addFile (name);

    tree.setCurrentItem ("Factory/Blues Overdrive/Blues Lead.mvkp");
    const juce::StringArray asFolders ({ "A/", "  1 a.mvkp", "B/", "  2 b.mvkp", "Factory/", "  Blues Overdrive/", "    Deep/", "      3 x.mvkp", "    4 Blues Crunch.mvkp", "    5 Blues Lead.mvkp +", "  Pro Overdrive/", "    6 Pro.mvkp", "  7 Readme Tone.mvkp", "8 r.mvkp" });
    EXPECT_EQ (describe (tree.createMenu()), asFolders) << "not headed: every folder a submenu";

    // The heading names the circuit, so the items drop it (but never down to nothing); the
    // headed folder's own files come under its own name, the rest of the tree under the user's.
    tree.setHeadedFolder ("factory");
    EXPECT_EQ (describe (tree.createMenu()), juce::StringArray ({ "# Factory", "7 Readme Tone.mvkp", "# Blues Overdrive", "Deep/", "  3 x.mvkp", "4 Crunch", "5 Lead +", "# Pro Overdrive", "6 Pro", "# User Presets", "A/", "  1 a.mvkp", "B/", "  2 b.mvkp", "8 r.mvkp" }));
    EXPECT_EQ (tree.getCurrentId(), 5);
    EXPECT_EQ (tree.getText(), "Blues Lead") << "the bar keeps the whole name";

    tree.selectNext();
    EXPECT_EQ (tree.getCurrentItem(), "Factory\\Pro Overdrive\\Pro.mvkp") << "the arrows keep the list order";

    // Without the folder on disk the menu is the plain tree.
    folder.getRoot().getChildFile ("Factory").deleteRecursively();
    tree.rescan();
    EXPECT_EQ (describe (tree.createMenu()), juce::StringArray ({ "A/", "  1 a.mvkp", "B/", "  2 b.mvkp", "3 r.mvkp" }));
}

TEST_F (MolvekOptionMenuTreeTest, ListsOnlyMatchingFilesAndShowsEmptyFolders)
{
    folder.addFile ("Lead.live.mvkp");
    folder.addFile ("notes.txt");
    folder.addFile ("Lead.mvkp.bak");
    folder.addFolder ("Empty");

    tree.setCurrentItem ("Lead.live.mvkp");

    EXPECT_EQ (describe (tree.createMenu()), juce::StringArray ({ "Empty/", "1 Lead.live.mvkp +" }));
    EXPECT_EQ (tree.getText(), "Lead.live");
}

TEST_F (MolvekOptionMenuTreeTest, SortsByNameIgnoringCaseOnEveryFileSystem)
{
    for (const auto* name : { "b.mvkp", "C.mvkp", "a.mvkp", "sub2/x.mvkp", "Sub1/y.mvkp" })
        folder.addFile (name);

    tree.rescan();
    EXPECT_EQ (describe (tree.createMenu()), juce::StringArray ({ "Sub1/", "  1 y.mvkp", "sub2/", "  2 x.mvkp", "3 a.mvkp", "4 b.mvkp", "5 C.mvkp" }));
}

TEST_F (MolvekOptionMenuTreeTest, CurrentItemIsStoredWithBackslashes)
{
    folder.addFile ("Crunch/Warm.mvkp");

    tree.setCurrentItem ("Crunch/Warm.mvkp");
    EXPECT_EQ (tree.getCurrentItem(), "Crunch\\Warm.mvkp");
    EXPECT_EQ (tree.getCurrentId(), 1);

    tree.setCurrentItem ("Crunch\\Warm.mvkp");
    EXPECT_EQ (tree.getCurrentId(), 1) << "a session saved on Windows";
    EXPECT_EQ (tree.getCurrentFile(), folder.getRoot().getChildFile ("Crunch").getChildFile ("Warm.mvkp"));
}

TEST_F (MolvekOptionMenuTreeTest, AnItemThatIsGoneLeavesNoStaleNumber)
{
    addExample();
    tree.setCurrentItem ("B/b.mvkp");
    ASSERT_EQ (tree.getCurrentId(), 2);

    tree.setCurrentItem ("Deleted.mvkp");
    EXPECT_EQ (tree.getCurrentId(), 0);
    EXPECT_EQ (tree.getText(), "Deleted");

    tree.selectNext();
    EXPECT_EQ (tree.getCurrentId(), 1) << "the arrows start from the beginning";

    tree.selectItem (2);
    folder.getRoot().getChildFile ("B/b.mvkp").deleteFile();
    EXPECT_FALSE (tree.rescan());
    EXPECT_EQ (tree.getCurrentId(), 0);
}

TEST_F (MolvekOptionMenuTreeTest, PathsLeavingTheFolderAreNoCurrentItem)
{
    folder.getBase().getChildFile ("f.mvkp").replaceWithText ("x");
    const auto absolute = folder.getBase().getChildFile ("f.mvkp").getFullPathName();

    for (const auto& path : { juce::String ("..\\..\\..\\f.mvkp"), juce::String ("../../../f.mvkp"), absolute })
    {
        tree.setCurrentItem (path);
        EXPECT_EQ (tree.getCurrentItem(), "") << path;
        EXPECT_EQ (tree.getCurrentFile(), juce::File()) << path;
        EXPECT_EQ (tree.getText(), "f") << path;
    }
}

TEST_F (MolvekOptionMenuTreeTest, EmptyOrMissingFolderLeavesTheArrowsIdle)
{
    tree.setRootFolder (folder.getRoot().getChildFile ("missing").getFullPathName());
    tree.setCurrentItem ("Init.mvkp");

    EXPECT_EQ (tree.getNextId(), 1);
    tree.selectNext();
    tree.selectPrevious();
    tree.selectItem (1);
    EXPECT_EQ (tree.getCurrentId(), 0);
    EXPECT_EQ (tree.getText(), "Init");
}

TEST_F (MolvekOptionMenuTreeTest, LinkLoopsAreListedOnce)
{
#if JUCE_WINDOWS
    GTEST_SKIP() << "symbolic links need privileges on Windows";
#else
    folder.addFile ("A/a.mvkp");
    folder.addFile ("r.mvkp");
    ASSERT_TRUE (folder.getRoot().createSymbolicLink (folder.getRoot().getChildFile ("A/back"), true));
    ASSERT_TRUE (folder.getRoot().getChildFile ("A").createSymbolicLink (folder.getRoot().getChildFile ("A/self"), true));

    tree.rescan();
    EXPECT_EQ (describe (tree.createMenu()), juce::StringArray ({ "A/", "  1 a.mvkp", "2 r.mvkp" }));
#endif
}

TEST_F (MolvekOptionMenuTreeTest, WithoutSubfoldersOnlyTheRootIsListed)
{
    addExample();
    tree.setIncludeSubfolders (false);
    tree.rescan();
    EXPECT_EQ (describe (tree.createMenu()), juce::StringArray ({ "1 r.mvkp" }));
}

TEST_F (MolvekOptionMenuTreeTest, AMenuChoiceNamesTheFileThatWasShown)
{
    addExample();
    tree.setCurrentItem ("r.mvkp");
    auto answer = tree.createMenuCallback();

    // Between showing the menu and the choice, a file that sorts first appears: the numbers
    // of the new scan are one off.
    folder.addFile ("0/first.mvkp");
    tree.rescan();
    ASSERT_EQ (tree.getItemName (0), "first");

    answer (2);
    EXPECT_EQ (tree.getCurrentItem(), "B\\b.mvkp");
    EXPECT_EQ (tree.getCurrentId(), 3);
    EXPECT_EQ (tree.getText(), "b");
}

TEST (MolvekOptionMenuTree, AMenuChoiceAfterTheLabelIsGoneDoesNothing)
{
    const juce::ScopedJuceInitialiser_GUI juce;
    TemporaryPresetFolder folder;
    folder.addFile ("r.mvkp");

    auto tree = std::make_unique<MolvekOptionMenuTree> ("presetMenu_");
    tree->setRootFolder (folder.getRoot().getFullPathName());
    tree->rescan();
    auto answer = tree->createMenuCallback();
    tree.reset();

    answer (1);
    answer (0);
}

TEST_F (MolvekOptionMenuTreeTest, ListenersHearOfAChoiceOnlyWhenItChangesSomething)
{
    addExample();
    ChoiceCounter counter;
    tree.addListener (&counter);
    tree.rescan();

    tree.chooseFromMenu (*tree.getListing(), 1);
    EXPECT_EQ (counter.calls, 1) << "a new entry";
    EXPECT_EQ (tree.getText(), "a");

    tree.chooseFromMenu (*tree.getListing(), 1);
    EXPECT_EQ (counter.calls, 1) << "the same entry, its name already shown";

    tree.selectNext();
    tree.chooseFromMenu (*tree.getListing(), 1);
    EXPECT_EQ (counter.calls, 2) << "the same entry after the arrows moved on";

    tree.chooseFromMenu (*tree.getListing(), 0);
    tree.chooseFromMenu (*tree.getListing(), 4);
    EXPECT_EQ (counter.calls, 2) << "numbers outside the list";

    tree.removeListener (&counter);
}

//==============================================================================
// Tens of thousands of presets take a second or more to list. With background scans the window's
// thread never lists the folder: the menu, the arrows and the current item come from the last
// complete scan, and a scan that ends quickly is used at once.
TEST_F (MolvekOptionMenuTreeTest, BackgroundScansNeverListTheFolderOnTheMessageThread)
{
    addExample();
    tree.setScansInBackground (true);

    tree.setCurrentItem ("r.mvkp");
    ASSERT_TRUE (tree.finishPendingScan (10000));
    tree.setCurrentItem ("r.mvkp");
    EXPECT_EQ (describe (tree.createMenu()), juce::StringArray ({ "A/", "  1 a.mvkp", "B/", "  2 b.mvkp", "3 r.mvkp +" }));
    EXPECT_EQ (tree.getCurrentId(), 3);

    // A file saved meanwhile: named at once, numbered when the scan that lists it is taken.
    folder.addFile ("B/c.mvkp");
    tree.setCurrentItem ("B/c.mvkp");
    EXPECT_EQ (tree.getText(), "c");
    ASSERT_TRUE (tree.finishPendingScan (10000));
    EXPECT_EQ (tree.getCurrentId(), 3);
    EXPECT_EQ (tree.getItemName (2), "c");

    // The arrows walk the last complete scan; a file it does not know of is not reached.
    folder.addFile ("z.mvkp");
    tree.selectNext();
    EXPECT_EQ (tree.getCurrentItem(), "r.mvkp");
    tree.selectNext();
    EXPECT_EQ (tree.getCurrentItem(), "A\\a.mvkp") << "wraps around";

    // Only a file that exists and is not listed calls for a scan; none runs on this thread.
    const auto scans = tree.getNumScans();
    tree.setCurrentItem ("Missing.mvkp");
    tree.setCurrentItem ("A/a.mvkp");
    EXPECT_TRUE (tree.finishPendingScan (10000));
    EXPECT_EQ (tree.getNumScans(), scans);

    tree.refreshListing();
    ASSERT_TRUE (tree.finishPendingScan (10000));
    EXPECT_EQ (tree.getItemName (4), "z");
    EXPECT_EQ (tree.getNumScansOnMessageThread(), 0);
}

TEST_F (MolvekOptionMenuTreeTest, ABackgroundScanIsTakenWhenItEndsAndStopsWithTheLabel)
{
    for (int i = 0; i < 2000; ++i)
        folder.addFile ("F" + juce::String (i / 100) + "/p" + juce::String (i) + ".mvkp", "x");

    tree.setScansInBackground (true);
    tree.refreshListing();

    // Delivered through the message loop, as in the window.
    for (int i = 0; i < 1000 && tree.getNextId() == 1; ++i)
        pump (10);

    EXPECT_EQ (tree.getNextId(), 2001);
    EXPECT_EQ (tree.getNumScansOnMessageThread(), 0);

    // Closed while a scan runs: the scan is abandoned and nothing reaches the label afterwards.
    auto closing = std::make_unique<MolvekOptionMenuTree> ("presetMenu_");
    closing->setRootFolder (folder.getRoot().getFullPathName());
    closing->setScansInBackground (true);
    closing->refreshListing();
    closing.reset();
    pump (50);
}
