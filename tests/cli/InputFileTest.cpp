#include "cli/InputFile.h"
#include "cli/Renderer.h"
#include "RenderTestFiles.h"

namespace
{
juce::File hostileFile (const char* name)
{
    return juce::File (VARDEKO_TEST_DATA_DIR).getChildFile ("hostile").getChildFile (name);
}

// A 16-bit mono WAV of the given frames whose header announces announcedFrames.
juce::MemoryBlock wavAnnouncing (int frames, juce::uint32 announcedFrames, int sampleRate = 44100)
{
    juce::MemoryOutputStream out;
    out.write ("RIFF", 4);
    out.writeInt (36 + frames * 2);
    out.write ("WAVEfmt ", 8);
    out.writeInt (16);
    out.writeShort (1);
    out.writeShort (1);
    out.writeInt (sampleRate);
    out.writeInt (sampleRate * 2);
    out.writeShort (2);
    out.writeShort (16);
    out.write ("data", 4);
    out.writeInt ((int) (announcedFrames * 2));

    for (int i = 0; i < frames; ++i)
        out.writeShort ((short) (8000.0 * std::sin (0.05 * i)));

    return out.getMemoryBlock();
}

struct Opened
{
    RenderStatus status;
    juce::StringArray warnings;
    juce::int64 length = -1;
};

Opened openBytes (InputFile& input, const juce::MemoryBlock& bytes, const juce::String& name = "x.wav")
{
    Opened result;
    result.status = input.open (std::make_unique<juce::MemoryInputStream> (bytes, true), name, result.warnings);
    result.length = input.getLength();
    return result;
}
} // namespace

//==============================================================================
// Files whose headers lie: the renderer renders what they really hold, or refuses them with a
// message that says what is wrong. Each was reproduced against the framework's readers.
TEST (InputFile, HostileHeadersAreCutToTheFileOrRefused)
{
    const struct
    {
        const char* file;
        juce::int64 frames; // -1: refused
        const char* message; // the warning, or the refusal, before ": <path>"
    } cases[] = {
        { "data-claims-4gb.wav", 100, "warning: the header announces 2147483647 frames but the file holds 100; rendering those" },
        { "rf64-claims-2p40-frames.wav", 100, "warning: the header announces 1099511627776 frames but the file holds 100; rendering those" },
        { "aiff-negative-frames.aif", 100, "warning: the header announces 4294967280 frames but the file holds 100; rendering those" },
        { "aiff-data-past-end.aif", -1, "the header puts the audio data at byte 2147483686, past the end of the file (254 bytes)" },
        { "rate-1200mhz.wav", -1, "unsupported sample rate: 1200000000 Hz (8000 to 768000 Hz)" },
        { "aiff-rate-infinite.aif", -1, "unsupported sample rate: infinite (8000 to 768000 Hz)" },
        { "aiff-rate-not-a-number.aif", -1, "unsupported sample rate: not a number (8000 to 768000 Hz)" },
        { "channels-65535.wav", -1, "unsupported input: 65535 channels (mono or stereo only)" },
        { "extensible-8194-channels-found-by-fuzzing.wav", -1, "unsupported input: an extensible WAV of an unknown sub-format (integer PCM or float only)" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.file);
        const auto file = hostileFile (c.file);
        const auto path = file.getFullPathName();

        InputFile input;
        juce::StringArray warnings;
        const auto status = input.open (file.createInputStream(), path, warnings);

        if (c.frames < 0)
        {
            EXPECT_EQ (RenderStatus::runtimeFailure, status.exitCode);
            EXPECT_EQ (juce::String (c.message) + ": " + path, status.message);
            continue;
        }

        ASSERT_FALSE (status.failed()) << status.message;
        EXPECT_EQ (c.frames, input.getLength());
        EXPECT_EQ (juce::StringArray (juce::String (c.message) + ": " + path), warnings);

        // Every frame it holds, and nothing from beyond the file.
        juce::AudioBuffer<float> all (2, (int) c.frames + 10);
        all.clear();
        input.read (all, (int) c.frames, 0);
        EXPECT_GT (all.getMagnitude (0, 90, 10), 0.1f);
    }
}

TEST (InputFile, RendersAsFarAsTheDataGoes)
{
    const struct
    {
        const char* name;
        int frames;
        juce::uint32 announced;
        juce::int64 expected;
        bool warned;
    } cases[] = {
        { "honest", 1000, 1000, 1000, false },
        { "trailing bytes after the data", 1000, 900, 900, false },
        { "cut short", 1000, 5000, 1000, true },
        { "a half frame at the end", 1000, 0x7fffffff, 1000, true },
        { "a header and nothing else", 0, 5000, 0, true },
        { "announces nothing", 1000, 0, 0, false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        auto bytes = wavAnnouncing (c.frames, c.announced);

        if (juce::String (c.name) == "a half frame at the end")
            bytes.append ("x", 1);

        InputFile input;
        const auto opened = openBytes (input, bytes);
        ASSERT_FALSE (opened.status.failed()) << opened.status.message;
        EXPECT_EQ (c.expected, opened.length);
        EXPECT_EQ (c.warned ? 1 : 0, opened.warnings.size());
    }
}

TEST (InputFile, SampleRatesFrom8To768kHz)
{
    for (const auto& [rate, accepted] : { std::pair<int, bool> { 7999, false }, { 8000, true }, { 768000, true }, { 768001, false }, { 0, false }, { -44100, false } })
    {
        SCOPED_TRACE (rate);
        InputFile input;
        const auto opened = openBytes (input, wavAnnouncing (100, 100, rate));
        EXPECT_EQ (! accepted, opened.status.failed());

        if (rate > 0 && ! accepted)
        {
            EXPECT_EQ ("unsupported sample rate: " + juce::String (rate) + " Hz (8000 to 768000 Hz): x.wav", opened.status.message);
        }
    }
}

//==============================================================================
class HostileInputRenderTest : public RenderScratchFolder
{
};

TEST_F (HostileInputRenderTest, AFileCutShortRendersWhatItHoldsAndARefusedOneWritesNothing)
{
    RenderOptions options;
    options.quiet = true;
    options.input = hostileFile ("data-claims-4gb.wav");
    options.output = folder.getChildFile ("out.wav");

    Renderer renderer (options);
    juce::StringArray warnings;
    renderer.onWarning = [&warnings] (const juce::String& text)
    { warnings.add (text); };

    ASSERT_FALSE (renderer.run().failed());
    EXPECT_EQ (100, renderer.getSummary().frames);
    EXPECT_EQ (100, decodeAudioFile (options.output).samples.getNumSamples());
    EXPECT_EQ (1, warnings.size());

    options.input = hostileFile ("rate-1200mhz.wav");
    options.output = folder.getChildFile ("refused.wav");
    EXPECT_EQ (RenderStatus::runtimeFailure, Renderer (options).run().exitCode);
    EXPECT_FALSE (options.output.exists());
    EXPECT_EQ (1, folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories, "*"));
}

//==============================================================================
// The framework's reader decodes behind a header written for it: every format must come out
// sample for sample as the framework reads the original file.
TEST (InputFile, DecodesEveryFormatAsTheFrameworkDoes)
{
    const auto seeds = juce::File (VARDEKO_TEST_DATA_DIR).getSiblingFile ("fuzz").getChildFile ("corpus").getChildFile ("audio-file");
    const auto files = seeds.findChildFiles (juce::File::findFiles, false, "*");
    ASSERT_GE (files.size(), 10);

    for (const auto& file : files)
    {
        SCOPED_TRACE (file.getFileName());
        const auto expected = decodeAudioFile (file);
        ASSERT_TRUE (expected.valid);

        InputFile input;
        juce::StringArray warnings;
        ASSERT_FALSE (input.open (file.createInputStream(), file.getFullPathName(), warnings).failed());
        EXPECT_TRUE (warnings.isEmpty());
        EXPECT_EQ (expected.sampleRate, input.getSampleRate());
        EXPECT_EQ (expected.samples.getNumChannels(), input.getNumChannels());
        EXPECT_EQ (expected.bitsPerSample, input.getFormat().bitsPerSample);
        EXPECT_EQ (expected.isFloat, input.getFormat().isFloat);
        ASSERT_EQ (expected.samples.getNumSamples(), input.getLength());

        juce::AudioBuffer<float> decoded (2, (int) input.getLength());
        input.read (decoded, (int) input.getLength(), 0);

        for (int ch = 0; ch < expected.samples.getNumChannels(); ++ch)
            for (int i = 0; i < expected.samples.getNumSamples(); ++i)
                ASSERT_EQ (expected.samples.getSample (ch, i), decoded.getSample (ch, i)) << "channel " << ch << ", frame " << i;
    }
}

TEST (InputFile, ReadsPastFourGigabytes)
{
    // A sparse RF64 file of 4.5 GB whose last frames hold a tone: the header written for the
    // framework's reader must then be RF64 as well.
    const auto file = juce::File::createTempFile (".wav");
    const juce::int64 frames = 2250LL * 1000 * 1000; // 16-bit mono: 4.5 GB
    {
        juce::FileOutputStream out (file);
        ASSERT_TRUE (out.openedOk());
        out.write ("RF64", 4);
        out.writeInt (-1);
        out.write ("WAVEds64", 8);
        out.writeInt (28);
        out.writeInt64 (72 + frames * 2);
        out.writeInt64 (frames * 2);
        out.writeInt64 (frames);
        out.writeInt (0);
        out.write ("fmt ", 4);
        out.writeInt (16);
        for (const short v : { 1, 1 })
            out.writeShort (v);
        out.writeInt (48000);
        out.writeInt (96000);
        out.writeShort (2);
        out.writeShort (16);
        out.write ("data", 4);
        out.writeInt (-1);

        if (! out.setPosition (80 + (frames - 16) * 2))
            GTEST_SKIP() << "the file system takes no sparse files";

        for (int i = 0; i < 16; ++i)
            out.writeShort ((short) (1000 * (i + 1)));
    }

    InputFile input;
    juce::StringArray warnings;
    ASSERT_FALSE (input.open (file.createInputStream(), file.getFullPathName(), warnings).failed());
    EXPECT_TRUE (warnings.isEmpty());
    EXPECT_EQ (frames, input.getLength());

    juce::AudioBuffer<float> tail (1, 16);
    input.read (tail, 16, frames - 16);

    for (int i = 0; i < 16; ++i)
        EXPECT_EQ ((float) (1000 * (i + 1)) / 32768.0f, tail.getSample (0, i)) << i;

    file.deleteFile();
}

//==============================================================================
namespace
{
juce::MemoryBlock chunk (const char* id, const juce::MemoryBlock& body, bool bigEndian = false)
{
    juce::MemoryOutputStream out;
    out.write (id, 4);

    if (bigEndian)
        out.writeIntBigEndian ((int) body.getSize());
    else
        out.writeInt ((int) body.getSize());

    out << body;

    if (body.getSize() % 2 != 0)
        out.writeByte (0);

    return out.getMemoryBlock();
}

juce::MemoryBlock bytes (std::initializer_list<int> values)
{
    juce::MemoryBlock block;

    for (auto v : values)
        block.append (&v, 1);

    return block;
}

juce::MemoryBlock container (const char* riff, const char* type, std::initializer_list<juce::MemoryBlock> chunks, bool bigEndian = false)
{
    juce::MemoryBlock body (type, 4);

    for (const auto& c : chunks)
        body.append (c.getData(), c.getSize());

    return chunk (riff, body, bigEndian);
}

// "fmt " of a format tag, 1 channel, 44.1 kHz, 16 bits.
juce::MemoryBlock fmt (int tag, int size = 16)
{
    auto body = bytes ({ tag & 0xff, tag >> 8, 1, 0, 0x44, 0xac, 0, 0, 0x88, 0x58, 1, 0, 2, 0, 16, 0 });
    body.setSize ((size_t) size, true);
    return chunk ("fmt ", body);
}
} // namespace

TEST (InputFile, HeadersThatDescribeNoUsableAudio)
{
    const auto pcm = bytes ({ 1, 2, 3, 4 });
    auto manyChunks = container ("RIFF", "WAVE", {});

    for (int i = 0; i <= AudioFileHeader::maximumChunks; ++i)
        manyChunks.append ("JUNK\0\0\0\0", 8);

    manyChunks.append (fmt (1).getData(), fmt (1).getSize());
    manyChunks.append (chunk ("data", pcm).getData(), 12);

    const struct
    {
        const char* name;
        juce::MemoryBlock file;
        const char* message;
    } cases[] = {
        { "plain PCM", container ("RIFF", "WAVE", { fmt (1), chunk ("data", pcm) }), "" },
        { "format after the data", container ("RIFF", "WAVE", { chunk ("data", pcm), fmt (1) }), "" },
        { "not audio", juce::MemoryBlock ("RIFF\0\0\0\0AVI ", 12), "unsupported input format (WAV or AIFF, 8 to 32-bit integer or 32-bit float)" },
        { "too short for a header", juce::MemoryBlock ("RIFF", 4), "unsupported input format (WAV or AIFF, 8 to 32-bit integer or 32-bit float)" },
        { "no format", container ("RIFF", "WAVE", { chunk ("data", pcm) }), "damaged input: no format chunk" },
        { "no data", container ("RIFF", "WAVE", { fmt (1) }), "damaged input: no audio data chunk" },
        { "short format", container ("RIFF", "WAVE", { fmt (1, 12), chunk ("data", pcm) }), "damaged input: a format chunk too short to describe the audio" },
        { "short extensible format", container ("RIFF", "WAVE", { fmt (0xfffe, 24), chunk ("data", pcm) }), "damaged input: an extensible format chunk too short to describe the audio" },
        { "ADPCM", container ("RIFF", "WAVE", { fmt (2), chunk ("data", pcm) }), "unsupported input: compressed audio (WAV format 0x2; integer PCM or float only)" },
        { "RF64 without ds64", container ("RF64", "WAVE", { fmt (1), chunk ("data", pcm) }), "damaged input: an RF64 header without its ds64 chunk" },
        { "AIFF without COMM", container ("FORM", "AIFF", { chunk ("SSND", bytes ({ 0, 0, 0, 0, 0, 0, 0, 0, 1, 2 }), true) }, true), "damaged input: no COMM chunk" },
        { "AIFF-C compressed", container ("FORM", "AIFC", { chunk ("COMM", bytes ({ 0, 1, 0, 0, 0, 1, 0, 16, 0x40, 0x0e, 0xac, 0x44, 0, 0, 0, 0, 0, 0, 'i', 'm', 'a', 4 }), true) }, true), "unsupported input: compressed audio (AIFF-C 'ima?'; integer PCM or float only)" },
        { "short SSND", container ("FORM", "AIFF", { chunk ("SSND", bytes ({ 0, 0, 0, 0 }), true) }, true), "damaged input: an SSND chunk too short to hold audio" },
        { "the data behind too many chunks", manyChunks, "damaged input: no format chunk" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        InputFile input;
        const auto opened = openBytes (input, c.file);
        EXPECT_EQ (juce::String (c.message).isEmpty() ? juce::String() : juce::String (c.message) + ": x.wav", opened.status.message);
    }
}
