#include "processor/PatchDocumentReader.h"
#include "ProcessorTestHelpers.h"
#include "ScopedFifo.h"
#include "cli/ProcessorSetup.h"

using namespace ProcessorTest;

namespace
{
juce::File hostileFile (const char* name)
{
    return juce::File (VARDEKO_TEST_DATA_DIR).getChildFile ("hostile").getChildFile (name);
}

juce::MemoryBlock envelope (const std::string& text, juce::uint32 announced, bool terminated = true)
{
    juce::MemoryOutputStream out;
    out.writeInt (0x21324356);
    out.writeInt ((int) announced);
    out.write (text.data(), text.size());

    if (terminated)
        out.writeByte (0);

    return out.getMemoryBlock();
}

juce::MemoryBlock envelope (const std::string& text)
{
    return envelope (text, (juce::uint32) text.size());
}

PatchDocumentReader::Result readText (const std::string& text)
{
    return PatchDocumentReader::fromFileContents (text.data(), text.size());
}

// A processor whose state differs from the defaults everywhere a document can reach.
void makeDistinct (VardekoQX2710AudioProcessor& processor)
{
    for (int slot = 0; slot < processor.getNumPrograms(); ++slot)
    {
        processor.setCurrentProgram (slot);
        processor.setActiveChannel (slot % 2);
        processor.setCurrentPresetPath ("Slot " + juce::String (slot) + ".mvkp");
        setValue (processor, HostParameters::tone, 0.01f * (float) slot);
    }

    processor.setCurrentProgram (7);
}

juce::MemoryBlock fullState (VardekoQX2710AudioProcessor& processor)
{
    juce::MemoryBlock state;
    processor.getStateInformation (state);
    return state;
}

std::array<float, 8> liveValues (VardekoQX2710AudioProcessor& processor)
{
    std::array<float, 8> values {};

    for (int k = 0; k < 8; ++k)
        values[(size_t) k] = getValue (processor, k);

    return values;
}

std::string nested (int depth)
{
    std::string text;

    for (int i = 0; i < depth; ++i)
        text += i == 0 ? "<molvekPatch>" : "<a>";

    for (int i = depth; --i >= 0;)
        text += i == 0 ? "</molvekPatch>" : "</a>";

    return text;
}

// An element with count attributes named a0, a1, ... (distinct) or all named a (repeated).
std::string attributes (int count, bool distinct)
{
    std::string text = "<molvekPatch";

    for (int i = 0; i < count; ++i)
        text += " a" + (distinct ? std::to_string (i) : std::string()) + "=\"\"";

    return text + "/>";
}

std::string attributeWithReferences (int count)
{
    std::string value;

    for (int i = 0; i < count; ++i)
        value += "&amp;";

    return "<molvekPatch a=\"" + value + "\"/>";
}
} // namespace

//==============================================================================
// Inputs that crashed, hung or over-read the framework's parser: each is refused before it is
// parsed, and the processor keeps everything it had.
TEST (PatchDocumentReader, HostileStateBlobsChangeNothing)
{
    const struct
    {
        const char* file;
        const char* problem;
    } cases[] = {
        { "state-entity-recursion.bin", "holds a document type declaration (DTD)" },
        { "program-state-invalid-utf8.bin", "is not valid UTF-8 text" },
        { "state-nul-byte.bin", "holds a NUL byte" },
        { "state-instruction-then-text.bin", "holds a processing instruction inside an element" },
        { "state-instruction-found-by-fuzzing.bin", "holds a processing instruction inside an element" },
        { "state-invalid-utf8-found-by-fuzzing.bin", "announces 673 bytes of text but holds 662" },
        { "state-entity-over-read-found-by-fuzzing.bin", "is not valid UTF-8 text" },
        { "state-space-over-read-found-by-fuzzing.bin", "announces 673 bytes of text but holds 69" },
        { "state-64000-attribute-names.bin", "holds more than 64 different attribute names" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.file);
        juce::MemoryBlock blob;
        ASSERT_TRUE (hostileFile (c.file).loadFileAsData (blob));

        EXPECT_EQ (juce::String (c.problem), PatchDocumentReader::fromHostState (blob.getData(), (int) blob.getSize()).problem);

        VardekoQX2710AudioProcessor processor;
        makeDistinct (processor);
        const auto before = fullState (processor);
        const auto values = liveValues (processor);

        processor.setStateInformation (blob.getData(), (int) blob.getSize());
        processor.setCurrentProgramStateInformation (blob.getData(), (int) blob.getSize());

        EXPECT_EQ (7, processor.getCurrentProgram());
        EXPECT_TRUE (before == fullState (processor));
        EXPECT_EQ (values, liveValues (processor));
    }
}

TEST (PatchDocumentReader, HostilePresetFilesAreRefusedWithTheirReason)
{
    const struct
    {
        const char* file;
        const char* problem;
    } cases[] = {
        { "entity-recursion.mvkp", "holds a document type declaration (DTD)" },
        { "external-entity.mvkp", "holds a document type declaration (DTD)" },
        { "nul-byte.mvkp", "holds a NUL byte" },
        { "instruction-then-text.mvkp", "holds a processing instruction inside an element" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.file);
        const auto file = hostileFile (c.file);
        EXPECT_EQ (juce::String (c.problem), PatchDocumentReader::fromFile (file).problem);

        // The renderer's way in: a message naming the file and the reason, nothing applied.
        VardekoQX2710AudioProcessor processor;
        setValue (processor, HostParameters::level, 0.25f);
        juce::StringArray warnings;
        const auto status = ProcessorSetup::loadPreset (processor, file, warnings);

        EXPECT_EQ (RenderStatus::runtimeFailure, status.exitCode);
        EXPECT_EQ ("not a preset file (" + juce::String (c.problem) + "): " + file.getFullPathName(), status.message);
        EXPECT_EQ (0.25f, getValue (processor, HostParameters::level));
    }
}

//==============================================================================
TEST (PatchDocumentReader, AcceptsOnlyTextTheParserCannotMisread)
{
    const auto preset = std::string ("<molvekPatch version=\"1.0\"><DeviceName>Vardeko QX2710</DeviceName>"
                                     "<Properties deviceProductID=\"com.molvek.VardekoQX2710\"/></molvekPatch>");
    const std::string nul (1, '\0');

    const struct
    {
        const char* name;
        std::string text;
        const char* problem; // empty: accepted
    } cases[] = {
        { "a plain document", preset, "" },
        { "declaration, comments, instructions and CDATA", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!-- saved -->\n<?pi x?><molvekPatch a='x'><!-- c --><![CDATA[<&>]]>text<!-- c -->text</molvekPatch>", "" },
        { "instruction inside an element", "<molvekPatch><?x?>a</molvekPatch>", "holds a processing instruction inside an element" },
        { "all predefined and numeric references", "<molvekPatch a=\"&amp;&lt;&gt;&quot;&apos;&#10;&#x1F3B8;&#X41;&AMP;\">&#1114111;&amp;</molvekPatch>", "" },
        { "non-ASCII text", "<molvekPatch a=\"Crunch \xc3\xa4\xe2\x82\xac\xf0\x9f\x8e\xb8\"/>", "" },
        { "anything after the root element", preset + "<!DOCTYPE x><<<&bogus;", "" },
        { "sixteen levels", nested (16), "" },
        { "empty", "", "is empty" },
        { "only white space", " \n\t", "holds no element" },
        { "not XML", "not a document", "is not XML" },
        { "DTD", "<!DOCTYPE molvekPatch><molvekPatch/>", "holds a document type declaration (DTD)" },
        { "DTD in lower case", "<?xml version=\"1.0\"?><!doctype x><molvekPatch/>", "holds a document type declaration (DTD)" },
        { "other declaration", "<!ENTITY x \"y\"><molvekPatch/>", "holds a markup declaration" },
        { "declaration inside", "<molvekPatch><!ENTITY x \"y\"></molvekPatch>", "holds a markup declaration" },
        { "undeclared entity", "<molvekPatch>&b;</molvekPatch>", "holds an entity reference other than &amp; &lt; &gt; &quot; &apos;" },
        { "entity in an attribute", "<molvekPatch a=\"&b;\"/>", "holds an entity reference other than &amp; &lt; &gt; &quot; &apos;" },
        { "bare ampersand", "<molvekPatch>a & b</molvekPatch>", "holds an entity reference other than &amp; &lt; &gt; &quot; &apos;" },
        { "reference to NUL", "<molvekPatch>&#0;</molvekPatch>", "holds a character reference outside Unicode" },
        { "reference past Unicode", "<molvekPatch>&#x110000;</molvekPatch>", "holds a character reference outside Unicode" },
        { "reference to a surrogate", "<molvekPatch>&#xD800;</molvekPatch>", "holds a character reference outside Unicode" },
        { "reference without digits", "<molvekPatch>&#x;</molvekPatch>", "holds a malformed character reference" },
        { "reference with 13 digits", "<molvekPatch>&#0000000000065;</molvekPatch>", "holds a malformed character reference" },
        { "unterminated hex reference", "<molvekPatch>&#x41</molvekPatch>", "holds a malformed character reference" },
        { "NUL byte", "<molvekPatch>" + nul + "</molvekPatch>", "holds a NUL byte" },
        { "lone continuation byte", "<molvekPatch a=\"\x80\"/>", "is not valid UTF-8 text" },
        { "overlong slash", "<molvekPatch a=\"\xc0\xaf\"/>", "is not valid UTF-8 text" },
        { "encoded surrogate", "<molvekPatch a=\"\xed\xa0\x80\"/>", "is not valid UTF-8 text" },
        { "past Unicode", "<molvekPatch a=\"\xf4\x90\x80\x80\"/>", "is not valid UTF-8 text" },
        { "truncated at the end", "<molvekPatch/>\xf0\x9f", "is not valid UTF-8 text" },
        { "Latin-1", "<molvekPatch a=\"Caf\xe9\"/>", "is not valid UTF-8 text" },
        { "seventeen levels", nested (17), "nests elements too deeply" },
        { "'<' in an attribute", "<molvekPatch a=\"<b>\"/>", "holds '<' in an attribute value" },
        { "unquoted attribute", "<molvekPatch a=1/>", "holds a malformed tag" },
        { "attributes without space", "<molvekPatch a=\"1\"b=\"2\"/>", "holds a malformed tag" },
        { "space after '<'", "<molvekPatch>< a/></molvekPatch>", "holds a stray '<'" },
        { "unterminated comment", "<molvekPatch><!-- x</molvekPatch>", "holds an unterminated comment" },
        { "unterminated CDATA", "<molvekPatch><![CDATA[x</molvekPatch>", "holds an unterminated CDATA section" },
        { "unterminated instruction", "<?xml version=\"1.0\"<molvekPatch/>", "holds an unterminated processing instruction" },
        { "unclosed root", "<molvekPatch><Properties/>", "ends inside an element" },
        { "references at the limit", attributeWithReferences (PatchDocumentReader::maximumReferencesPerAttribute), "" },
        { "too many references", attributeWithReferences (PatchDocumentReader::maximumReferencesPerAttribute + 1), "holds too many character references in one attribute" },
        { "attribute at its limit", "<molvekPatch a=\"" + std::string (PatchDocumentReader::maximumAttributeBytes, 'x') + "\"/>", "" },
        { "attribute over its limit", "<molvekPatch a=\"" + std::string (PatchDocumentReader::maximumAttributeBytes + 1, 'x') + "\"/>", "holds an attribute value longer than 16 KB" },
        { "attribute names at their limit", attributes (PatchDocumentReader::maximumAttributeNames, true), "" },
        { "one name used a thousand times", attributes (1000, false), "" },
        { "one attribute name too many", attributes (PatchDocumentReader::maximumAttributeNames + 1, true), "holds more than 64 different attribute names" },
        { "text at the size limit", "<molvekPatch>" + std::string (PatchDocumentReader::maximumDocumentBytes - 27, 'x') + "</molvekPatch>", "" },
        { "text over the size limit", "<molvekPatch>" + std::string (PatchDocumentReader::maximumDocumentBytes - 26, 'x') + "</molvekPatch>", "is larger than 512 KB" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto result = readText (c.text);
        EXPECT_EQ (juce::String (c.problem), result.problem);
        EXPECT_EQ (juce::String (c.problem).isEmpty(), result.document != nullptr);

        // The same text in a host state envelope meets the same rules.
        const auto blob = envelope (c.text);
        EXPECT_EQ (juce::String (c.text.empty() ? "announces 0 bytes of text but holds 1" : c.problem),
                   PatchDocumentReader::fromHostState (blob.getData(), (int) blob.getSize()).problem);
    }
}

TEST (PatchDocumentReader, ReadsTextAsTheParserDoes)
{
    const auto result = readText ("<?xml version=\"1.0\"?><molvekPatch a=\"&amp;&#x1F3B8;&quot;\"><!-- c --><Value>0.5&lt;</Value><![CDATA[<&>]]></molvekPatch>");
    ASSERT_NE (nullptr, result.document);
    EXPECT_EQ (juce::String ("molvekPatch"), result.document->getTagName());
    EXPECT_EQ (juce::String (juce::CharPointer_UTF8 ("&\xf0\x9f\x8e\xb8\"")), result.document->getStringAttribute ("a"));
    ASSERT_NE (nullptr, result.document->getChildByName ("Value"));
    EXPECT_EQ (juce::String ("0.5<"), result.document->getChildByName ("Value")->getAllSubText());
    EXPECT_EQ (juce::String ("0.5<<&>"), result.document->getAllSubText());
}

TEST (PatchDocumentReader, TheEnvelopeMustHoldWhatItAnnounces)
{
    const std::string text = "<molvekPatch/>";
    const auto size = (juce::uint32) text.size();

    const struct
    {
        const char* name;
        juce::MemoryBlock blob;
        int sizeGiven; // -1: the blob's size
        const char* problem;
    } cases[] = {
        { "as the framework writes it", envelope (text, size), -1, "" },
        { "without the terminating zero", envelope (text, size, false), -1, "" },
        { "terminating zero counted", envelope (text, size + 1), -1, "" },
        { "announces more than it holds", envelope (text, size + 2), -1, "announces 16 bytes of text but holds 15" },
        { "announces 4 GB", envelope (text, 0xffffffffu), -1, "announces 4294967295 bytes of text but holds 15" },
        { "announces nothing", envelope (text, 0), -1, "announces 0 bytes of text but holds 15" },
        { "cut by the host", envelope (text, size), 12, "announces 14 bytes of text but holds 4" },
        { "a negative size", envelope (text, size), -5, "is not a saved state of this plug-in" },
        { "only the header", envelope ("", 0, false), -1, "is not a saved state of this plug-in" },
        { "another magic number", juce::MemoryBlock ("VC2?\x0e\0\0\0<molvekPatch/>", 22), -1, "is not a saved state of this plug-in" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto given = c.sizeGiven == -1 ? (int) c.blob.getSize() : c.sizeGiven;
        const auto result = PatchDocumentReader::fromHostState (c.blob.getData(), given);
        EXPECT_EQ (juce::String (c.problem), result.problem);
        EXPECT_EQ (juce::String (c.problem).isEmpty(), result.document != nullptr);
    }

    EXPECT_EQ (juce::String ("is not a saved state of this plug-in"), PatchDocumentReader::fromHostState (nullptr, 100).problem);
}

//==============================================================================
// Everything the product writes must come back: odd characters in preset paths, both host
// state shapes and the preset file, in the encodings a text editor may save a preset in.
TEST (PatchDocumentReader, ReadsEverythingTheProductWrites)
{
    VardekoQX2710AudioProcessor source;
    makeDistinct (source);
    const juce::String oddPath (juce::CharPointer_UTF8 ("Le\xc3\xa4" "d & \"Crunch\" <1> 'b'\t\x01\r\n\xf0\x9f\x8e\xb8/x.mvkp"));
    source.setCurrentPresetPath (oddPath);
    setValue (source, HostParameters::overdriveType, 0.75f);

    // Host state, both shapes, through a second processor.
    juce::MemoryBlock full, slot;
    source.getStateInformation (full);
    source.getCurrentProgramStateInformation (slot);
    ASSERT_TRUE (PatchDocumentReader::fromHostState (full.getData(), (int) full.getSize()).problem.isEmpty());
    ASSERT_TRUE (PatchDocumentReader::fromHostState (slot.getData(), (int) slot.getSize()).problem.isEmpty());

    VardekoQX2710AudioProcessor restored;
    restored.setStateInformation (full.getData(), (int) full.getSize());
    EXPECT_EQ (7, restored.getCurrentProgram());
    EXPECT_EQ (oddPath, restored.getCurrentPresetPath());
    EXPECT_TRUE (full == fullState (restored));

    VardekoQX2710AudioProcessor programOnly;
    programOnly.setCurrentProgram (7);
    programOnly.setCurrentProgramStateInformation (slot.getData(), (int) slot.getSize());
    EXPECT_EQ (oddPath, programOnly.getCurrentPresetPath());
    EXPECT_EQ (0.75f, getValue (programOnly, HostParameters::overdriveType));

    // The preset file as the framework's writer saves it, and as an editor may re-save it.
    juce::XmlElement document ("x");
    source.createPatchDocument (document, true);
    const auto text = document.toString();
    // A copy: converting the text to UTF-16 below reallocates the string's own bytes.
    const juce::MemoryBlock utf8 (text.toRawUTF8(), text.getNumBytesAsUTF8());

    juce::MemoryBlock withMark ("\xef\xbb\xbf", 3);
    withMark.append (utf8.getData(), utf8.getSize());

    juce::MemoryBlock littleEndian ("\xff\xfe", 2), bigEndian ("\xfe\xff", 2);
    const auto utf16 = text.toUTF16();

    for (const auto* unit = reinterpret_cast<const juce::uint16*> (utf16.getAddress()); *unit != 0; ++unit)
    {
        const char le[] = { (char) (*unit & 0xff), (char) (*unit >> 8) };
        const char be[] = { (char) (*unit >> 8), (char) (*unit & 0xff) };
        littleEndian.append (le, 2);
        bigEndian.append (be, 2);
    }

    for (const auto& [name, bytes] : { std::pair<const char*, juce::MemoryBlock> { "UTF-8", utf8 },
                                       { "UTF-8 with byte-order mark", withMark },
                                       { "UTF-16 little-endian", littleEndian },
                                       { "UTF-16 big-endian", bigEndian } })
    {
        SCOPED_TRACE (name);
        auto result = PatchDocumentReader::fromFileContents (bytes.getData(), bytes.getSize());
        ASSERT_TRUE (result.problem.isEmpty()) << result.problem;
        EXPECT_TRUE (result.document->isEquivalentTo (&document, false));

        VardekoQX2710AudioProcessor target;
        EXPECT_EQ (1, target.loadPatchDocument (std::move (result.document), true));
        EXPECT_EQ (0.75f, getValue (target, HostParameters::overdriveType));
    }

    juce::MemoryBlock oddLength (littleEndian);
    oddLength.append ("x", 1);
    EXPECT_EQ (juce::String ("is not valid UTF-16 text"), PatchDocumentReader::fromFileContents (oddLength.getData(), oddLength.getSize()).problem);

    const char loneSurrogate[] = "\xff\xfe<\0a\0\x00\xd8/\0>\0";
    EXPECT_EQ (juce::String ("is not valid UTF-16 text"), PatchDocumentReader::fromFileContents (loneSurrogate, sizeof (loneSurrogate) - 1).problem);
}

TEST (PatchDocumentReader, ReadsFilesWithinABound)
{
    const auto folder = juce::File::createTempFile ("vardeko-reader");
    ASSERT_TRUE (folder.createDirectory().wasOk());

    // A file far over the limit is not read to its end.
    const auto large = folder.getChildFile ("large.mvkp");
    {
        juce::FileOutputStream out (large);
        out << "<molvekPatch>";
        out.writeRepeatedByte ('x', 4 * PatchDocumentReader::maximumDocumentBytes);
        out << "</molvekPatch>";
    }

    EXPECT_EQ (juce::String ("is larger than 512 KB"), PatchDocumentReader::fromFile (large).problem);
    EXPECT_TRUE (PatchDocumentReader::fromFile (folder.getChildFile ("missing.mvkp")).problem.startsWith ("cannot be read"));

#if JUCE_LINUX
    // A device that never ends, a FIFO that nobody writes to: neither is read or waited for.
    EXPECT_EQ (juce::String ("is not a regular file"), PatchDocumentReader::fromFile (juce::File ("/dev/zero")).problem);

    ScopedFifo fifo (folder.getChildFile ("x.mvkp"));
    ASSERT_TRUE (fifo.exists());
    const auto read = fifo.finishesWithin (5000, [&fifo]
                                           { return PatchDocumentReader::fromFile (fifo.getFile()).problem; });
    ASSERT_TRUE (read.has_value()) << "waited for a writer";
    EXPECT_EQ (juce::String ("is not a regular file"), *read);

    // A link to a regular file is read.
    ASSERT_TRUE (large.createSymbolicLink (folder.getChildFile ("link.mvkp"), true));
    EXPECT_EQ (juce::String ("is larger than 512 KB"), PatchDocumentReader::fromFile (folder.getChildFile ("link.mvkp")).problem);
#endif

    folder.deleteRecursively();
}

//==============================================================================
// What a host receives from getStateInformation must always load again: every preset path at
// its longest, made of the characters the writer stores as the longest references.
TEST (PatchDocumentReader, TheLargestStateTheProductWritesIsReadBack)
{
    constexpr auto longest = PatchDocument::maximumPresetPathLength;
    const auto widest = juce::String::repeatedString (juce::String::charToString ((juce::juce_wchar) 0x10ffff), longest);
    const auto quotes = juce::String::repeatedString ("\"", longest);

    VardekoQX2710AudioProcessor source;

    for (int slot = 0; slot < source.getNumPrograms(); ++slot)
    {
        source.setCurrentProgram (slot);

        for (int channel = 0; channel < 2; ++channel)
        {
            source.setActiveChannel (channel);
            source.setCurrentPresetPath (channel == 0 ? widest : quotes);
            ASSERT_EQ (longest, source.getCurrentPresetPath().length());
        }
    }

    const auto state = fullState (source);
    EXPECT_LT (state.getSize(), PatchDocumentReader::maximumDocumentBytes);

    VardekoQX2710AudioProcessor restored;
    restored.setStateInformation (state.getData(), (int) state.getSize());
    EXPECT_TRUE (state == fullState (restored));
    EXPECT_EQ (quotes, restored.getPresetPath (1));

    // A longer path cannot name a preset: it is stored as no path, from a document as from
    // the preset menu, and everything else in the document still loads.
    const auto tooLong = juce::String::repeatedString ("a", longest + 1);
    source.setCurrentPresetPath (tooLong);
    EXPECT_EQ (juce::String(), source.getCurrentPresetPath());

    const auto document = "<molvekPatch><Properties a=\"\" b=\"\" c=\"\" activeChannel=\"1\"><Channel channel=\"0\" presetPath=\"" + tooLong.toStdString()
                          + "\"/><Channel channel=\"1\" presetPath=\"" + tooLong.toStdString() + "\"><Value property=\"tone\">0.125</Value></Channel></Properties></molvekPatch>";
    const auto blob = envelope (document);
    restored.setCurrentProgramStateInformation (blob.getData(), (int) blob.getSize());
    EXPECT_EQ (juce::String(), restored.getPresetPath (0));
    EXPECT_EQ (juce::String(), restored.getPresetPath (1));
    EXPECT_EQ (1, restored.getActiveChannel());
    EXPECT_EQ (0.125f, getValue (restored, HostParameters::tone));
}
