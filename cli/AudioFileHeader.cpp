#include "cli/AudioFileHeader.h"

#include <cmath>
#include <cstring>

namespace
{
bool readExactly (juce::InputStream& in, juce::int64 position, void* destination, int numBytes)
{
    return in.setPosition (position) && in.read (destination, numBytes) == numBytes;
}

juce::uint16 le16 (const juce::uint8* p) noexcept { return (juce::uint16) (p[0] | (p[1] << 8)); }
juce::uint32 le32 (const juce::uint8* p) noexcept { return juce::ByteOrder::littleEndianInt (p); }
juce::uint64 le64 (const juce::uint8* p) noexcept { return juce::ByteOrder::littleEndianInt64 (p); }
juce::uint16 be16 (const juce::uint8* p) noexcept { return (juce::uint16) ((p[0] << 8) | p[1]); }
juce::uint32 be32 (const juce::uint8* p) noexcept { return juce::ByteOrder::bigEndianInt (p); }

bool isId (const juce::uint8* p, const char* id) noexcept { return std::memcmp (p, id, 4) == 0; }

// An 80-bit IEEE extended number, as AIFF stores its sample rate.
double readExtended (const juce::uint8* p) noexcept
{
    const auto sign = (p[0] & 0x80) != 0 ? -1.0 : 1.0;
    const auto exponent = (int) (be16 (p) & 0x7fff);
    const auto mantissa = ((juce::uint64) be32 (p + 2) << 32) | be32 (p + 6);

    if (exponent == 0 && mantissa == 0)
        return 0.0;

    // All ones: infinite when nothing follows the integer bit, otherwise not a number.
    if (exponent == 0x7fff)
        return (mantissa << 1) == 0 ? sign * std::numeric_limits<double>::infinity()
                                    : std::numeric_limits<double>::quiet_NaN();

    return sign * std::ldexp ((double) mantissa, exponent - 16383 - 63);
}

void writeExtended (juce::uint8* p, double value) noexcept
{
    int exponent = 0;
    const auto fraction = std::frexp (value, &exponent); // value = fraction * 2^exponent, 0.5 <= fraction < 1
    const auto mantissa = (juce::uint64) std::ldexp (fraction, 64);
    const auto biased = (juce::uint16) (exponent - 1 + 16383);

    p[0] = (juce::uint8) (biased >> 8);
    p[1] = (juce::uint8) biased;

    for (int i = 0; i < 8; ++i)
        p[2 + i] = (juce::uint8) (mantissa >> (56 - 8 * i));
}

// The standard GUID tail of WAVE_FORMAT_EXTENSIBLE sub-formats, and the ambisonic PCM one
// that the framework's reader also takes.
const juce::uint8 subFormatTail[12] = { 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71 };
const juce::uint8 ambisonicSubFormat[16] = { 0x01, 0x00, 0x00, 0x00, 0x21, 0x07, 0xd3, 0x11, 0x86, 0x44, 0xc8, 0xc1, 0xca, 0x00, 0x00, 0x00 };

constexpr const char* unsupported = "unsupported input format (WAV or AIFF, 8 to 32-bit integer or 32-bit float)";

//==============================================================================
// Visits the chunks from position on: visit (id, size, body) returns false to stop.
template <typename Visit>
void walkChunks (juce::InputStream& in, juce::int64 position, juce::int64 fileSize, bool bigEndian, Visit&& visit)
{
    for (int chunk = 0; chunk < AudioFileHeader::maximumChunks; ++chunk)
    {
        juce::uint8 chunkHeader[8];

        if (position + 8 > fileSize || ! readExactly (in, position, chunkHeader, 8))
            return;

        const auto size = (juce::int64) (bigEndian ? be32 (chunkHeader + 4) : le32 (chunkHeader + 4));
        const auto body = position + 8;

        if (! visit (chunkHeader, size, body))
            return;

        position = body + size + (size & 1);
    }
}

// Both readers end here: a header needs its format and its data chunk.
AudioFileHeader complete (AudioFileHeader header, bool haveFormat, bool haveData, const char* formatChunk, juce::String& problem)
{
    if (problem.isEmpty() && ! haveFormat)
        problem = juce::String ("damaged input: no ") + formatChunk;

    if (problem.isEmpty() && ! haveData)
        problem = "damaged input: no audio data chunk";

    return problem.isEmpty() ? header : AudioFileHeader();
}

AudioFileHeader readWav (juce::InputStream& in, const juce::uint8* start, juce::int64 fileSize, juce::String& problem)
{
    AudioFileHeader header;
    header.container = AudioFileHeader::Container::wav;
    const bool rf64 = isId (start, "RF64");
    juce::int64 position = 12;
    juce::int64 rf64DataBytes = 0;

    if (rf64)
    {
        juce::uint8 ds64[8 + 24];

        if (! readExactly (in, position, ds64, (int) sizeof (ds64)) || ! isId (ds64, "ds64") || le32 (ds64 + 4) < 28)
        {
            problem = "damaged input: an RF64 header without its ds64 chunk";
            return {};
        }

        rf64DataBytes = (juce::int64) le64 (ds64 + 16);
        const auto size = (juce::int64) le32 (ds64 + 4);
        position += 8 + size + (size & 1);
    }

    bool haveFormat = false;
    bool haveData = false;

    walkChunks (in, position, fileSize, false, [&] (const juce::uint8* id, juce::int64 size, juce::int64 body)
    {
        if (isId (id, "fmt ") && ! haveFormat)
        {
            juce::uint8 format[40] = {};

            if (size < 16 || ! readExactly (in, body, format, (int) juce::jmin ((juce::int64) sizeof (format), size)))
            {
                problem = "damaged input: a format chunk too short to describe the audio";
                return false;
            }

            auto tag = le16 (format);
            header.numChannels = le16 (format + 2);
            header.sampleRate = (double) le32 (format + 4);
            header.bitsPerSample = le16 (format + 14);

            if (tag == 0xfffe)
            {
                if (size < 40)
                {
                    problem = "damaged input: an extensible format chunk too short to describe the audio";
                    return false;
                }

                const auto* guid = format + 24;

                if (std::memcmp (guid + 4, subFormatTail, sizeof (subFormatTail)) == 0 && (le32 (guid) == 1 || le32 (guid) == 3))
                    tag = (juce::uint16) le32 (guid);
                else if (std::memcmp (guid, ambisonicSubFormat, sizeof (ambisonicSubFormat)) == 0)
                    tag = 1;
                else
                {
                    problem = "unsupported input: an extensible WAV of an unknown sub-format (integer PCM or float only)";
                    return false;
                }
            }

            if (tag != 1 && tag != 3)
            {
                problem = "unsupported input: compressed audio (WAV format 0x" + juce::String::toHexString ((int) tag) + "; integer PCM or float only)";
                return false;
            }

            header.isFloat = tag == 3;
            haveFormat = true;
        }
        else if (isId (id, "data") && ! haveData)
        {
            header.dataStart = body;
            header.dataBytes = rf64 ? rf64DataBytes : size;
            haveData = true;
        }

        // The data chunk's size may be a lie: nothing after it is looked at unless the
        // format is still missing.
        return ! (haveFormat && haveData);
    });

    const auto bytesPerFrame = header.getBytesPerFrame();
    header.announcedFrames = bytesPerFrame > 0 ? header.dataBytes / bytesPerFrame : 0;
    return complete (header, haveFormat, haveData, "format chunk", problem);
}

AudioFileHeader readAiff (juce::InputStream& in, const juce::uint8* start, juce::int64 fileSize, juce::String& problem)
{
    AudioFileHeader header;
    header.container = AudioFileHeader::Container::aiff;
    header.bigEndian = true;
    const bool compressed = isId (start + 8, "AIFC");
    bool haveFormat = false;
    bool haveData = false;

    walkChunks (in, 12, fileSize, true, [&] (const juce::uint8* id, juce::int64 size, juce::int64 body)
    {
        if (isId (id, "COMM") && ! haveFormat)
        {
            juce::uint8 format[22] = {};

            if (size < 18 || ! readExactly (in, body, format, (int) juce::jmin ((juce::int64) sizeof (format), size)))
            {
                problem = "damaged input: a COMM chunk too short to describe the audio";
                return false;
            }

            header.numChannels = be16 (format);
            header.announcedFrames = (juce::int64) be32 (format + 2);
            header.bitsPerSample = be16 (format + 6);
            header.sampleRate = readExtended (format + 8);

            // Older AIFF-C writers leave the compression out of a short COMM chunk: plain PCM.
            if (compressed && size >= 22)
            {
                const auto* type = format + 18;

                if (isId (type, "sowt"))
                    header.bigEndian = false;
                else if (isId (type, "fl32") || isId (type, "FL32"))
                    header.isFloat = true;
                else if (! isId (type, "NONE") && ! isId (type, "twos"))
                {
                    juce::String name;

                    for (int i = 0; i < 4; ++i)
                        name << (type[i] >= 32 && type[i] < 127 ? (char) type[i] : '?');

                    problem = "unsupported input: compressed audio (AIFF-C '" + name + "'; integer PCM or float only)";
                    return false;
                }
            }

            haveFormat = true;
        }
        else if (isId (id, "SSND") && ! haveData)
        {
            juce::uint8 offsets[8];

            if (size < 8 || ! readExactly (in, body, offsets, 8))
            {
                problem = "damaged input: an SSND chunk too short to hold audio";
                return false;
            }

            const auto offset = (juce::int64) be32 (offsets);
            header.dataStart = body + 8 + offset;
            header.dataBytes = juce::jmax ((juce::int64) 0, size - 8 - offset);
            haveData = true;
        }

        return ! (haveFormat && haveData);
    });

    return complete (header, haveFormat, haveData, "COMM chunk", problem);
}

//==============================================================================
// A header held in memory followed by a stretch of another stream.
class JoinedStream : public juce::InputStream
{
public:
    JoinedStream (juce::MemoryBlock headerBytes, std::unique_ptr<juce::InputStream> source, juce::int64 start, juce::int64 numBytes)
        : header (std::move (headerBytes))
        , body (std::move (source))
        , bodyStart (start)
        , bodyLength (numBytes)
    {
    }

    juce::int64 getTotalLength() override { return (juce::int64) header.getSize() + bodyLength; }
    bool isExhausted() override { return position >= getTotalLength(); }
    juce::int64 getPosition() override { return position; }

    bool setPosition (juce::int64 newPosition) override
    {
        position = juce::jlimit ((juce::int64) 0, getTotalLength(), newPosition);
        return true;
    }

    int read (void* destination, int numBytes) override
    {
        auto* out = static_cast<char*> (destination);
        int done = 0;
        const auto headerSize = (juce::int64) header.getSize();

        while (done < numBytes && position < getTotalLength())
        {
            int n = 0;

            if (position < headerSize)
            {
                n = (int) juce::jmin ((juce::int64) (numBytes - done), headerSize - position);
                std::memcpy (out + done, static_cast<const char*> (header.getData()) + position, (size_t) n);
            }
            else
            {
                const auto wanted = (int) juce::jmin ((juce::int64) (numBytes - done), getTotalLength() - position);

                if (! body->setPosition (bodyStart + position - headerSize))
                    break;

                n = body->read (out + done, wanted);

                if (n <= 0)
                    break;
            }

            done += n;
            position += n;
        }

        return done;
    }

private:
    juce::MemoryBlock header;
    std::unique_ptr<juce::InputStream> body;
    juce::int64 bodyStart, bodyLength;
    juce::int64 position = 0;
};
} // namespace

//==============================================================================
juce::int64 AudioFileHeader::getFramesInDataChunk() const noexcept
{
    const auto bytesPerFrame = getBytesPerFrame();
    return bytesPerFrame > 0 ? juce::jmin (announcedFrames, dataBytes / bytesPerFrame) : 0;
}

AudioFileHeader AudioFileHeader::read (juce::InputStream& in, juce::String& problem)
{
    problem.clear();
    const auto fileSize = in.getTotalLength();
    juce::uint8 start[12];

    if (fileSize < 12 || ! readExactly (in, 0, start, 12))
    {
        problem = unsupported;
        return {};
    }

    AudioFileHeader header;

    if ((isId (start, "RIFF") || isId (start, "RF64")) && isId (start + 8, "WAVE"))
        header = readWav (in, start, fileSize, problem);
    else if (isId (start, "FORM") && (isId (start + 8, "AIFF") || isId (start + 8, "AIFC")))
        header = readAiff (in, start, fileSize, problem);
    else
        problem = unsupported;

    return problem.isEmpty() ? header : AudioFileHeader();
}

std::unique_ptr<juce::InputStream> AudioFileHeader::makeDecodableStream (std::unique_ptr<juce::InputStream> source, juce::int64 numFrames) const
{
    const auto numBytes = numFrames * getBytesPerFrame();
    juce::MemoryOutputStream out;

    if (container == Container::wav)
    {
        const auto rate = (int) sampleRate;
        const auto blockAlign = getBytesPerFrame();

        // RF64 once the size no longer fits the RIFF fields.
        const bool large = numBytes > 0xffffffffLL - 36 - 36;
        out.write (large ? "RF64" : "RIFF", 4);
        out.writeInt (large ? -1 : (int) (juce::uint32) (4 + 24 + 8 + numBytes));
        out.write ("WAVE", 4);

        if (large)
        {
            out.write ("ds64", 4);
            out.writeInt (28);
            out.writeInt64 (4 + 36 + 24 + 8 + numBytes);
            out.writeInt64 (numBytes);
            out.writeInt64 (numFrames);
            out.writeInt (0);
        }

        out.write ("fmt ", 4);
        out.writeInt (16);
        out.writeShort ((short) (isFloat ? 3 : 1));
        out.writeShort ((short) numChannels);
        out.writeInt (rate);
        out.writeInt ((int) (juce::uint32) ((juce::int64) rate * blockAlign));
        out.writeShort ((short) blockAlign);
        out.writeShort ((short) bitsPerSample);
        out.write ("data", 4);
        out.writeInt (large ? -1 : (int) (juce::uint32) numBytes);
    }
    else
    {
        juce::uint8 rate[10];
        writeExtended (rate, sampleRate);

        // The reader takes the FORM size as signed: it only needs to reach past the SSND header.
        out.write ("FORM", 4);
        out.writeIntBigEndian ((int) juce::jmin ((juce::int64) 0x7fffffff, 4 + 8 + 24 + 16 + numBytes));
        out.write ("AIFC", 4);
        out.write ("COMM", 4);
        out.writeIntBigEndian (24);
        out.writeShortBigEndian ((short) numChannels);
        out.writeIntBigEndian ((int) (juce::uint32) numFrames);
        out.writeShortBigEndian ((short) bitsPerSample);
        out.write (rate, sizeof (rate));
        out.write (isFloat ? "fl32" : (bigEndian ? "NONE" : "sowt"), 4);
        out.writeShort (0); // an empty name, padded
        out.write ("SSND", 4);
        out.writeIntBigEndian ((int) (juce::uint32) (8 + numBytes));
        out.writeIntBigEndian (0);
        out.writeIntBigEndian (0);
    }

    return std::make_unique<JoinedStream> (out.getMemoryBlock(), std::move (source), dataStart, numBytes);
}
