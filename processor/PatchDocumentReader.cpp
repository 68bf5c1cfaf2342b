#include "processor/PatchDocumentReader.h"

#include "processor/PatchMarkupCheck.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#if ! JUCE_WINDOWS
    #include <fcntl.h>
    #include <sys/stat.h>
    #include <unistd.h>
#endif

namespace
{
using Byte = PatchMarkupCheck::Byte;

constexpr juce::uint32 envelopeMagic = 0x21324356; // the framework's binary XML envelope
constexpr juce::uint32 largestCodePoint = PatchMarkupCheck::largestCodePoint;

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

        if (c < smallest || c > largestCodePoint || PatchMarkupCheck::isSurrogate (c))
            return invalid;

        p += extra + 1;
    }

    return nullptr;
}

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

        if (PatchMarkupCheck::isSurrogate (c))
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

juce::String tooLarge (const PatchDocumentReader::Limits& limits)
{
    return "is larger than " + juce::String ((int) (limits.documentBytes / 1024)) + " KB";
}

bool hasUtf8ByteOrderMark (const Byte* data, size_t numBytes) noexcept
{
    return numBytes >= 3 && data[0] == 0xef && data[1] == 0xbb && data[2] == 0xbf;
}
} // namespace

//==============================================================================
juce::String PatchDocumentReader::checkText (const char* text, size_t numBytes)
{
    return checkText (text, numBytes, Limits {});
}

juce::String PatchDocumentReader::checkText (const char* text, size_t numBytes, const Limits& limits)
{
    if (numBytes == 0)
        return "is empty";

    if (numBytes > limits.documentBytes)
        return tooLarge (limits);

    const auto* begin = reinterpret_cast<const Byte*> (text);

    if (const auto problem = findEncodingProblem (begin, begin + numBytes))
        return problem;

    PatchMarkupCheck check (begin, begin + numBytes, limits.attributeBytes);

    if (const auto problem = check.run())
        return problem;

    return {};
}

PatchDocumentReader::Result PatchDocumentReader::parse (const char* text, size_t numBytes, const Limits& limits)
{
    Result result;
    result.problem = checkText (text, numBytes, limits);

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
        return { nullptr, "announces " + juce::String ((juce::uint64) length) + " bytes of text but holds " + juce::String (numBytes - 8) };

    const auto* text = bytes + 8;

    // The text's terminating zero, should a writer have counted it.
    if (text[length - 1] == 0)
        --length;

    if (hasUtf8ByteOrderMark (text, length))
    {
        text += 3;
        length -= 3;
    }

    return parse (reinterpret_cast<const char*> (text), length, Limits {});
}

PatchDocumentReader::Result PatchDocumentReader::fromFileContents (const void* data, size_t numBytes)
{
    return fromFileContents (data, numBytes, Limits {});
}

PatchDocumentReader::Result PatchDocumentReader::fromFileContents (const void* data, size_t numBytes, const Limits& limits)
{
    const auto* bytes = static_cast<const Byte*> (data);

    if (bytes == nullptr || numBytes == 0)
        return { nullptr, "is empty" };

    if (hasUtf8ByteOrderMark (bytes, numBytes))
        return parse (reinterpret_cast<const char*> (bytes + 3), numBytes - 3, limits);

    if (numBytes >= 2 && ((bytes[0] == 0xff && bytes[1] == 0xfe) || (bytes[0] == 0xfe && bytes[1] == 0xff)))
    {
        if (numBytes - 2 > 2 * limits.documentBytes)
            return { nullptr, tooLarge (limits) };

        juce::String problem;
        const auto text = utf16ToUtf8 (bytes + 2, numBytes - 2, bytes[0] == 0xfe, problem);

        if (problem.isNotEmpty())
            return { nullptr, problem };

        return parse (text.data(), text.size(), limits);
    }

    return parse (reinterpret_cast<const char*> (bytes), numBytes, limits);
}

PatchDocumentReader::Result PatchDocumentReader::fromFile (const juce::File& file)
{
    return fromFile (file, Limits {});
}

PatchDocumentReader::Result PatchDocumentReader::fromFile (const juce::File& file, const Limits& limits)
{
    // A little more than the largest text that can pass, so that a larger file is told apart.
    const auto limit = 2 * limits.documentBytes + 2;
    juce::MemoryBlock bytes;

    if (const auto problem = readRegularFile (file, limit + 1, bytes); problem.isNotEmpty())
        return { nullptr, problem };

    if (bytes.getSize() > limit)
        return { nullptr, tooLarge (limits) };

    return fromFileContents (bytes.getData(), bytes.getSize(), limits);
}

juce::String PatchDocumentReader::readRegularFile (const juce::File& file, size_t maximumBytes, juce::MemoryBlock& bytes)
{
    bytes.reset();

#if JUCE_WINDOWS
    if (! file.existsAsFile())
        return "is not a file";

    juce::FileInputStream in (file);

    if (in.failedToOpen())
        return "cannot be read (" + in.getStatus().getErrorMessage() + ")";

    char buffer[16384];

    while (bytes.getSize() < maximumBytes)
    {
        const auto n = in.read (buffer, (int) std::min (sizeof (buffer), maximumBytes - bytes.getSize()));

        if (n <= 0)
            break;

        bytes.append (buffer, (size_t) n);
    }
#else
    // Opened without waiting (a FIFO would block the open until a writer came), then read only
    // if it is a regular file: a FIFO, a device or a socket may never end or never answer.
    const auto fd = ::open (file.getFullPathName().toRawUTF8(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);

    if (fd < 0)
        return "cannot be read (" + juce::String (std::strerror (errno)) + ")";

    struct stat info = {};

    if (::fstat (fd, &info) != 0 || ! S_ISREG (info.st_mode))
    {
        ::close (fd);
        return "is not a regular file";
    }

    char buffer[16384];

    while (bytes.getSize() < maximumBytes)
    {
        const auto n = ::read (fd, buffer, std::min (sizeof (buffer), maximumBytes - bytes.getSize()));

        if (n < 0 && errno == EINTR)
            continue;

        if (n < 0)
        {
            const auto error = juce::String (std::strerror (errno));
            ::close (fd);
            return "cannot be read (" + error + ")";
        }

        if (n == 0)
            break;

        bytes.append (buffer, (size_t) n);
    }

    ::close (fd);
#endif

    return {};
}
