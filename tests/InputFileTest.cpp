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
        { "channels-65535.wav", -1, "unsupported input: 65535 channels (mono or stereo only)" },
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
