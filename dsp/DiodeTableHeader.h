#pragma once

#include <juce_core/juce_core.h>

#include <cstring>

// The 164-byte little-endian header in front of every diode table, and the values after it.
struct DiodeTableHeader
{
    static constexpr int size = 164;
    static constexpr int nameSize = 128;

    // The largest table a reader accepts: far above the 513 x 513 tables, far below sizes
    // that would exhaust memory when a damaged file is read.
    static constexpr int maxCount = 1 << 24;

    char name[nameSize + 1] = {};
    int version = 0;
    float rate = 0.0f;
    int nx = 0;
    int ny = 0;
    int count = 0;
    float xmin = 0.0f;
    float xmax = 0.0f;
    float ymin = 0.0f;
    float ymax = 0.0f;

    // Reads the header at the stream's position; false when the stream is too short.
    bool read (juce::InputStream& in)
    {
        if (in.getNumBytesRemaining() < size || in.read (name, nameSize) != nameSize)
            return false;

        name[nameSize] = 0;
        version = in.readInt();
        rate = in.readFloat();
        nx = in.readInt();
        ny = in.readInt();
        count = in.readInt();
        xmin = in.readFloat();
        xmax = in.readFloat();
        ymin = in.readFloat();
        ymax = in.readFloat();
        return true;
    }

    // Compares the stored name up to its terminating NUL.
    bool hasName (const juce::String& expected) const
    {
        return std::strcmp (name, expected.toRawUTF8()) == 0;
    }

    // Reads count values at the stream's position straight into destination.
    static bool readValues (juce::InputStream& in, float* destination, int count)
    {
        const auto numBytes = static_cast<int> (sizeof (float)) * count;

        if (count < 0 || in.getNumBytesRemaining() < numBytes || in.read (destination, numBytes) != numBytes)
            return false;

#if JUCE_BIG_ENDIAN
        auto* words = reinterpret_cast<juce::uint32*> (destination);

        for (int i = 0; i < count; ++i)
            words[i] = juce::ByteOrder::swap (words[i]);
#endif

        return true;
    }

    // The count field alone, for sizing buffers; 0 when missing or out of range.
    static int readCount (juce::InputStream& in)
    {
        DiodeTableHeader header;

        if (! header.read (in) || header.count < 1 || header.count > maxCount)
            return 0;

        return header.count;
    }
};
