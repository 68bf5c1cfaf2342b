#include "processor/StandaloneSettings.h"

#include "JuceGuiTest.h"
#include "ScopedFifo.h"

namespace
{
juce::File hostileFile (const char* name)
{
    return juce::File (VARDEKO_TEST_DATA_DIR).getChildFile ("hostile").getChildFile (name);
}

class StandaloneSettingsTest : public JuceGuiTest
{
protected:
    StandaloneSettingsTest() { folder.createDirectory(); }
    ~StandaloneSettingsTest() override { folder.deleteRecursively(); }

    juce::File folder { juce::File::createTempFile ("vardeko-settings") };
    juce::File file { folder.getChildFile ("Vardeko QX2710.settings") };
};
} // namespace

TEST_F (StandaloneSettingsTest, FilesTheFrameworkWroteAreReadAndWrittenInItsFormat)
{
    // What the app of earlier versions left behind.
    {
        juce::PropertiesFile::Options options;
        juce::PropertiesFile written (file, options);
        // Every attribute the framework's device manager writes.
        juce::XmlElement setup ("DEVICESETUP");
        setup.setAttribute ("deviceType", "ALSA");
        setup.setAttribute ("audioOutputDeviceName", "Out \"1\" & <2>");
        setup.setAttribute ("audioInputDeviceName", "In");
        setup.setAttribute ("audioDeviceRate", 48000.0);
        setup.setAttribute ("audioDeviceBufferSize", 256);
        setup.setAttribute ("audioDeviceInChans", "11");
        setup.setAttribute ("audioDeviceOutChans", "11");
        setup.setAttribute ("defaultMidiOutput", "Synth");
        setup.setAttribute ("defaultMidiOutputDevice", "hw:2");

        for (const auto* midiInput : { "Keys", "Pedal board" })
        {
            auto* input = setup.createNewChildElement ("MIDIINPUT");
            input->setAttribute ("name", midiInput);
            input->setAttribute ("identifier", juce::String (midiInput) + " id");
        }

        written.setValue ("audioSetup", &setup);
        written.setValue ("shouldMuteInput", false);
        written.setValue ("filterState", juce::String::repeatedString ("QUJD", 6000)); // longer than a patch's attributes
        written.setValue ("lastStateFile", "/home/u/a<b>&c.state");
        ASSERT_TRUE (written.save());
    }

    StandaloneSettings settings (file);
    EXPECT_EQ (settings.getProblem(), "");
    EXPECT_EQ (settings.getRefusedFile(), juce::File());
    ASSERT_NE (settings.getXmlValue ("audioSetup"), nullptr);
    EXPECT_EQ (settings.getXmlValue ("audioSetup")->getStringAttribute ("audioOutputDeviceName"), "Out \"1\" & <2>");
    EXPECT_EQ (settings.getXmlValue ("audioSetup")->getNumChildElements(), 2);
    EXPECT_FALSE (settings.getBoolValue ("shouldMuteInput", true));
    EXPECT_EQ (settings.getValue ("filterState").length(), 24000);
    EXPECT_EQ (settings.getValue ("lastStateFile"), "/home/u/a<b>&c.state");

    // Written back, the framework reads the same.
    settings.setValue ("windowX", 120);
    ASSERT_TRUE (settings.save().wasOk());

    juce::PropertiesFile::Options options;
    juce::PropertiesFile reread (file, options);
    EXPECT_EQ (reread.getAllProperties(), settings.getAllProperties());
    EXPECT_EQ (reread.getIntValue ("windowX"), 120);
}

TEST_F (StandaloneSettingsTest, ChangesAreWrittenWhenTheyStopAndWhenTheAppEnds)
{
    {
        StandaloneSettings settings (file);
        settings.setValue ("windowY", 7);
        EXPECT_FALSE (file.exists()) << "not at every change";
    }

    ASSERT_TRUE (file.existsAsFile());
    EXPECT_EQ (StandaloneSettings (file).getIntValue ("windowY"), 7);

    // Reading is no change: an untouched file stays as it was.
    ASSERT_TRUE (file.setLastModificationTime (juce::Time (2000, 0, 1, 0, 0)));
    {
        StandaloneSettings settings (file);
    }
    EXPECT_EQ (file.getLastModificationTime(), juce::Time (2000, 0, 1, 0, 0));
}

// Settings files that crashed the app on every start, hung it with no window, or ate memory:
// refused before they are parsed, kept aside, the app starts with its defaults.
TEST_F (StandaloneSettingsTest, HostileFilesAreRefusedAndKeptAside)
{
    const std::pair<const char*, const char*> cases[] = {
        { "settings-entity-recursion.settings", "holds a document type declaration (DTD)" },
        { "settings-instruction-then-text.settings", "holds a processing instruction inside an element" },
        { "settings-dtd-dev-zero.settings", "holds a document type declaration (DTD)" },
    };

    for (const auto& [name, problem] : cases)
    {
        SCOPED_TRACE (name);
        ASSERT_TRUE (hostileFile (name).copyFileTo (file));

        StandaloneSettings settings (file);
        EXPECT_EQ (settings.getProblem(), problem);
        EXPECT_TRUE (settings.getAllProperties().size() == 0);
        EXPECT_FALSE (file.exists());
        EXPECT_EQ (settings.getRefusedFile(), file.getSiblingFile ("Vardeko QX2710.settings.refused"));
        EXPECT_TRUE (settings.getRefusedFile().hasIdenticalContentTo (hostileFile (name)));
    }

    // Not the framework's format.
    ASSERT_TRUE (file.replaceWithText ("<molvekPatch/>"));
    EXPECT_EQ (StandaloneSettings (file).getProblem(), "is not a settings file");
}

TEST_F (StandaloneSettingsTest, AValueTheFrameworkWouldParseIsLeftOutWhenRefused)
{
    // The audio setup is read back with the framework's parser: held as text, it is checked too.
    ASSERT_TRUE (hostileFile ("settings-audio-setup-entity.settings").copyFileTo (file));

    StandaloneSettings settings (file);
    EXPECT_EQ (settings.getProblem(), "holds values that were left out: \"audioSetup\" holds a document type declaration (DTD)");
    EXPECT_FALSE (settings.containsKey ("audioSetup"));
    EXPECT_TRUE (settings.getBoolValue ("shouldMuteInput", false));
    EXPECT_EQ (settings.getXmlValue ("audioSetup"), nullptr);
    EXPECT_TRUE (file.existsAsFile()) << "the rest is in use";

    // The parser finds a DTD anywhere in a text, not only at its start.
    ASSERT_TRUE (file.replaceWithText ("<PROPERTIES><VALUE name=\"audioSetup\" val=\"x&lt;!DOCTYPE a [&lt;!ENTITY b &quot;x&amp;b;&quot;&gt;]&gt;&lt;a&gt;&amp;b;&lt;/a&gt;\"/></PROPERTIES>"));
    EXPECT_EQ (StandaloneSettings (file).getProblem(), "holds values that were left out: \"audioSetup\" is not XML");
}

TEST_F (StandaloneSettingsTest, AFifoIsNeverWaitedFor)
{
#if JUCE_WINDOWS
    GTEST_SKIP() << "no FIFOs in folders on Windows";
#else
    ScopedFifo fifo (file);
    ASSERT_TRUE (fifo.exists());

    const auto problem = fifo.finishesWithin (5000, [this]
                                              { return StandaloneSettings (file).getProblem(); });
    ASSERT_TRUE (problem.has_value()) << "waited for a writer";
    EXPECT_EQ (*problem, "is not a regular file");
#endif
}
