#pragma once

#include "processor/PatchDocument.h"

#include <juce_core/juce_core.h>

#include <memory>

// The one way in for "molvekPatch" documents that come from outside: host state, program state
// and preset files all pass here before anything is parsed.
//
// The framework's XML parser trusts its input: it expands entities defined in a DTD without
// limit, reads any file a DTD names, runs past the end of invalid UTF-8 and loops on NUL bytes,
// and recurses once per nesting level. So the text is checked first and only what the
// product's own writer can produce gets through: at most maximumDocumentBytes of valid UTF-8
// without NUL bytes, no DTD or other declarations, only the five predefined and numeric
// character references, elements nested at most maximumDepth deep, at most
// maximumAttributeNames different attribute names. Anything else is refused with a reason, and
// the caller changes nothing.
class PatchDocumentReader
{
public:
    // The full state is about 13 KB, and at most about 260 KB with every preset path at its
    // longest and written as references of ten bytes each.
    static constexpr size_t maximumDocumentBytes = 512 * 1024;

    // The documents nest five deep (molvekPatch, Properties, Preset, Channel, Value).
    static constexpr int maximumDepth = 16;

    // The parser appends each reference inside an attribute value by copying the value so far.
    // These two bound that quadratic cost; a preset path at its longest may be all references
    // of up to ten bytes each.
    static constexpr int maximumReferencesPerAttribute = PatchDocument::maximumPresetPathLength;
    static constexpr size_t maximumAttributeBytes = 16 * 1024;

    // Different attribute names in one document: the parser's cost for each new name grows
    // with the names it has seen.
    static constexpr int maximumAttributeNames = 64;

    // What one kind of document may hold; the defaults are the patch documents'.
    struct Limits
    {
        size_t documentBytes = maximumDocumentBytes;
        size_t attributeBytes = maximumAttributeBytes;
    };

    // The parser's cost of the references in one attribute value: each copies the value so far.
    static constexpr size_t maximumReferenceWork = (size_t) maximumReferencesPerAttribute * maximumAttributeBytes;

    struct Result
    {
        std::unique_ptr<juce::XmlElement> document;
        juce::String problem; // why there is no document ("holds a DTD"); empty when there is one
    };

    // Host state and program state in the framework's envelope: a magic number, the text's size
    // in bytes, the text and a terminating zero.
    static Result fromHostState (const void* data, int numBytes);

    // A preset file's contents: UTF-8 with or without a byte-order mark, or UTF-16 with one.
    static Result fromFileContents (const void* data, size_t numBytes);
    static Result fromFileContents (const void* data, size_t numBytes, const Limits& limits);

    // Reads at most the document limit (twice that for UTF-16) of the file, then as above.
    // Only a regular file (or a link to one) is read; a FIFO or a device is refused without
    // waiting.
    static Result fromFile (const juce::File& file);
    static Result fromFile (const juce::File& file, const Limits& limits);

    // At most maximumBytes of a regular file into bytes, never waiting for a FIFO or a device;
    // empty, or why it cannot be read ("is not a regular file").
    static juce::String readRegularFile (const juce::File& file, size_t maximumBytes, juce::MemoryBlock& bytes);

    // Why a UTF-8 text (without byte-order mark) may not be handed to the parser; empty when
    // it may.
    static juce::String checkText (const char* text, size_t numBytes);
    static juce::String checkText (const char* text, size_t numBytes, const Limits& limits);

private:
    static Result parse (const char* text, size_t numBytes, const Limits& limits);
};
