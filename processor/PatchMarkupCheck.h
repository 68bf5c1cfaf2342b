#pragma once

#include "processor/PatchDocumentReader.h"

#include <juce_core/juce_core.h>

// The check PatchDocumentReader runs on a document before parsing it. Walks the markup the
// way the framework's parser will and accepts only a subset of XML on which the two cannot
// disagree: ASCII names, quoted attribute values without '<', known character references,
// comments and CDATA, processing instructions only before the root element, and nothing that
// declares anything. Stops at the end of the root element, as the parser does.
class PatchMarkupCheck
{
public:
    using Byte = unsigned char;

    // The limits of Unicode that the framework's parser can store.
    static constexpr juce::uint32 largestCodePoint = 0x10ffff;
    static bool isSurrogate (juce::uint32 c) noexcept { return c >= 0xd800 && c <= 0xdfff; }

    // Attribute values may be at most maximumAttributeBytes long.
    PatchMarkupCheck (const Byte* start, const Byte* finish, size_t maximumAttributeBytes) noexcept;

    // What run() returns lives as long as this object.
    PatchMarkupCheck (const PatchMarkupCheck&) = delete;

    const char* run() noexcept;

private:
    static bool isSpace (Byte c) noexcept { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
    static bool isNameStart (Byte c) noexcept { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':'; }
    static bool isNameChar (Byte c) noexcept { return isNameStart (c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }

    bool startsWith (const char* text) const noexcept;

    bool startsWithIgnoringCase (const char* text) const noexcept;

    bool atStartTag() const noexcept { return end - p >= 2 && p[0] == '<' && isNameStart (p[1]); }

    bool skipSpace() noexcept;

    void skipName() noexcept;

    // Moves past the terminator; false when the text ends first.
    bool skipPast (const char* terminator) noexcept;

    // Null when p is at neither; "" after skipping one; a problem when it is unterminated.
    const char* skipCommentOrInstruction() noexcept;

    // The parser keeps every attribute name it meets in one sorted table for the whole process,
    // at a cost that grows with the table: a document may use only a few names (the product's
    // documents use eleven), so thousands of new names cannot make reading it quadratic.
    bool noteAttributeName (const Byte* name, size_t length) noexcept;

    // At '&': the five predefined entities (in any case, as the parser reads them) and
    // numeric references to characters the parser can store.
    const char* reference() noexcept;

    // At '<' and a name; empty tells "<name/>".
    const char* startTag (bool& empty) noexcept;

    // From the root's start tag to its end tag, without recursion.
    const char* elements() noexcept;

    const Byte* p;
    const Byte* const end;
    const size_t attributeBytes;
    char attributeTooLong[64] {};

    struct Name
    {
        const Byte* start;
        size_t length;
    };

    Name attributeNames[PatchDocumentReader::maximumAttributeNames] {};
    int numAttributeNames = 0;
};
