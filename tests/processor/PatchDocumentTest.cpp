#include "processor/PatchDocument.h"
#include "ProcessorTestHelpers.h"
#include "processor/ProductInfo.h"

#include <clocale>

using namespace ProcessorTest;

namespace
{
juce::String singleLine (const juce::XmlElement& e)
{
    return e.toString (juce::XmlElement::TextFormat().singleLine().withoutHeader());
}

// A document as written by this build, which carries the product's version.
juce::String withVersion (const juce::String& text)
{
    return text.replace ("@version@", ProductInfo::version);
}

std::unique_ptr<juce::XmlElement> parse (const juce::String& text)
{
    return juce::parseXML (text);
}

juce::String presetFile (const juce::String& productId, const juce::String& presetVersion, const juce::String& values)
{
    return "<molvekPatch version=\"1.0\"><DeviceName>Vardeko QX2710</DeviceName>"
           "<Properties deviceProductID=\""
           + productId + "\" deviceVersion=\"1.0.6\"" + (presetVersion.isEmpty() ? juce::String() : " presetVersion=\"" + presetVersion + "\"") + ">" + values + "</Properties></molvekPatch>";
}

juce::String value (const char* id, const char* text)
{
    return juce::String ("<Value property=\"") + id + "\" type=\"number\">" + text + "</Value>";
}

// The slot table as plain numbers, for comparing before and after.
std::vector<float> snapshot (VardekoQX2710AudioProcessor& p)
{
    std::vector<float> all;
    const auto program = p.getCurrentProgram();

    for (int slot = 0; slot < 12; ++slot)
    {
        p.setCurrentProgram (slot);
        const auto channel = p.getActiveChannel();

        for (int c = 0; c < 2; ++c)
        {
            p.setActiveChannel (c);
            for (int k = 0; k < 8; ++k)
                all.push_back (getValue (p, k));
            all.push_back (p.getCurrentPresetPath().hashCode());
        }

        p.setActiveChannel (channel);
        all.push_back ((float) channel);
    }

    p.setCurrentProgram (program);
    return all;
}
} // namespace

TEST (PatchDocument, PresetFileWithDefaultValuesIsWrittenExactly)
{
    VardekoQX2710AudioProcessor processor;
    juce::XmlElement document ("x");
    processor.createPatchDocument (document, true);

    EXPECT_EQ (withVersion (
                   "<molvekPatch version=\"1.0\"><DeviceName>Vardeko QX2710</DeviceName>"
                   "<Properties deviceProductID=\"com.molvek.VardekoQX2710\" deviceVersion=\"@version@\" presetVersion=\"1.0\">"
                   "<Value property=\"onBypass\" type=\"boolean\">true</Value>"
                   "<Value property=\"inputVol\" type=\"number\">0.50000</Value>"
                   "<Value property=\"overdriveType\" type=\"number\">0</Value>"
                   "<Value property=\"overdrive\" type=\"number\">0.50000</Value>"
                   "<Value property=\"tone\" type=\"number\">0.50000</Value>"
                   "<Value property=\"level\" type=\"number\">0.50000</Value>"
                   "<Value property=\"dryWet\" type=\"number\">1.00000</Value>"
                   "<Value property=\"oversampling\" type=\"number\">0</Value>"
                   "</Properties></molvekPatch>"),
               singleLine (document));
}

TEST (PatchDocument, SlotDocumentIsWrittenExactly)
{
    VardekoQX2710AudioProcessor processor;
    setValue (processor, HostParameters::onBypass, 0.0f);
    setValue (processor, HostParameters::overdriveType, 0.6f);
    setValue (processor, HostParameters::oversampling, 0.6666667f);
    setValue (processor, HostParameters::overdrive, 0.123456f);
    processor.setCurrentPresetPath ("Lead/Solo.mvkp");
    processor.setActiveChannel (1);
    setValue (processor, HostParameters::level, 1.0f);

    juce::XmlElement document ("x");
    processor.createSlotDocument (document);

    EXPECT_EQ (withVersion (
                   "<molvekPatch version=\"1.0\"><DeviceName>Vardeko QX2710</DeviceName>"
                   "<Properties deviceProductID=\"com.molvek.VardekoQX2710\" deviceVersion=\"@version@\" presetVersion=\"1.0\" activeChannel=\"1\">"
                   "<Channel channel=\"0\" presetPath=\"Lead/Solo.mvkp\">"
                   "<Value property=\"onBypass\" type=\"boolean\">false</Value>"
                   "<Value property=\"inputVol\" type=\"number\">0.50000</Value>"
                   "<Value property=\"overdriveType\" type=\"number\" value=\"0.6\">3</Value>"
                   "<Value property=\"overdrive\" type=\"number\">0.12346</Value>"
                   "<Value property=\"tone\" type=\"number\">0.50000</Value>"
                   "<Value property=\"level\" type=\"number\">0.50000</Value>"
                   "<Value property=\"dryWet\" type=\"number\">1.00000</Value>"
                   "<Value property=\"oversampling\" type=\"number\">2</Value>"
                   "</Channel>"
                   "<Channel channel=\"1\" presetPath=\"Init.mvkp\">"
                   "<Value property=\"onBypass\" type=\"boolean\">true</Value>"
                   "<Value property=\"inputVol\" type=\"number\">0.50000</Value>"
                   "<Value property=\"overdriveType\" type=\"number\">0</Value>"
                   "<Value property=\"overdrive\" type=\"number\">0.50000</Value>"
                   "<Value property=\"tone\" type=\"number\">0.50000</Value>"
                   "<Value property=\"level\" type=\"number\">1.00000</Value>"
                   "<Value property=\"dryWet\" type=\"number\">1.00000</Value>"
                   "<Value property=\"oversampling\" type=\"number\">0</Value>"
                   "</Channel></Properties></molvekPatch>"),
               singleLine (document));
}

TEST (PatchDocument, FullStateHoldsEverySlotInOrder)
{
    VardekoQX2710AudioProcessor processor;
    processor.setCurrentProgram (7);

    juce::XmlElement document ("x");
    processor.createPatchDocument (document, false);

    auto* properties = document.getChildByName ("Properties");
    ASSERT_NE (nullptr, properties);
    EXPECT_EQ (juce::String ("activePreset"), properties->getAttributeName (3));
    EXPECT_EQ (juce::String ("7"), properties->getAttributeValue (3));
    ASSERT_EQ (12, properties->getNumChildElements());

    int i = 0;
    for (auto* preset : properties->getChildIterator())
    {
        EXPECT_EQ (juce::String ("Preset"), preset->getTagName());
        EXPECT_EQ (juce::String ("preset"), preset->getAttributeName (0));
        EXPECT_EQ (juce::String (i), preset->getAttributeValue (0));
        EXPECT_EQ (juce::String ("activeChannel"), preset->getAttributeName (1));
        ASSERT_EQ (2, preset->getNumChildElements());
        EXPECT_EQ (8, preset->getChildElement (1)->getNumChildElements());
        ++i;
    }
}

TEST (PatchDocument, FullStateRoundTrip)
{
    VardekoQX2710AudioProcessor source;

    for (int slot = 0; slot < 12; ++slot)
    {
        source.setCurrentProgram (slot);

        for (int c = 0; c < 2; ++c)
        {
            source.setActiveChannel (c);
            for (int k = 1; k < 8; ++k)
                setValue (source, k, (float) ((slot * 17 + c * 5 + k * 3) % 97) / 96.0f);
            setValue (source, HostParameters::onBypass, (slot + c) % 3 == 0 ? 0.0f : 0.7f);
            source.setCurrentPresetPath ("Folder " + juce::String (slot) + "/P" + juce::String (c) + ".mvkp");
        }

        source.setActiveChannel (slot % 2);
    }

    source.setCurrentProgram (9);

    juce::MemoryBlock state;
    source.getStateInformation (state);

    VardekoQX2710AudioProcessor restored;
    restored.setStateInformation (state.getData(), (int) state.getSize());

    EXPECT_EQ (9, restored.getCurrentProgram());

    for (int slot = 0; slot < 12; ++slot)
    {
        source.setCurrentProgram (slot);
        restored.setCurrentProgram (slot);
        EXPECT_EQ (source.getActiveChannel(), restored.getActiveChannel()) << slot;

        for (int c = 0; c < 2; ++c)
        {
            source.setActiveChannel (c);
            restored.setActiveChannel (c);
            EXPECT_EQ (source.getCurrentPresetPath(), restored.getCurrentPresetPath());

            for (int k = 0; k < 8; ++k)
            {
                // Continuous values to five decimals, stepped ones exactly, on a step or not.
                const auto original = getValue (source, k);
                const auto tolerance = HostParameters::isStepped (k) ? 0.0f : 5.0e-6f;
                EXPECT_NEAR (original, getValue (restored, k), tolerance) << "slot " << slot << " channel " << c << " value " << k;
            }
        }
    }
}

TEST (PatchDocument, SlotStateRoundTripRestoresTheCurrentSlotOnly)
{
    VardekoQX2710AudioProcessor source;
    source.setCurrentProgram (4);
    setValue (source, HostParameters::tone, 0.25f);
    source.setActiveChannel (1);
    setValue (source, HostParameters::tone, 0.75f);
    source.setCurrentPresetPath ("B.mvkp");

    juce::MemoryBlock state;
    source.getCurrentProgramStateInformation (state);

    VardekoQX2710AudioProcessor restored;
    restored.setCurrentProgram (6);
    restored.setCurrentProgramStateInformation (state.getData(), (int) state.getSize());

    EXPECT_EQ (6, restored.getCurrentProgram());
    EXPECT_EQ (1, restored.getActiveChannel());
    EXPECT_EQ (0.75f, getValue (restored, HostParameters::tone));
    EXPECT_EQ (juce::String ("B"), restored.getProgramName (6));
    restored.setActiveChannel (0);
    EXPECT_EQ (0.25f, getValue (restored, HostParameters::tone));
    restored.setCurrentProgram (4);
    VardekoQX2710AudioProcessor untouched;
    untouched.setCurrentProgram (4);
    EXPECT_EQ (getValue (untouched, HostParameters::tone), getValue (restored, HostParameters::tone));
}

TEST (PatchDocument, ReadingRules)
{
    VardekoQX2710AudioProcessor processor;

    // Names of root and "Properties" in any case; "Value" elements by position and first
    // attribute only, whatever their tag and attribute names.
    const juce::String doc = "<MOLVEKPATCH><DeviceName/><properties a=\"com.molvek.VardekoQX2710\" b=\"x\" c=\"1.0\">"
                             "<Whatever id=\"onBypass\"> true </Whatever>"
                             "<Value property=\"tone\">0.25</Value>"
                             "<Value property=\"Level\">0.9</Value>"
                             "<Value property=\"overdriveType\">3</Value>"
                             "<Value property=\"oversampling\">2</Value>"
                             "<Value property=\"overdrive\">abc</Value>"
                             "</properties></MOLVEKPATCH>";

    setValue (processor, HostParameters::onBypass, 0.0f);
    EXPECT_EQ (1, processor.loadPatchDocument (parse (doc), true));
    EXPECT_EQ (1.0f, getValue (processor, HostParameters::onBypass)) << "\" true \" reads as on";
    EXPECT_EQ (0.25f, getValue (processor, HostParameters::tone));
    EXPECT_EQ (0.5f, getValue (processor, HostParameters::level)) << "identifiers are case-sensitive";
    EXPECT_EQ (0.75f, getValue (processor, HostParameters::overdriveType));
    EXPECT_EQ (2.0f / 3.0f, getValue (processor, HostParameters::oversampling));
    EXPECT_EQ (0.0f, getValue (processor, HostParameters::overdrive)) << "non-numeric text reads as 0";

    const auto upper = presetFile ("com.molvek.VardekoQX2710", "1.0", "<Value property=\"onBypass\" type=\"boolean\">TRUE</Value>");
    EXPECT_EQ (1, processor.loadPatchDocument (parse (upper), true));
    EXPECT_EQ (0.0f, getValue (processor, HostParameters::onBypass)) << "\"TRUE\" reads as off";
}

TEST (PatchDocument, PresetFileResults)
{
    struct Case
    {
        const char* name;
        juce::String text;
        int result;
        float toneAfter;
    };

    const Case cases[] = {
        { "not a patch", "<somethingElse><Properties/></somethingElse>", 0, 0.5f },
        { "no Properties", "<molvekPatch><DeviceName>Vardeko QX2710</DeviceName></molvekPatch>", 0, 0.5f },
        { "other product", presetFile ("com.molvek.Other", "1.0", value ("tone", "0.1")), 2, 0.5f },
        { "product id differs in case", presetFile ("com.molvek.vardekoqx2710", "1.0", value ("tone", "0.1")), 2, 0.5f },
        { "current version", presetFile ("com.molvek.VardekoQX2710", "1.0", value ("tone", "0.1")), 1, 0.1f },
        { "no preset version", presetFile ("com.molvek.VardekoQX2710", "", value ("tone", "0.2")), 1, 0.2f },
        { "newer version", presetFile ("com.molvek.VardekoQX2710", "1.1", value ("tone", "0.3")), 4, 0.3f },
    };

    for (const auto& c : cases)
    {
        VardekoQX2710AudioProcessor processor;
        EXPECT_EQ (c.result, processor.loadPatchDocument (parse (c.text), true)) << c.name;
        EXPECT_NEAR (c.toneAfter, getValue (processor, HostParameters::tone), 1e-7f) << c.name;
    }

    VardekoQX2710AudioProcessor processor;
    processor.setCurrentPresetPath ("Heavy/Wall.mvkp");
    EXPECT_EQ (juce::String ("\"Heavy/Wall.mvkp\"\nwas made using a newer version of Vardeko QX2710.\n"
                             "To use this preset correctly, please install the newest version from: https://www.molvek.com/downloads"),
               processor.getNewerVersionMessage());
}

TEST (PatchDocument, DocumentValuesAreKeptInRange)
{
    VardekoQX2710AudioProcessor processor;
    setValue (processor, HostParameters::tone, 0.4f);
    setValue (processor, HostParameters::overdrive, 0.6f);

    const auto doc = presetFile ("com.molvek.VardekoQX2710", "1.0", value ("tone", "nan") + value ("overdrive", "inf") + value ("level", "-2") + value ("dryWet", "1e9") + value ("overdriveType", "7") + value ("oversampling", "-1"));

    EXPECT_EQ (1, processor.loadPatchDocument (parse (doc), true));
    EXPECT_EQ (0.4f, getValue (processor, HostParameters::tone)) << "a non-finite number keeps the old value";
    EXPECT_EQ (0.6f, getValue (processor, HostParameters::overdrive));
    EXPECT_EQ (0.0f, getValue (processor, HostParameters::level));
    EXPECT_EQ (1.0f, getValue (processor, HostParameters::dryWet));
    EXPECT_EQ (1.0f, getValue (processor, HostParameters::overdriveType));
    EXPECT_EQ (0.0f, getValue (processor, HostParameters::oversampling));
}

TEST (PatchDocument, AValueBetweenStepsIsKeptExactlyBesideItsStep)
{
    // The text names the step, as every reader expects; the third attribute gives a host back
    // the exact value it set, but only inside the band of that step, so the text decides.
    struct Case
    {
        const char* what;
        juce::String element;
        int index;
        float expected;
    };

    const auto exact = [] (const char* id, const char* type, const char* exactValue, const char* text)
    {
        return juce::String ("<Value property=\"") + id + "\" type=\"" + type + "\" value=\"" + exactValue + "\">" + text + "</Value>";
    };

    const Case cases[] = {
        { "switch", exact ("onBypass", "boolean", "0.57", "true"), HostParameters::onBypass, 0.57f },
        { "switch, text says off", exact ("onBypass", "boolean", "0.57", "false"), HostParameters::onBypass, 0.0f },
        { "circuit", exact ("overdriveType", "number", "0.6", "3"), HostParameters::overdriveType, 0.6f },
        { "circuit, another band", exact ("overdriveType", "number", "0.1", "3"), HostParameters::overdriveType, 0.75f },
        { "factor", exact ("oversampling", "number", "0.40000002", "2"), HostParameters::oversampling, 0.40000002f },
        { "not a number", exact ("oversampling", "number", "nan", "2"), HostParameters::oversampling, 2.0f / 3.0f },
        { "trailing text", exact ("oversampling", "number", "0.5x", "2"), HostParameters::oversampling, 2.0f / 3.0f },
        { "beyond one", exact ("overdriveType", "number", "1.5", "4"), HostParameters::overdriveType, 1.0f },
        { "continuous values take the text", exact ("tone", "number", "0.3", "0.7"), HostParameters::tone, 0.7f },
    };

    for (const auto& c : cases)
    {
        VardekoQX2710AudioProcessor processor;
        EXPECT_EQ (1, processor.loadPatchDocument (parse (presetFile ("com.molvek.VardekoQX2710", "1.0", c.element)), true)) << c.what;
        EXPECT_EQ (c.expected, getValue (processor, c.index)) << c.what;
    }

    // Written only for a value between steps, and read back exactly in every shape.
    VardekoQX2710AudioProcessor processor;
    setValue (processor, HostParameters::onBypass, 0.57f);
    setValue (processor, HostParameters::overdriveType, 0.123456789f);
    setValue (processor, HostParameters::oversampling, 1.0f);

    juce::XmlElement preset ("x");
    processor.createPatchDocument (preset, true);
    const auto text = singleLine (preset);
    EXPECT_TRUE (text.contains ("<Value property=\"onBypass\" type=\"boolean\" value=\"0.57\">true</Value>")) << text;
    EXPECT_TRUE (text.contains ("<Value property=\"overdriveType\" type=\"number\" value=\"0.12345679\">1</Value>")) << text;
    EXPECT_TRUE (text.contains ("<Value property=\"oversampling\" type=\"number\">3</Value>")) << text;

    VardekoQX2710AudioProcessor loaded;
    loaded.loadPatchDocument (parse (text), true);
    EXPECT_EQ (0.57f, getValue (loaded, HostParameters::onBypass));
    EXPECT_EQ (0.123456789f, getValue (loaded, HostParameters::overdriveType));
    EXPECT_EQ (1.0f, getValue (loaded, HostParameters::oversampling));
}

TEST (PatchDocument, PresetDiffers)
{
    VardekoQX2710AudioProcessor processor;
    setValue (processor, HostParameters::onBypass, 0.3f); // counts as on

    juce::XmlElement saved ("x");
    processor.createPatchDocument (saved, true);
    const auto text = singleLine (saved);

    EXPECT_FALSE (processor.presetDiffers (parse (text)));

    setValue (processor, HostParameters::level, 0.5f + 2.0e-5f);
    EXPECT_TRUE (processor.presetDiffers (parse (text)));

    setValue (processor, HostParameters::level, 0.5f + 5.0e-6f);
    EXPECT_FALSE (processor.presetDiffers (parse (text)));

    setValue (processor, HostParameters::overdriveType, 0.1f); // the file holds model 0
    EXPECT_TRUE (processor.presetDiffers (parse (text)));

    // A stepped value differs only when it plays another step.
    const auto boutique = presetFile ("com.molvek.VardekoQX2710", "1.0", value ("overdriveType", "1"));
    EXPECT_FALSE (processor.presetDiffers (parse (boutique)));

    EXPECT_FALSE (processor.presetDiffers (parse ("<other/>")));
    EXPECT_FALSE (processor.presetDiffers (nullptr));
}

TEST (PatchDocument, HostileStateNeverCorruptsTheTable)
{
    VardekoQX2710AudioProcessor processor;
    setValue (processor, HostParameters::tone, 0.3f);
    const auto before = snapshot (processor);

    juce::Random random (42);

    for (int round = 0; round < 200; ++round)
    {
        juce::MemoryBlock junk ((size_t) random.nextInt (400), true);
        for (size_t i = 0; i < junk.getSize(); ++i)
            junk[i] = (char) random.nextInt (256);

        processor.setStateInformation (junk.getData(), (int) junk.getSize());
        processor.setCurrentProgramStateInformation (junk.getData(), (int) junk.getSize());
    }

    // A real state, truncated at every length, carried in a valid envelope or not.
    juce::MemoryBlock state;
    processor.getStateInformation (state);

    for (size_t cut = 0; cut < state.getSize(); cut += 7)
        processor.setStateInformation (state.getData(), (int) cut);

    juce::XmlElement document ("x");
    processor.createPatchDocument (document, false);
    const auto text = singleLine (document);

    for (int cut = 0; cut < text.length(); cut += 13)
    {
        if (auto xml = parse (text.substring (0, cut)))
        {
            juce::MemoryBlock block;
            juce::AudioProcessor::copyXmlToBinary (*xml, block);
            processor.setStateInformation (block.getData(), (int) block.getSize());
        }
    }

    processor.setCurrentProgram (0);
    EXPECT_EQ (before, snapshot (processor));

    // A document without "Properties" changes nothing.
    EXPECT_EQ (5, processor.loadPatchDocument (parse ("<molvekPatch/>"), false));
    EXPECT_TRUE (processor.loadSlotDocument (parse ("<molvekPatch/>")));
    EXPECT_FALSE (processor.loadSlotDocument (parse ("<other/>")));
    EXPECT_EQ (before, snapshot (processor));
}

TEST (PatchDocument, OversizedListsAreCutToTheTable)
{
    VardekoQX2710AudioProcessor processor;

    juce::String presets;
    for (int i = 0; i < 20; ++i)
    {
        presets << "<Preset preset=\"" << i << "\" activeChannel=\"" << (i == 3 ? 7 : -1) << "\">";
        for (int c = 0; c < 5; ++c)
            presets << "<Channel channel=\"" << c << "\" presetPath=\"S" << i << "C" << c << ".mvkp\">" << value ("tone", "0.125") << "</Channel>";
        presets << "</Preset>";
    }

    const auto doc = "<molvekPatch><DeviceName/><Properties a=\"\" b=\"\" c=\"\" activePreset=\"15\">" + presets + "</Properties></molvekPatch>";
    EXPECT_EQ (5, processor.loadPatchDocument (parse (doc), false));

    // The wanted slot does not exist: slot 0, channel 0.
    EXPECT_EQ (0, processor.getCurrentProgram());
    EXPECT_EQ (0, processor.getActiveChannel());
    EXPECT_EQ (juce::String ("S0C0"), processor.getProgramName (0));
    EXPECT_EQ (juce::String ("S11C0"), processor.getProgramName (11));

    processor.setCurrentProgram (3);
    EXPECT_EQ (0, processor.getActiveChannel()) << "a channel number outside 0..1 reads as 0";
    processor.setActiveChannel (1);
    EXPECT_EQ (juce::String ("S3C1.mvkp"), processor.getCurrentPresetPath());
    EXPECT_EQ (0.125f, getValue (processor, HostParameters::tone));

    // A full-state blob handed to the program-state path, and the reverse.
    juce::MemoryBlock full, slot;
    processor.getStateInformation (full);
    processor.getCurrentProgramStateInformation (slot);

    VardekoQX2710AudioProcessor other;
    other.setCurrentProgramStateInformation (full.getData(), (int) full.getSize());
    other.setStateInformation (slot.getData(), (int) slot.getSize());
    EXPECT_TRUE (other.getActiveChannel() == 0 || other.getActiveChannel() == 1);
    EXPECT_EQ (12, other.getNumPrograms());
}

TEST (PatchDocument, FullStateSelectsTheStoredSlotAndChannel)
{
    VardekoQX2710AudioProcessor source;
    source.setCurrentProgram (5);
    source.setActiveChannel (1);
    setValue (source, HostParameters::dryWet, 0.3f);

    juce::MemoryBlock state;
    source.getStateInformation (state);

    VardekoQX2710AudioProcessor restored;
    restored.setStateInformation (state.getData(), (int) state.getSize());
    EXPECT_EQ (5, restored.getCurrentProgram());
    EXPECT_EQ (1, restored.getActiveChannel());
    EXPECT_NEAR (0.3f, getValue (restored, HostParameters::dryWet), 5e-6f);
    EXPECT_TRUE (restored.parametersChanged.load());
}

TEST (PatchDocument, NumbersIgnoreADecimalCommaLocale)
{
    const auto* previous = std::setlocale (LC_ALL, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    ASSERT_NE (nullptr, std::setlocale (LC_ALL, "de_DE.UTF-8"));
    const auto savedGlobal = std::locale::global (std::locale ("de_DE.UTF-8"));

    VardekoQX2710AudioProcessor processor;
    juce::XmlElement document ("x");
    processor.createPatchDocument (document, true);
    EXPECT_TRUE (singleLine (document).contains (">0.50000<"));

    EXPECT_EQ (1, processor.loadPatchDocument (parse (presetFile ("com.molvek.VardekoQX2710", "1.0", value ("tone", "0.25"))), true));
    EXPECT_EQ (0.25f, getValue (processor, HostParameters::tone));

    std::locale::global (savedGlobal);
    std::setlocale (LC_ALL, saved.c_str());
}
