// The file panels driven through their public operations and programmatic clicks, inside a real
// window: a modal panel is only modal while it is on screen. The suite needs a display; CTest
// runs it under a private X server (see tests/CMakeLists.txt).

#include "JuceGuiTest.h"
#include "ProcessorTestHelpers.h"
#include "ScopedFileSizeLimit.h"
#include "TemporaryPresetFolder.h"

#include "presets/MolvekAlertComponent.h"
#include "presets/MolvekVardekoQX2710OverwriteComponent.h"
#include "presets/MolvekVardekoQX2710PresetBrowser.h"
#include "presets/MolvekVardekoQX2710PresetMenu.h"
#include "processor/HostParameters.h"
#include "processor/PresetPath.h"
#include "processor/UserFolders.h"

#include <cstdlib>

namespace
{
class PresetPanelsTest : public JuceWindowTest
{
protected:
    void SetUp() override
    {
        if (! hasDisplay())
            GTEST_SKIP() << "needs a display";

        presetMenu.setRootFolder (folder.getRoot().getFullPathName());
        presetMenu.setFilePattern ("*.mvkp");
        presetMenu.setCurrentItem ("Init.mvkp");

        window.setSize (325, 500);
        window.addChildComponent (browser);
        browser.setBounds (0, 0, 325, 500);
        window.addChildComponent (overwrite);
        overwrite.setBounds (0, 0, 325, 500);
        window.addToDesktop (0);
        window.setVisible (true);
        pump (50);
    }

    void TearDown() override
    {
        window.removeFromDesktop();
    }

    // A click as the framework delivers it: a disabled button ignores it.
    static void click (juce::Button& button)
    {
        button.triggerClick();
        pump();
    }

    void openBrowserWithName (const juce::String& name)
    {
        browser.show();
        browser.getBrowser()->setFileName (name);
        browser.timerCallback();
    }

    // An existing Clean.mvkp, other live values, and SAVE with "Clean" typed: the question is up.
    // Returns the file as it was.
    juce::String askToOverwriteClean()
    {
        const auto before = folder.addPreset ("Clean.mvkp", { { HostParameters::tone, 0.2f } }).loadFileAsString();
        ProcessorTest::setValue (processor, HostParameters::tone, 0.9f);
        openBrowserWithName ("Clean");
        click (browser.getOkButton());
        return before;
    }

    juce::File preset (const juce::String& relativePath) const { return folder.getRoot().getChildFile (relativePath); }

    TemporaryPresetFolder folder;
    VardekoQX2710AudioProcessor processor;
    MolvekVardekoQX2710PresetMenu presetMenu { "presetMenu_" };
    juce::Component window;
    MolvekVardekoQX2710PresetBrowser browser { "presetBrowser_", "Save", folder.getRoot().getFullPathName(), "*.mvkp", &processor, &presetMenu };
    MolvekVardekoQX2710OverwriteComponent overwrite { "overwriteComponent_", &processor, &presetMenu };
};

// The icon's main colour: the mean of the strongly coloured pixels around its place.
juce::Colour iconColour (MolvekAlertComponent& alert)
{
    const auto image = alert.createComponentSnapshot (alert.getLocalBounds());
    double red = 0.0, green = 0.0, blue = 0.0;
    int count = 0;

    for (int y = 130; y < 210; ++y)
    {
        for (int x = 120; x < 205; ++x)
        {
            const auto c = image.getPixelAt (x, y);

            if (c.getSaturation() > 0.5f && c.getBrightness() > 0.4f)
            {
                red += c.getRed();
                green += c.getGreen();
                blue += c.getBlue();
                ++count;
            }
        }
    }

    return count == 0 ? juce::Colour() : juce::Colour ((juce::uint8) (red / count), (juce::uint8) (green / count), (juce::uint8) (blue / count));
}
} // namespace

TEST_F (PresetPanelsTest, SaveAppendsTheExtensionUnlessItEndsSoExactly)
{
    const std::pair<const char*, const char*> cases[] = {
        { "Clean", "Clean.mvkp" },
        { "Clean.MVKP", "Clean.MVKP.mvkp" },
        { "Lead.mvkp", "Lead.mvkp" },
        { "Crunch/Warm", "Crunch/Warm.mvkp" },
    };

    for (const auto& [typed, expected] : cases)
    {
        openBrowserWithName (typed);
        ASSERT_TRUE (browser.getOkButton().isEnabled()) << typed;
        click (browser.getOkButton());

        EXPECT_TRUE (preset (expected).existsAsFile()) << typed;
        EXPECT_EQ (presetMenu.getCurrentFile(), preset (expected)) << typed;
        EXPECT_EQ (processor.getCurrentPresetPath(), presetMenu.getCurrentItem()) << typed;
        EXPECT_FALSE (browser.isVisible()) << typed;
        EXPECT_FALSE (browser.isCurrentlyModal()) << typed;
    }

    EXPECT_EQ (processor.getCurrentPresetPath(), "Crunch\\Warm.mvkp");
    EXPECT_EQ (presetMenu.loadPreset (&processor, processor.getCurrentPresetPath()), 1) << "it loads again";
}

TEST_F (PresetPanelsTest, SaveAndNewFolderAreEnabledOnlyInsideThePresetFolder)
{
    folder.addFolder ("Crunch");
    const auto sibling = folder.getRoot().getSiblingFile ("VardekoQX2710_old");
    sibling.createDirectory();

    // A folder in the preset folder that is a link out of it.
    const auto out = folder.getRoot().getChildFile ("Out");
    const bool haveLink = sibling.createSymbolicLink (out, true);

    struct Case
    {
        juce::File browsing;
        const char* typed;
        bool save;
        bool newFolder;
    };

    const Case cases[] = {
        { folder.getRoot(), "Clean", true, true },
        { folder.getRoot(), "", false, true },
        { folder.getRoot(), "Crunch", false, true },
        { folder.getRoot().getChildFile ("Crunch"), "Warm", true, true },
        { folder.getRoot(), "../Clean", false, false },
        { folder.getRoot().getParentDirectory(), "Clean", false, false },
        { folder.getRoot().getParentDirectory(), "", false, false },
        { sibling, "Clean", false, false },
        { out, "Clean", false, false },
        { folder.getRoot(), "Out/Clean", false, false },
    };

    for (const auto& c : cases)
    {
        if (! haveLink && juce::String (c.typed).startsWith ("Out"))
            continue;

        browser.show();
        browser.getBrowser()->setRoot (c.browsing);
        browser.getBrowser()->setFileName (c.typed);
        browser.timerCallback();

        const auto where = c.browsing.getFileName() + " / " + c.typed;
        EXPECT_EQ (browser.getOkButton().isEnabled(), c.save) << where;
        EXPECT_NEAR (browser.getOkButton().getAlpha(), c.save ? 1.0f : 0.5f, 0.01f) << where;
        EXPECT_EQ (browser.getNewFolderButton()->isEnabled(), c.newFolder) << where;
        EXPECT_NEAR (browser.getNewFolderButton()->getAlpha(), c.newFolder ? 1.0f : 0.5f, 0.01f) << where;

        // Return in the name box and a double-click go through the same button.
        browser.fileDoubleClicked (c.browsing.getChildFile (c.typed));
        pump();
        browser.onOk();
        EXPECT_EQ (browser.isVisible(), ! c.save) << where;
        browser.hide();
    }

    EXPECT_FALSE (sibling.getChildFile ("Clean.mvkp").exists());
    EXPECT_FALSE (folder.getRoot().getParentDirectory().getChildFile ("Clean.mvkp").exists());
}

TEST_F (PresetPanelsTest, NewFoldersStayInTheBrowsedFolder)
{
    // "~name" is a user's home folder to the framework's paths, ".." the folder above.
    auto& prompt = *browser.getNewFolderPanel();
    auto& alert = prompt.getAlertPanel();
    browser.show();

    for (const auto* name : { "~nobody", "~daemon", "~", "..", "~root" })
    {
        const auto elsewhere = folder.getRoot().getChildFile (name);
        const auto existed = elsewhere.exists();

        click (*browser.getNewFolderButton());
        prompt.getNameEditor().setText (name, true);
        click (prompt.getOkButton());

        ASSERT_TRUE (alert.isVisible()) << name;
        EXPECT_EQ (alert.getMessage(), "Couldn't create the folder! Try different name.") << name;
        click (alert.getOkButton());
        prompt.textEditorEscapeKeyPressed (prompt.getNameEditor());
        pump();

        EXPECT_EQ (elsewhere.exists(), existed) << name;
    }

    EXPECT_EQ (folder.getRoot().getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);
}

TEST_F (PresetPanelsTest, ReturnRightAfterTypingANameSaves)
{
    // Typed and Return pressed at once, as a quick hand does: well within the panel's own
    // 200 ms refresh.
    for (const auto* name : { "Quick", "Quicker", "Quickest", "Last" })
    {
        SCOPED_TRACE (name);
        browser.show();
        pump (5); // the panel has opened (its emptied name box settles)
        auto* box = browser.getFileNameBox();
        ASSERT_NE (box, nullptr);
        box->insertTextAtCaret (name);
        box->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
        pump (20);

        EXPECT_TRUE (preset (juce::String (name) + ".mvkp").existsAsFile());
        EXPECT_FALSE (browser.isVisible());
        browser.hide();
    }

    // Return with no name, or a name outside the preset folder, still saves nothing.
    for (const auto* name : { "", "../Outside" })
    {
        SCOPED_TRACE (name);
        browser.show();
        pump (5);
        browser.getFileNameBox()->insertTextAtCaret (name);
        browser.getFileNameBox()->keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
        pump (20);
        EXPECT_TRUE (browser.isVisible());
        browser.hide();
    }

    EXPECT_FALSE (folder.getRoot().getSiblingFile ("Outside.mvkp").exists());
}

TEST_F (PresetPanelsTest, EscapeClosesTheSaveBrowser)
{
    // From the name box (which keeps the key to itself) and from anywhere else in the panel.
    const std::pair<const char*, std::function<void()>> presses[] = {
        { "name box", [this]
          { browser.getFileNameBox()->keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)); } },
        { "panel", [this]
          { browser.keyPressed (juce::KeyPress (juce::KeyPress::escapeKey)); } },
    };

    for (const auto& [where, press] : presses)
    {
        SCOPED_TRACE (where);
        browser.show();
        pump (5);
        browser.getFileNameBox()->insertTextAtCaret ("Unsaved");
        press();
        pump (20);

        EXPECT_FALSE (browser.isVisible());
        EXPECT_FALSE (browser.isCurrentlyModal());
        EXPECT_FALSE (preset ("Unsaved.mvkp").exists());
    }

    // Over the browser, the overwrite question takes Escape as its CANCEL: back to the browser.
    askToOverwriteClean();
    ASSERT_TRUE (browser.getOverwritePanel().isVisible());
    browser.getOverwritePanel().keyPressed (juce::KeyPress (juce::KeyPress::escapeKey));
    pump (20);
    EXPECT_FALSE (browser.getOverwritePanel().isVisible());
    EXPECT_TRUE (browser.isVisible());
}

TEST_F (PresetPanelsTest, AnExistingPresetIsOverwrittenOnlyWhenConfirmed)
{
    const auto before = askToOverwriteClean();
    const auto existing = preset ("Clean.mvkp");
    auto& question = browser.getOverwritePanel();

    ASSERT_TRUE (question.isVisible());
    EXPECT_EQ (question.getMessage(), "Are you sure you want to overwrite this preset?\n\n\"Clean.mvkp\"");
    EXPECT_EQ (question.getIconCode(), MolvekAlertComponent::warningIcon);
    EXPECT_TRUE (question.getCancelButton().isVisible());
    EXPECT_TRUE (question.isCurrentlyModal());
    EXPECT_FALSE (browser.isCurrentlyModal()) << "the question took the modal state over";

    click (question.getCancelButton());
    EXPECT_FALSE (question.isVisible());
    EXPECT_TRUE (browser.isVisible());
    EXPECT_TRUE (browser.isCurrentlyModal()) << "back to the browser";
    EXPECT_EQ (existing.loadFileAsString(), before);

    click (browser.getOkButton());
    click (question.getOkButton());
    EXPECT_FALSE (question.isVisible());
    EXPECT_FALSE (browser.isVisible()) << "a confirmed overwrite closes the browser too";
    EXPECT_FALSE (browser.isCurrentlyModal());
    EXPECT_NE (existing.loadFileAsString(), before);
    EXPECT_EQ (presetMenu.getText(), "Clean");
    EXPECT_EQ (processor.getCurrentPresetPath(), "Clean.mvkp");
}

TEST_F (PresetPanelsTest, TheEditorsOverwritePanelSavesTheCurrentPreset)
{
    const auto existing = folder.addPreset ("Crunch/Warm.mvkp");
    presetMenu.setCurrentItem ("Crunch/Warm.mvkp");
    ProcessorTest::setValue (processor, HostParameters::level, 0.8f);
    presetMenu.checkModified (&processor);
    ASSERT_EQ (presetMenu.getText(), "Warm*");

    overwrite.targetFile = existing.getFullPathName();
    overwrite.setQuestionFor (existing);
    overwrite.show (2, MolvekAlertComponent::warningIcon);
    EXPECT_EQ (overwrite.getMessage(), "Are you sure you want to overwrite this preset?\n\n\"" + juce::String ("Crunch") + juce::File::getSeparatorString() + "Warm.mvkp\"");

    click (overwrite.getOkButton());
    EXPECT_FALSE (overwrite.isVisible());
    EXPECT_EQ (presetMenu.getText(), "Warm");
    EXPECT_EQ (processor.getCurrentPresetPath(), "Crunch\\Warm.mvkp");
    presetMenu.checkModified (&processor);
    EXPECT_EQ (presetMenu.getText(), "Warm") << "the file now holds the live values";
}

TEST_F (PresetPanelsTest, AFailedSaveIsShownAndChangesNothing)
{
    folder.addFolder ("Blocked.mvkp/inside");
    processor.setCurrentPresetPath ("Init.mvkp");

    openBrowserWithName ("Blocked");
    ASSERT_TRUE (browser.getOkButton().isEnabled());
    click (browser.getOkButton());

    auto& alert = browser.getAlertPanel();
    ASSERT_TRUE (alert.isVisible());
    EXPECT_TRUE (alert.getMessage().startsWith ("Couldn't save the preset!\n\n\"Blocked.mvkp\"")) << alert.getMessage();
    EXPECT_EQ (alert.getIconCode(), MolvekAlertComponent::errorIcon);
    EXPECT_FALSE (alert.getCancelButton().isVisible());
    EXPECT_TRUE (browser.isVisible());
    EXPECT_EQ (presetMenu.getText(), "Init*");
    EXPECT_EQ (processor.getCurrentPresetPath(), "Init.mvkp");

    click (alert.getOkButton());
    EXPECT_FALSE (alert.isVisible());
    EXPECT_TRUE (browser.isCurrentlyModal()) << "the browser stays open for another name";
}

TEST_F (PresetPanelsTest, ANameWithABackslashIsRefusedWithAMessage)
{
#if JUCE_WINDOWS
    GTEST_SKIP() << "a backslash separates folders in the name box on Windows";
#else
    // Stored preset paths use "\" between folders, so a preset named with one could never be
    // found again; it is neither written nor taken as a folder. "/" still separates folders.
    folder.addFolder ("Crunch");
    const juce::File existing (folder.getRoot().getFullPathName() + "/Odd\\Name.mvkp");
    ASSERT_TRUE (existing.replaceWithText ("made elsewhere"));
    processor.setCurrentPresetPath ("Init.mvkp");
    auto& alert = browser.getAlertPanel();

    for (const auto* typed : { "AC\\DC", "back\\slash7", "Crunch\\Warm", "Crunch/AC\\DC", "Odd\\Name" })
    {
        openBrowserWithName (typed);
        ASSERT_TRUE (browser.getOkButton().isEnabled()) << typed << ": SAVE says why when clicked";
        click (browser.getOkButton());

        ASSERT_TRUE (alert.isVisible()) << typed;
        EXPECT_EQ (alert.getMessage(), "Couldn't save the preset!\n\n\"" + juce::String (typed) + ".mvkp\"\n\n" + MolvekVardekoQX2710PresetMenu::invalidNameMessage);
        EXPECT_EQ (alert.getIconCode(), MolvekAlertComponent::errorIcon);
        EXPECT_FALSE (browser.getOverwritePanel().isVisible()) << typed << ": refused before asking";

        click (alert.getOkButton());
        EXPECT_FALSE (alert.isVisible());
        EXPECT_TRUE (browser.isCurrentlyModal()) << typed << ": the browser stays open for another name";
        browser.hide();
    }

    // Nothing written, no folder made of the part before the backslash.
    EXPECT_EQ (existing.loadFileAsString(), "made elsewhere");
    EXPECT_EQ (folder.getRoot().findChildFiles (juce::File::findFilesAndDirectories, true).size(), 2);
    EXPECT_FALSE (preset ("AC").exists());
    EXPECT_FALSE (preset ("Crunch/Warm.mvkp").exists());
    EXPECT_EQ (processor.getCurrentPresetPath(), "Init.mvkp");
    EXPECT_EQ (presetMenu.getCurrentItem(), "Init.mvkp");
#endif
}

TEST_F (PresetPanelsTest, AFailedOverwriteLeavesTheFileAndTheBrowser)
{
    const auto before = askToOverwriteClean();
    const auto existing = preset ("Clean.mvkp");
    auto& question = browser.getOverwritePanel();
    ASSERT_TRUE (question.isVisible());

    {
        const ScopedFileSizeLimit fullDisk (200);
        ASSERT_TRUE (fullDisk.isActive());
        click (question.getOkButton());
    }

    EXPECT_TRUE (question.isVisible());
    EXPECT_EQ (question.getIconCode(), MolvekAlertComponent::errorIcon);
    EXPECT_TRUE (question.getMessage().startsWith ("Couldn't save the preset!")) << question.getMessage();
    EXPECT_EQ (existing.loadFileAsString(), before);

    click (question.getOkButton());
    EXPECT_FALSE (question.isVisible());
    EXPECT_TRUE (browser.isVisible());
    EXPECT_TRUE (browser.isCurrentlyModal());
}

TEST_F (PresetPanelsTest, NewFolderNamesAreMadeLegal)
{
    auto& prompt = *browser.getNewFolderPanel();
    browser.show();
    click (*browser.getNewFolderButton());
    ASSERT_TRUE (prompt.isVisible());
    EXPECT_TRUE (prompt.isCurrentlyModal());
    EXPECT_FALSE (browser.isCurrentlyModal());
    EXPECT_TRUE (prompt.isTimerRunning());

    // Return in the empty field does nothing.
    EXPECT_FALSE (prompt.getOkButton().isEnabled());
    prompt.textEditorReturnKeyPressed (prompt.getNameEditor());
    pump();
    EXPECT_TRUE (prompt.isVisible());

    // Only characters a name may not hold: OK is enabled, but nothing is created.
    prompt.getNameEditor().setText ("///", true);
    pump();
    EXPECT_TRUE (prompt.getOkButton().isEnabled());
    click (prompt.getOkButton());
    EXPECT_TRUE (prompt.isVisible());
    EXPECT_EQ (folder.getRoot().getNumberOfChildFiles (juce::File::findFilesAndDirectories), 0);

    prompt.getNameEditor().setText ("a/b", true);
    prompt.textEditorReturnKeyPressed (prompt.getNameEditor());
    pump();
    EXPECT_TRUE (folder.getRoot().getChildFile ("ab").isDirectory());
    EXPECT_FALSE (prompt.isVisible());
    EXPECT_FALSE (prompt.isTimerRunning()) << "the prompt's timer ends with it";
    EXPECT_TRUE (browser.isCurrentlyModal()) << "the browser has the modal state back";
    EXPECT_FALSE (browser.getBrowser()->getRoot().getChildFile ("ab") == browser.getBrowser()->getSelectedFile (0));
}

TEST_F (PresetPanelsTest, ANameInUseIsRefused)
{
    folder.addFolder ("Crunch");
    folder.addFile ("Lead", "a file");
    auto& prompt = *browser.getNewFolderPanel();
    auto& alert = prompt.getAlertPanel();
    browser.show();

    for (const auto* name : { "Crunch", "Lead" })
    {
        click (*browser.getNewFolderButton());
        prompt.getNameEditor().setText (name, true);
        click (prompt.getOkButton());

        ASSERT_TRUE (alert.isVisible()) << name;
        EXPECT_EQ (alert.getMessage(), "The folder name already exist! Try different name.");
        EXPECT_EQ (alert.getIconCode(), MolvekAlertComponent::warningIcon);
        EXPECT_TRUE (alert.isCurrentlyModal());

        click (alert.getOkButton());
        EXPECT_TRUE (prompt.isVisible()) << "the prompt stays for another name";
        EXPECT_TRUE (prompt.isCurrentlyModal());

        // Escape closes it.
        prompt.textEditorEscapeKeyPressed (prompt.getNameEditor());
        pump();
        EXPECT_FALSE (prompt.isVisible());
        EXPECT_TRUE (browser.isCurrentlyModal());
    }

    EXPECT_TRUE (folder.getRoot().getChildFile ("Lead").existsAsFile());
}

TEST_F (PresetPanelsTest, AlertsShowTheirIconAndButtons)
{
    MolvekAlertComponent alert ("alert_");
    window.addChildComponent (alert);
    alert.setBounds (0, 0, 325, 500);
    alert.setMessage ("Something happened.");

    const auto isWarning = [] (juce::Colour c)
    { return c.getRed() > 200 && c.getGreen() > 140 && c.getBlue() < 100; };
    const auto isSuccess = [] (juce::Colour c)
    { return c.getGreen() > c.getRed() + 60 && c.getGreen() > c.getBlue() + 40; };
    const auto isError = [] (juce::Colour c)
    { return c.getRed() > c.getGreen() + 100 && c.getRed() > c.getBlue() + 100; };

    const std::pair<int, std::function<bool (juce::Colour)>> icons[] = {
        { 0, isWarning }, { 1, isWarning }, { 2, isWarning }, { 3, isSuccess }, { 4, isError }, { 9, isWarning }
    };

    for (const auto& [code, looksRight] : icons)
    {
        alert.show (1, code);
        EXPECT_TRUE (looksRight (iconColour (alert))) << "icon code " << code << ": " << iconColour (alert).toDisplayString (false);
        alert.hide();
    }

    alert.show (1, 1);
    EXPECT_EQ (alert.getOkButton().getBounds(), juce::Rectangle<int> (97, 328, 132, 51));
    EXPECT_FALSE (alert.getCancelButton().isVisible());
    EXPECT_EQ (alert.getMessage(), "Something happened.");
    EXPECT_TRUE (alert.isCurrentlyModal());

    alert.show (2, 1);
    EXPECT_EQ (alert.getOkButton().getBounds(), juce::Rectangle<int> (16, 328, 132, 51));
    EXPECT_EQ (alert.getCancelButton().getBounds(), juce::Rectangle<int> (179, 328, 132, 51));
    EXPECT_TRUE (alert.getCancelButton().isVisible());

    click (alert.getCancelButton());
    EXPECT_FALSE (alert.isVisible());
    EXPECT_FALSE (alert.isCurrentlyModal());

    for (const auto count : { 0, 3 })
    {
        alert.show (count, 1);
        EXPECT_FALSE (alert.isVisible()) << count << " buttons";
    }
}

TEST_F (PresetPanelsTest, TheEditorWritesTheFactoryPresetsWhenItsWindowOpens)
{
    // The user's documents folder follows HOME: here it is a folder of this test's own.
    const juce::String savedHome (std::getenv ("HOME"));
    setenv ("HOME", folder.getBase().getFullPathName().toRawUTF8(), 1);
    const auto factory = UserFolders::getPresetFolder().getChildFile ("Factory");
    ASSERT_TRUE (PresetPath::isInside (folder.getBase(), factory));

    {
        std::unique_ptr<juce::AudioProcessorEditor> editor (processor.createEditor());
        pump();
        EXPECT_FALSE (factory.exists()) << "an editor that never opens (a build tool's) writes nothing";

        editor->addToDesktop (0);
        editor->setVisible (true);
        pump (100);
        EXPECT_TRUE (factory.getChildFile ("Pro Overdrive").getChildFile ("Pro Lead.mvkp").existsAsFile());
        editor->removeFromDesktop();
    }

    setenv ("HOME", savedHome.toRawUTF8(), 1);
}
