#include "processor/PatchDocumentReader.h"

#include <cstring>
#include <string>

namespace
{
using Byte = unsigned char;

constexpr juce::uint32 envelopeMagic = 0x21324356; // the framework's binary XML envelope
constexpr juce::uint32 largestCodePoint = 0x10ffff;

bool isSurrogate (juce::uint32 c) noexcept { return c >= 0xd800 && c <= 0xdfff; }

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF, and no NUL, which
// the parser would take for the end of the text.
const char* findEncodingProblem (const Byte* p, const Byte* end) noexcept
{
    constexpr const char* invalid = "is not valid UTF-8 text";

    while (p < end)
    {
        const auto lead = *p;

        if (lead == 0)
            return "holds a NUL byte";

        if (lead < 0x80)
        {
            ++p;
            continue;
        }

        int extra = 0;
        juce::uint32 c = 0, smallest = 0;

        if ((lead & 0xe0) == 0xc0)
        {
            extra = 1;
            c = lead & 0x1fu;
            smallest = 0x80;
        }
        else if ((lead & 0xf0) == 0xe0)
        {
            extra = 2;
            c = lead & 0x0fu;
            smallest = 0x800;
        }
        else if ((lead & 0xf8) == 0xf0)
        {
            extra = 3;
            c = lead & 0x07u;
            smallest = 0x10000;
        }
        else
        {
            return invalid;
        }

        if (end - p <= extra)
            return invalid;

        for (int i = 1; i <= extra; ++i)
        {
            if ((p[i] & 0xc0) != 0x80)
                return invalid;

            c = (c << 6) | (p[i] & 0x3fu);
        }

        if (c < smallest || c > largestCodePoint || isSurrogate (c))
            return invalid;

        p += extra + 1;
    }

    return nullptr;
}

//==============================================================================
// Walks the markup the way the framework's parser will and accepts only a subset of XML on
// which the two cannot disagree: ASCII names, quoted attribute values without '<', known
// character references, comments and CDATA, processing instructions only before the root
// element, and nothing that declares anything. Stops at the end of the root element, as the
// parser does.
class MarkupCheck
{
public:
    MarkupCheck (const Byte* start, const Byte* finish) noexcept
        : p (start)
        , end (finish)
    {
    }

    const char* run() noexcept
    {
        for (;;)
        {
            skipSpace();

            if (p == end)
                return "holds no element";

            if (const auto skipped = skipCommentOrInstruction())
            {
                if (*skipped != '\0')
                    return skipped;

                continue;
            }

            if (startsWithIgnoringCase ("<!DOCTYPE"))
                return "holds a document type declaration (DTD)";

            if (startsWith ("<!"))
                return "holds a markup declaration";

            if (atStartTag())
                return elements();

            return "is not XML";
        }
    }

private:
    static bool isSpace (Byte c) noexcept { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
    static bool isNameStart (Byte c) noexcept { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':'; }
    static bool isNameChar (Byte c) noexcept { return isNameStart (c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }

    bool startsWith (const char* text) const noexcept
    {
        const auto n = std::strlen (text);
        return (size_t) (end - p) >= n && std::memcmp (p, text, n) == 0;
    }

    bool startsWithIgnoringCase (const char* text) const noexcept
    {
        const auto n = std::strlen (text);

        if ((size_t) (end - p) < n)
            return false;

        for (size_t i = 0; i < n; ++i)
            if (juce::CharacterFunctions::toLowerCase ((juce::juce_wchar) p[i]) != juce::CharacterFunctions::toLowerCase ((juce::juce_wchar) (Byte) text[i]))
                return false;

        return true;
    }

    bool atStartTag() const noexcept { return end - p >= 2 && p[0] == '<' && isNameStart (p[1]); }

    bool skipSpace() noexcept
    {
        const auto start = p;

        while (p < end && isSpace (*p))
            ++p;

        return p != start;
    }

    void skipName() noexcept
    {
        while (p < end && isNameChar (*p))
            ++p;
    }

    // Moves past the terminator; false when the text ends first.
    bool skipPast (const char* terminator) noexcept
    {
        const auto n = std::strlen (terminator);

        for (; (size_t) (end - p) >= n; ++p)
        {
            if (std::memcmp (p, terminator, n) == 0)
            {
                p += n;
                return true;
            }
        }

        p = end;
        return false;
    }

    // Null when p is at neither; "" after skipping one; a problem when it is unterminated.
    const char* skipCommentOrInstruction() noexcept
    {
        if (startsWith ("<!--"))
        {
            p += 4;
            return skipPast ("-->") ? "" : "holds an unterminated comment";
        }

        if (startsWith ("<?"))
        {
            p += 2;
            return skipPast ("?>") ? "" : "holds an unterminated processing instruction";
        }

        return nullptr;
    }

    // At '&': the five predefined entities (in any case, as the parser reads them) and
    // numeric references to characters the parser can store.
    const char* reference() noexcept
    {
        ++p;

        for (const auto* name : { "amp;", "lt;", "gt;", "quot;", "apos;" })
        {
            if (startsWithIgnoringCase (name))
            {
                p += std::strlen (name);
                return nullptr;
            }
        }

        if (p == end || *p != '#')
            return "holds an entity reference other than &amp; &lt; &gt; &quot; &apos;";

        ++p;
        const bool hex = p < end && (*p == 'x' || *p == 'X');

        if (hex)
            ++p;

        // The parser gives up after 8 hex or 12 decimal digits and then skips a character.
        const int maximumDigits = hex ? 8 : 12;
        juce::uint32 value = 0;
        int digits = 0;

        for (; p < end && *p != ';'; ++p)
        {
            const auto digit = hex ? juce::CharacterFunctions::getHexDigitValue ((juce::juce_wchar) *p)
                                   : (*p >= '0' && *p <= '9' ? *p - '0' : -1);

            if (digit < 0 || ++digits > maximumDigits)
                return "holds a malformed character reference";

            value = value * (hex ? 16u : 10u) + (juce::uint32) digit;

            if (value > largestCodePoint)
                return "holds a character reference outside Unicode";
        }

        if (p == end || digits == 0)
            return "holds a malformed character reference";

        ++p;

        if (value == 0 || isSurrogate (value))
            return "holds a character reference outside Unicode";

        return nullptr;
    }

    // At '<' and a name; empty tells "<name/>".
    const char* startTag (bool& empty) noexcept
    {
        constexpr const char* malformed = "holds a malformed tag";

        ++p;
        skipName();

        for (;;)
        {
            const bool spaced = skipSpace();

            if (p == end)
                return malformed;

            if (*p == '>')
            {
                ++p;
                empty = false;
                return nullptr;
            }

            if (*p == '/')
            {
                if (end - p < 2 || p[1] != '>')
                    return malformed;

                p += 2;
                empty = true;
                return nullptr;
            }

            if (! spaced || ! isNameStart (*p))
                return malformed;

            skipName();
            skipSpace();

            if (p == end || *p != '=')
                return malformed;

            ++p;
            skipSpace();

            if (p == end || (*p != '"' && *p != '\''))
                return malformed;

            const auto quote = *p++;
            const auto* const valueStart = p;
            int references = 0;

            for (;;)
            {
                if (p == end)
                    return malformed;

                if ((size_t) (p - valueStart) > PatchDocumentReader::maximumAttributeBytes)
                    return "holds an attribute value longer than 16 KB";

                if (*p == quote)
                {
                    ++p;
                    break;
                }

                if (*p == '<')
                    return "holds '<' in an attribute value";

                if (*p == '&')
                {
                    if (const auto problem = reference())
                        return problem;

                    if (++references > PatchDocumentReader::maximumReferencesPerAttribute)
                        return "holds too many character references in one attribute";

                    continue;
                }

                ++p;
            }
        }
    }

    // From the root's start tag to its end tag, without recursion.
    const char* elements() noexcept
    {
        int depth = 0;

        for (;;)
        {
            bool empty = false;

            if (const auto problem = startTag (empty))
                return problem;

            if (empty && depth == 0)
                return nullptr;

            if (! empty && ++depth > PatchDocumentReader::maximumDepth)
                return "nests elements too deeply";

            for (;;)
            {
                if (p == end)
                    return "ends inside an element";

                if (*p == '&')
                {
                    if (const auto problem = reference())
                        return problem;

                    continue;
                }

                if (*p != '<')
                {
                    ++p;
                    continue;
                }

                // The parser goes round in circles on an instruction followed by text.
                if (startsWith ("<?"))
                    return "holds a processing instruction inside an element";

                if (startsWith ("<!--"))
                {
                    p += 4;

                    if (! skipPast ("-->"))
                        return "holds an unterminated comment";

                    continue;
                }

                if (startsWith ("<![CDATA["))
                {
                    p += 9;

                    if (! skipPast ("]]>"))
                        return "holds an unterminated CDATA section";

                    continue;
                }

                if (startsWith ("</"))
                {
                    p += 2;

                    if (p == end || ! isNameStart (*p))
                        return "holds a malformed end tag";

                    skipName();
                    skipSpace();

                    if (p == end || *p != '>')
                        return "holds a malformed end tag";

                    ++p;

                    if (--depth == 0)
                        return nullptr;

                    continue;
                }

                if (startsWith ("<!"))
                    return "holds a markup declaration";

                if (atStartTag())
                    break;

                return "holds a stray '<'";
            }
        }
    }

    const Byte* p;
    const Byte* const end;
};

//==============================================================================
// A UTF-16 file (after its byte-order mark) as UTF-8; empty with a problem when it is not
// valid UTF-16.
std::string utf16ToUtf8 (const Byte* data, size_t numBytes, bool bigEndian, juce::String& problem)
{
    std::string text;

    if (numBytes % 2 != 0)
    {
        problem = "is not valid UTF-16 text";
        return {};
    }

    text.reserve (numBytes + numBytes / 2);

    const auto unit = [&] (size_t i)
    { return (juce::uint32) (bigEndian ? (data[i] << 8) | data[i + 1] : data[i] | (data[i + 1] << 8)); };

    for (size_t i = 0; i < numBytes; i += 2)
    {
        auto c = unit (i);

        if (c >= 0xd800 && c <= 0xdbff && i + 2 < numBytes)
        {
            const auto low = unit (i + 2);

            if (low >= 0xdc00 && low <= 0xdfff)
            {
                c = 0x10000 + ((c - 0xd800) << 10) + (low - 0xdc00);
                i += 2;
            }
        }

        if (isSurrogate (c))
        {
            problem = "is not valid UTF-16 text";
            return {};
        }

        if (c == 0)
        {
            problem = "holds a NUL character";
            return {};
        }

        char encoded[4];
        juce::CharPointer_UTF8 writer (encoded);
        writer.write ((juce::juce_wchar) c);
        text.append (encoded, (size_t) (writer.getAddress() - encoded));
    }

    return text;
}

juce::String tooLarge()
{
    return "is larger than " + juce::String ((int) (PatchDocumentReader::maximumDocumentBytes / 1024)) + " KB";
}

bool hasUtf8ByteOrderMark (const Byte* data, size_t numBytes) noexcept
{
    return numBytes >= 3 && data[0] == 0xef && data[1] == 0xbb && data[2] == 0xbf;
}
} // namespace

//==============================================================================
juce::String PatchDocumentReader::checkText (const char* text, size_t numBytes)
{
    if (numBytes == 0)
        return "is empty";

    if (numBytes > maximumDocumentBytes)
        return tooLarge();

    const auto* begin = reinterpret_cast<const Byte*> (text);

    if (const auto problem = findEncodingProblem (begin, begin + numBytes))
        return problem;

    if (const auto problem = MarkupCheck (begin, begin + numBytes).run())
        return problem;

    return {};
}

PatchDocumentReader::Result PatchDocumentReader::parse (const char* text, size_t numBytes)
{
    Result result;
    result.problem = checkText (text, numBytes);

    if (result.problem.isNotEmpty())
        return result;

    // Parsed from a string, the document has no file to resolve external references against.
    juce::XmlDocument parser (juce::String (juce::CharPointer_UTF8 (text), juce::CharPointer_UTF8 (text + numBytes)));
    result.document = parser.getDocumentElement();

    if (result.document == nullptr)
        result.problem = "is not well-formed XML (" + parser.getLastParseError() + ")";

    return result;
}

PatchDocumentReader::Result PatchDocumentReader::fromHostState (const void* data, int numBytes)
{
    const auto* bytes = static_cast<const Byte*> (data);

    if (bytes == nullptr || numBytes <= 8 || juce::ByteOrder::littleEndianInt (bytes) != envelopeMagic)
        return { nullptr, "is not a saved state of this plug-in" };

    auto length = (size_t) juce::ByteOrder::littleEndianInt (bytes + 4);

    if (length == 0 || length > (size_t) numBytes - 8)
        return { nullptr, "announces " + juce::String ((juce::uint64) length) + " bytes of text but holds "
                              + juce::String (numBytes - 8) };

    const auto* text = bytes + 8;

    // The text's terminating zero, should a writer have counted it.
    if (text[length - 1] == 0)
        --length;

    if (hasUtf8ByteOrderMark (text, length))
    {
        text += 3;
        length -= 3;
    }

    return parse (reinterpret_cast<const char*> (text), length);
}

PatchDocumentReader::Result PatchDocumentReader::fromFileContents (const void* data, size_t numBytes)
{
    const auto* bytes = static_cast<const Byte*> (data);

    if (bytes == nullptr || numBytes == 0)
        return { nullptr, "is empty" };

    if (hasUtf8ByteOrderMark (bytes, numBytes))
        return parse (reinterpret_cast<const char*> (bytes + 3), numBytes - 3);

    if (numBytes >= 2 && ((bytes[0] == 0xff && bytes[1] == 0xfe) || (bytes[0] == 0xfe && bytes[1] == 0xff)))
    {
        if (numBytes - 2 > 2 * maximumDocumentBytes)
            return { nullptr, tooLarge() };

        juce::String problem;
        const auto text = utf16ToUtf8 (bytes + 2, numBytes - 2, bytes[0] == 0xfe, problem);

        if (problem.isNotEmpty())
            return { nullptr, problem };

        return parse (text.data(), text.size());
    }

    return parse (reinterpret_cast<const char*> (bytes), numBytes);
}

PatchDocumentReader::Result PatchDocumentReader::fromFile (const juce::File& file)
{
    juce::FileInputStream in (file);

    if (in.failedToOpen())
        return { nullptr, "cannot be read (" + in.getStatus().getErrorMessage() + ")" };

    // Bounded whatever the file claims to be: a device or a pipe has no size to check first.
    const auto limit = 2 * maximumDocumentBytes + 2;
    juce::MemoryBlock bytes;
    char buffer[16384];

    while (bytes.getSize() <= limit)
    {
        const auto n = in.read (buffer, (int) sizeof (buffer));

        if (n <= 0)
            break;

        bytes.append (buffer, (size_t) n);
    }

    if (bytes.getSize() > limit)
        return { nullptr, tooLarge() };

    return fromFileContents (bytes.getData(), bytes.getSize());
}
