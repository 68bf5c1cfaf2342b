#include "RenderTestFiles.h"
#include "cli/DemoRiff.h"

namespace
{
struct ProgramRun
{
    int exitCode = -1;
    juce::String output; // stdout and stderr together
};

ProgramRun runProgram (const juce::StringArray& arguments)
{
    juce::StringArray command { VARDEKO_RENDER_PATH };
    command.addArray (arguments);

    juce::ChildProcess process;
    ProgramRun run;

    if (! process.start (command))
        return run;

    run.output = process.readAllProcessOutput();

    if (process.waitForProcessToFinish (20000))
        run.exitCode = (int) process.getExitCode();

    return run;
}
} // namespace

class RenderProgramTest : public RenderScratchFolder
{
protected:
    juce::String path (const char* name) const { return folder.getChildFile (name).getFullPathName(); }
};

TEST_F (RenderProgramTest, HelpPrintsTheUsageAndSucceeds)
{
    const auto run = runProgram ({ "--help" });
    EXPECT_EQ (0, run.exitCode);
    EXPECT_TRUE (run.output.startsWith ("Usage: vardeko-render")) << run.output;
    EXPECT_TRUE (run.output.contains ("--param ID=VALUE"));
}

TEST_F (RenderProgramTest, FailuresEndWithOneLineAndTheirExitCode)
{
    ASSERT_TRUE (writeAudioFile (folder.getChildFile ("in.wav"), makeTestSignal (1, 1000, 44100.0), 44100.0, SampleFormat::integer (16)));
    const bool haveLinks = folder.getChildFile ("in.wav").createSymbolicLink (folder.getChildFile ("link.wav"), true);
    ASSERT_TRUE (folder.getChildFile ("foreign.mvkp").replaceWithText ("<molvekPatch><Properties deviceProductID=\"x\"/></molvekPatch>"));

    const struct
    {
        juce::StringArray arguments;
        int exitCode;
        juce::String line;
    } cases[] = {
        { {}, 2, "missing input and output files" },
        { { "--drive", "1", path ("in.wav"), path ("out.wav") }, 2, "unknown option '--drive'" },
        { { "--param", "overdrive=2", path ("in.wav"), path ("out.wav") }, 2, "--param overdrive: 2 is outside 0 to 1" },
        { { path ("in.wav"), path ("link.wav") }, 2, "refusing to overwrite the input file: " + path ("link.wav") },
        { { path ("missing.wav"), path ("out.wav") }, 1, "input file not found: " + path ("missing.wav") },
        { { path ("in.wav"), path ("nowhere/out.wav") }, 1, "output folder does not exist: " + path ("nowhere") },
        { { "--preset", path ("foreign.mvkp"), path ("in.wav"), path ("out.wav") }, 1, "preset of another product: " + path ("foreign.mvkp") },
    };

    for (const auto& c : cases)
    {
        if (! haveLinks && c.line.contains ("link.wav"))
            continue;

        const auto run = runProgram (c.arguments);
        EXPECT_EQ (c.exitCode, run.exitCode) << c.line;
        EXPECT_EQ ("vardeko-render: " + c.line + "\n", run.output);
    }

    EXPECT_FALSE (folder.getChildFile ("out.wav").exists());
}

TEST_F (RenderProgramTest, TheDemoNeedsNoInputFile)
{
    const auto run = runProgram ({ "--demo", "--circuit", "pro", "--oversampling", "2", "--demo-dry", path ("dry.aif"), path ("out.wav") });

    ASSERT_EQ (0, run.exitCode) << run.output;
    const auto frames = juce::String (std::llround (DemoRiff::getLengthSeconds() * 48000.0));
    EXPECT_TRUE (run.output.startsWith ("Rendered " + frames + " frames (")) << run.output;
    EXPECT_TRUE (run.output.contains (" through Pro Overdrive, 2x Oversampling -> " + path ("out.wav") + " (24-bit integer, mono, peak ")) << run.output;
    EXPECT_EQ (1, juce::StringArray::fromLines (run.output.trimEnd()).size()) << "one summary line, no progress bar";

    for (const auto* name : { "out.wav", "dry.aif" })
    {
        const auto decoded = decodeAudioFile (folder.getChildFile (name));
        ASSERT_TRUE (decoded.valid) << name;
        EXPECT_EQ (48000.0, decoded.sampleRate);
        EXPECT_EQ (24, decoded.bitsPerSample);
        EXPECT_EQ (1, decoded.samples.getNumChannels());
        EXPECT_EQ (frames.getLargeIntValue(), decoded.samples.getNumSamples());
    }
}

TEST_F (RenderProgramTest, QuietSaysNothingButWarnings)
{
    ASSERT_TRUE (writeAudioFile (folder.getChildFile ("in.wav"), makeTestSignal (2, 1000, 44100.0), 44100.0, SampleFormat::floatingPoint()));

    const auto run = runProgram ({ "-q", path ("in.wav"), path ("out.aiff") });

    EXPECT_EQ (0, run.exitCode);
    EXPECT_EQ (juce::String ("vardeko-render: warning: AIFF files cannot hold 32-bit float samples; writing 24-bit integer\n"), run.output);
    EXPECT_EQ (24, decodeAudioFile (folder.getChildFile ("out.aiff")).bitsPerSample);
}
