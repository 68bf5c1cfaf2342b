#include "processor/PatchMarkupCheck.h"

#include "processor/PatchDocumentReader.h"

#include <cstdio>
#include <cstring>

PatchMarkupCheck::PatchMarkupCheck (const Byte* start, const Byte* finish, size_t maximumAttributeBytes) noexcept
    : p (start)
    , end (finish)
    , attributeBytes (maximumAttributeBytes)
{
    std::snprintf (attributeTooLong, sizeof (attributeTooLong), "holds an attribute value longer than %d KB", (int) (attributeBytes / 1024));
}

const char* PatchMarkupCheck::run() noexcept
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

bool PatchMarkupCheck::startsWith (const char* text) const noexcept
{
    const auto n = std::strlen (text);
    return (size_t) (end - p) >= n && std::memcmp (p, text, n) == 0;
}

bool PatchMarkupCheck::startsWithIgnoringCase (const char* text) const noexcept
{
    const auto n = std::strlen (text);

    if ((size_t) (end - p) < n)
        return false;

    for (size_t i = 0; i < n; ++i)
        if (juce::CharacterFunctions::toLowerCase ((juce::juce_wchar) p[i]) != juce::CharacterFunctions::toLowerCase ((juce::juce_wchar) (Byte) text[i]))
            return false;

    return true;
}

bool PatchMarkupCheck::skipSpace() noexcept
{
    const auto start = p;

    while (p < end && isSpace (*p))
        ++p;

    return p != start;
}

void PatchMarkupCheck::skipName() noexcept
{
    while (p < end && isNameChar (*p))
        ++p;
}

bool PatchMarkupCheck::skipPast (const char* terminator) noexcept
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

const char* PatchMarkupCheck::skipCommentOrInstruction() noexcept
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

const char* PatchMarkupCheck::reference() noexcept
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

bool PatchMarkupCheck::noteAttributeName (const Byte* name, size_t length) noexcept
{
    for (int i = 0; i < numAttributeNames; ++i)
        if (attributeNames[i].length == length && std::memcmp (attributeNames[i].start, name, length) == 0)
            return true;

    if (numAttributeNames == PatchDocumentReader::maximumAttributeNames)
        return false;

    attributeNames[numAttributeNames++] = { name, length };
    return true;
}

const char* PatchMarkupCheck::startTag (bool& empty) noexcept
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

        const auto* const name = p;
        skipName();

        static_assert (PatchDocumentReader::maximumAttributeNames == 64, "the message names the limit");

        if (! noteAttributeName (name, (size_t) (p - name)))
            return "holds more than 64 different attribute names";

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
        size_t referenceWork = 0;

        for (;;)
        {
            if (p == end)
                return malformed;

            if ((size_t) (p - valueStart) > attributeBytes)
                return attributeTooLong;

            if (*p == quote)
            {
                ++p;
                break;
            }

            if (*p == '<')
                return "holds '<' in an attribute value";

            if (*p == '&')
            {
                referenceWork += (size_t) (p - valueStart);

                if (const auto problem = reference())
                    return problem;

                if (++references > PatchDocumentReader::maximumReferencesPerAttribute || referenceWork > PatchDocumentReader::maximumReferenceWork)
                    return "holds too many character references in one attribute";

                continue;
            }

            ++p;
        }
    }
}

const char* PatchMarkupCheck::elements() noexcept
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
