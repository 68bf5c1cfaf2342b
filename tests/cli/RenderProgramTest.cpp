#include "RenderTestFiles.h"
#include "ScopedFifo.h"
#include "cli/DemoRiff.h"

#include <condition_variable>
#include <mutex>
#include <thread>

#if JUCE_LINUX || JUCE_MAC
    #include <csignal>
    #include <sys/wait.h>
    #include <unistd.h>
#endif

namespace
{
struct ProgramRun
{
    int exitCode = -1;
    juce::String output; // stdout and stderr together
};

// A program that does not end within 20 s is killed (exit code -1).
ProgramRun runCommand (const juce::StringArray& command)
{
    juce::ChildProcess process;
    ProgramRun run;

    if (! process.start (command))
        return run;

    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;
    bool killed = false;

    std::thread watchdog ([&]
                          {
                              std::unique_lock<std::mutex> lock (mutex);

                              if (! ended.wait_for (lock, std::chrono::seconds (20), [&] { return finished; }))
                              {
                                  killed = true;
                                  process.kill();
                              } });

    run.output = process.readAllProcessOutput();

    {
        const std::lock_guard<std::mutex> lock (mutex);
        finished = true;
    }

    ended.notify_all();
    watchdog.join();

    if (! killed && process.waitForProcessToFinish (20000))
        run.exitCode = (int) process.getExitCode();

    return run;
}

ProgramRun runProgram (const juce::StringArray& arguments)
{
    juce::StringArray command { VARDEKO_RENDER_PATH };
    command.addArray (arguments);
    return runCommand (command);
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
    EXPECT_TRUE (run.output.contains ("The effect starts on silence before the first sample")) << "the pre-roll is documented";
}

TEST_F (RenderProgramTest, FailuresEndWithOneLineAndTheirExitCode)
{
    ASSERT_TRUE (writeAudioFile (folder.getChildFile ("in.wav"), makeTestSignal (1, 1000, 44100.0), 44100.0, SampleFormat::integer (16)));
    const bool haveLinks = folder.getChildFile ("in.wav").createSymbolicLink (folder.getChildFile ("link.wav"), true);
    ASSERT_TRUE (folder.getChildFile ("foreign.mvkp").replaceWithText ("<molvekPatch><Properties deviceProductID=\"x\"/></molvekPatch>"));
    const ScopedFifo fifo (folder.getChildFile ("fifo.mvkp"));

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
        { { "--preset", path ("fifo.mvkp"), path ("in.wav"), path ("out.wav") }, 1, "not a preset file (is not a regular file): " + path ("fifo.mvkp") },
    };

    for (const auto& c : cases)
    {
        if ((! haveLinks && c.line.contains ("link.wav")) || (! fifo.exists() && c.line.contains ("fifo.mvkp")))
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

//==============================================================================
// The disk refuses the output part-way: the program says why and exits 1, the temporary file
// is gone and an older output is as it was. A file size limit makes the system refuse the
// writes at exact places; a small tmpfs gives the real "disk full".
TEST_F (RenderProgramTest, AFileSizeLimitEndsTheRenderAndKeepsTheOldOutput)
{
    const juce::File prlimit ("/usr/bin/prlimit");

    if (! prlimit.existsAsFile())
        GTEST_SKIP() << "prlimit (util-linux) is not installed: the system cannot be asked to refuse writes";

    ASSERT_TRUE (writeAudioFile (folder.getChildFile ("in.wav"), makeTestSignal (2, 30000, 44100.0), 44100.0, SampleFormat::integer (16)));
    const auto output = folder.getChildFile ("out.wav");

    // The size of a complete output.
    ASSERT_EQ (0, runProgram ({ "-q", path ("in.wav"), path ("out.wav") }).exitCode);
    const auto fullSize = output.getSize();
    ASSERT_GT (fullSize, 100000);

    for (const auto limit : { (juce::int64) 10, fullSize / 2, fullSize - 1, fullSize })
    {
        SCOPED_TRACE (limit);
        ASSERT_TRUE (output.replaceWithText ("an older render"));

        const auto run = runCommand ({ prlimit.getFullPathName(), "--fsize=" + juce::String (limit), VARDEKO_RENDER_PATH, "-q", path ("in.wav"), path ("out.wav") });
        const auto fits = limit >= fullSize;

        EXPECT_EQ (fits ? 0 : 1, run.exitCode) << run.output;
        EXPECT_EQ (fits ? juce::String() : "vardeko-render: writing failed (File too large): " + path ("out.wav") + "\n", run.output);
        EXPECT_EQ (fits, decodeAudioFile (output).valid);
        EXPECT_EQ (fits ? fullSize : 15, output.getSize());
        EXPECT_EQ (2, folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories, "*")) << "in.wav and out.wav, no temporary file";
    }
}

TEST_F (RenderProgramTest, AFullDiskEndsTheRenderAndKeepsTheOldOutput)
{
#if ! JUCE_LINUX
    GTEST_SKIP() << "needs Linux mount namespaces";
#else
    // A private mount namespace (as root, or as this user where user namespaces are allowed)
    // with a 64 KB tmpfs; everything is checked inside, since the mount ends with it.
    ASSERT_TRUE (writeAudioFile (folder.getChildFile ("in.wav"), makeTestSignal (2, 44100, 44100.0), 44100.0, SampleFormat::integer (16)));
    const auto disk = folder.getChildFile ("disk");
    ASSERT_TRUE (disk.createDirectory().wasOk());

    const auto script = juce::String ("mount -t tmpfs -o size=64k tmpfs \"$1\" || exit 0; echo mounted; "
                                      "printf 'an older render' > \"$1/out.wav\"; "
                                      "\"$2\" -q \"$3\" \"$1/out.wav\"; echo \"exit $?\"; "
                                      "ls -A \"$1\"; cat \"$1/out.wav\"; echo");
    const auto run = runCommand ({ "unshare", "--mount", "--map-root-user", "/bin/sh", "-c", script, "sh", disk.getFullPathName(), VARDEKO_RENDER_PATH, path ("in.wav") });

    if (! run.output.startsWith ("mounted\n"))
        GTEST_SKIP() << "cannot mount a small tmpfs here (no mount namespace for this user): " << run.output;

    EXPECT_EQ ("mounted\n"
               "vardeko-render: writing failed (No space left on device): "
                   + disk.getChildFile ("out.wav").getFullPathName() + "\n"
                                                                      "exit 1\n"
                                                                      "out.wav\n"
                                                                      "an older render\n",
               run.output);
#endif
}

//==============================================================================
TEST_F (RenderProgramTest, AnInterruptedRenderLeavesNoTemporaryFile)
{
#if ! (JUCE_LINUX || JUCE_MAC)
    GTEST_SKIP() << "sends POSIX signals";
#else
    // Long enough to be caught in the middle: 20 s of stereo at 8x.
    ASSERT_TRUE (writeAudioFile (folder.getChildFile ("in.wav"), makeTestSignal (2, 20 * 48000, 48000.0), 48000.0, SampleFormat::floatingPoint()));

    for (const auto signalNumber : { SIGINT, SIGTERM, SIGHUP })
    {
        SCOPED_TRACE (signalNumber);
        ASSERT_TRUE (folder.getChildFile ("out.wav").replaceWithText ("an older render"));

        const std::string program = VARDEKO_RENDER_PATH, in = path ("in.wav").toStdString(), out = path ("out.wav").toStdString();
        const auto pid = fork();
        ASSERT_GE (pid, 0);

        if (pid == 0)
        {
            execl (program.c_str(), program.c_str(), "-q", "--oversampling", "8", in.c_str(), out.c_str(), (char*) nullptr);
            _exit (127);
        }

        // Interrupted while it writes its temporary file.
        bool writing = false;

        for (int i = 0; i < 2000 && ! writing; ++i)
        {
            writing = folder.getNumberOfChildFiles (juce::File::findFiles, ".out_temp*") > 0;
            juce::Thread::sleep (5);
        }

        kill (pid, signalNumber);
        int status = 0;
        waitpid (pid, &status, 0);

        EXPECT_TRUE (writing) << "the render ended before it could be interrupted";
        EXPECT_TRUE (WIFSIGNALED (status) && WTERMSIG (status) == signalNumber) << "ends as the signal would have";
        EXPECT_EQ (juce::String ("an older render"), folder.getChildFile ("out.wav").loadFileAsString());
        EXPECT_EQ (2, folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories, "*")) << "in.wav and out.wav, no temporary file";
    }
#endif
}
