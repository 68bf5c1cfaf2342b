#include "cli/Renderer.h"
#include "RenderTestFiles.h"
#include "cli/DemoRiff.h"
#include "cli/ProcessorSetup.h"
#include "processor/ProductInfo.h"
#include "processor/VardekoQX2710AudioProcessor.h"

namespace
{
struct RenderRun
{
    RenderStatus status;
    juce::StringArray warnings;
    RenderSummary summary;
};

RenderRun render (const RenderOptions& options)
{
    Renderer renderer (options);
    RenderRun run;
    renderer.onWarning = [&run] (const juce::String& text)
    { run.warnings.add (text); };
    run.status = renderer.run();
    run.summary = renderer.getSummary();
    return run;
}

// The preset menu's file: the processor's own preset document, written as XML.
bool writePreset (const juce::File& file, const std::vector<std::pair<int, float>>& values, const char* presetVersion = nullptr)
{
    VardekoQX2710AudioProcessor source;

    for (const auto& [index, value] : values)
        source.setParameter (index, value);

    juce::XmlElement document ("molvekPatch");
    source.createPatchDocument (document, true);

    if (presetVersion != nullptr)
        if (auto* properties = document.getChildByName ("Properties"))
            properties->setAttribute ("presetVersion", presetVersion);

    return document.writeTo (file);
}
} // namespace

class RendererTest : public RenderScratchFolder
{
protected:
    // An input file of the given shape holding the test signal; the signal as the file stores it.
    juce::AudioBuffer<float> makeInput (const juce::String& name, int numChannels, int numSamples, double rate, SampleFormat format)
    {
        input = folder.getChildFile (name);
        EXPECT_TRUE (writeAudioFile (input, makeTestSignal (numChannels, numSamples, rate), rate, format));
        return decodeAudioFile (input).samples;
    }

    RenderOptions optionsFor (const juce::String& outputName)
    {
        RenderOptions options;
        options.input = input;
        options.output = folder.getChildFile (outputName);
        options.quiet = true;
        return options;
    }

    juce::File input;
};

TEST_F (RendererTest, RendersEveryShapeOfFileToTheRightFormatAndLength)
{
    struct Case
    {
        const char* inputName;
        int channels;
        double rate;
        SampleFormat inputFormat;
        const char* outputName;
        std::optional<SampleFormat> bits;
        int block;
        std::optional<int> announced;
        bool stereoOutput;
        SampleFormat expectedFormat;
        int expectedChannels;
    };

    const auto int16 = SampleFormat::integer (16);
    const auto int24 = SampleFormat::integer (24);
    const auto float32 = SampleFormat::floatingPoint();

    const Case cases[] = {
        { "m16.wav", 1, 44100.0, int16, "out.wav", {}, 512, {}, false, int16, 1 },
        { "s24.aiff", 2, 48000.0, int24, "out.aiff", {}, 1000, {}, false, int24, 2 },
        { "mf.wav", 1, 96000.0, float32, "out.wav", {}, 40000, {}, false, float32, 1 },
        { "s16.wav", 2, 44100.0, int16, "out.aif", {}, 40000, 512, false, int16, 2 },
        { "m24.wav", 1, 37800.0, int24, "out.wav", float32, 333, {}, false, float32, 1 },
        { "m16b.aif", 1, 192000.0, int16, "out.wav", int24, 512, {}, true, int24, 2 },
        { "mfa.wav", 1, 48000.0, float32, "out.aiff", {}, 512, {}, false, int24, 1 }, // AIFF has no float
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.inputName);
        const auto length = 100003; // several blocks and a partial one
        const auto dry = makeInput (c.inputName, c.channels, length, c.rate, c.inputFormat);

        for (const bool effectOn : { true, false })
        {
            SCOPED_TRACE (effectOn ? "effect on" : "effect off");
            auto options = optionsFor (c.outputName);
            options.sampleFormat = c.bits;
            options.blockSize = c.block;
            options.announcedBlockSize = c.announced;
            options.stereoOutput = c.stereoOutput;

            if (! effectOn)
                options.parameters.emplace_back (HostParameters::onBypass, 0.0f);

            const auto run = render (options);
            ASSERT_FALSE (run.status.failed()) << run.status.message;

            const auto out = decodeAudioFile (options.output);
            ASSERT_TRUE (out.valid);
            EXPECT_EQ (c.rate, out.sampleRate);
            EXPECT_EQ (c.expectedChannels, out.samples.getNumChannels());
            EXPECT_EQ (length, out.samples.getNumSamples());
            EXPECT_EQ (c.expectedFormat.isFloat, out.isFloat);
            EXPECT_EQ (c.expectedFormat.bitsPerSample, out.bitsPerSample);
            EXPECT_EQ (length, run.summary.frames);

            for (int ch = 0; ch < out.samples.getNumChannels(); ++ch)
                EXPECT_GT (out.samples.getRMSLevel (ch, 0, length), 0.1f) << "channel " << ch;

            if (c.expectedChannels == 2 && c.channels == 1)
            {
                EXPECT_EQ (0.0f, largestDifference (channelOf (out.samples, 0), channelOf (out.samples, 1)))
                    << "one input, two outputs: both outputs carry the same signal";
            }

            // Switched off, the processor hands every block back untouched: the file must
            // carry the input sample for sample, on every channel it came in on.
            if (! effectOn)
            {
                if (c.expectedFormat == c.inputFormat)
                    EXPECT_EQ (0.0f, largestDifference (dry, out.samples));
                else
                    EXPECT_LT (largestDifference (dry, out.samples), 1.0f / (1 << 23));
            }
        }
    }
}

TEST_F (RendererTest, TheInputsChannelsStayApart)
{
    makeInput ("s.wav", 2, 20000, 48000.0, SampleFormat::integer (24));
    auto options = optionsFor ("out.wav");
    ASSERT_FALSE (render (options).status.failed());

    const auto out = decodeAudioFile (options.output);
    ASSERT_EQ (2, out.samples.getNumChannels());

    EXPECT_GT (largestDifference (channelOf (out.samples, 0), channelOf (out.samples, 1)), 0.1f);
}

TEST_F (RendererTest, SplitBlocksSoundLikeSmallBlocks)
{
    // Blocks larger than the processor was prepared for are split inside it; the result must
    // not depend on where the host's blocks or the processor's pieces begin.
    makeInput ("in.wav", 2, 70001, 48000.0, SampleFormat::floatingPoint());

    auto small = optionsFor ("small.wav");
    auto split = optionsFor ("split.wav");
    split.blockSize = 40000;
    split.announcedBlockSize = 512;
    auto large = optionsFor ("large.wav");
    large.blockSize = 70001;

    for (auto* options : { &small, &split, &large })
        for (auto* o : { options })
        {
            o->circuit = 4;
            o->oversamplingIndex = 2;
            o->parameters = { { HostParameters::overdrive, 0.9f }, { HostParameters::dryWet, 0.7f } };
            ASSERT_FALSE (render (*o).status.failed());
        }

    const auto reference = decodeAudioFile (small.output).samples;
    EXPECT_LE (largestDifference (reference, decodeAudioFile (split.output).samples), 1e-6f);
    EXPECT_LE (largestDifference (reference, decodeAudioFile (large.output).samples), 1e-6f);
}

TEST_F (RendererTest, AnEmptyInputGivesAnEmptyOutput)
{
    input = folder.getChildFile ("empty.aif");
    ASSERT_TRUE (writeAudioFile (input, juce::AudioBuffer<float> (2, 0), 44100.0, SampleFormat::integer (24)));

    auto options = optionsFor ("out.wav");
    double lastProgress = -1.0;
    Renderer renderer (options);
    renderer.onProgress = [&lastProgress] (double fraction)
    { lastProgress = fraction; };

    ASSERT_FALSE (renderer.run().failed());
    EXPECT_EQ (1.0, lastProgress);

    const auto out = decodeAudioFile (options.output);
    ASSERT_TRUE (out.valid);
    EXPECT_EQ (2, out.samples.getNumChannels());
    EXPECT_EQ (0, out.samples.getNumSamples());
    EXPECT_EQ (24, out.bitsPerSample);
}

TEST_F (RendererTest, TheDemoCanBeWrittenDryAndProcessed)
{
    RenderOptions options;
    options.demo = true;
    options.demoRate = 44100;
    options.stereoOutput = true;
    options.output = folder.getChildFile ("wet.wav");
    options.demoDry = folder.getChildFile ("dry.aiff");
    options.parameters = { { HostParameters::onBypass, 0.0f } };

    ASSERT_FALSE (render (options).status.failed());

    // Switched off, the wet file is the dry riff on both sides.
    const auto dry = decodeAudioFile (options.demoDry);
    const auto wet = decodeAudioFile (options.output);
    ASSERT_EQ (1, dry.samples.getNumChannels());
    ASSERT_EQ (2, wet.samples.getNumChannels());
    EXPECT_EQ (24, dry.bitsPerSample);
    EXPECT_EQ (24, wet.bitsPerSample);
    EXPECT_EQ (std::llround (DemoRiff::getLengthSeconds() * 44100.0), wet.samples.getNumSamples());
    EXPECT_EQ (0.0f, largestDifference (dry.samples, channelOf (wet.samples, 0)));
    EXPECT_EQ (0.0f, largestDifference (dry.samples, channelOf (wet.samples, 1)));

    // One file cannot be both.
    options.demoDry = options.output;
    const auto run = render (options);
    EXPECT_EQ (RenderStatus::usageError, run.status.exitCode);
    EXPECT_EQ ("--demo-dry and the output are the same file: " + options.output.getFullPathName(), run.status.message);
}

TEST_F (RendererTest, TheSummaryNamesWhatWasRendered)
{
    // A quarter of the rate at half scale: samples 0, 0.5, 0, -0.5, a peak of -6.02 dBFS.
    juce::AudioBuffer<float> signal (1, 4800);

    for (int i = 0; i < 4800; ++i)
        signal.setSample (0, i, 0.5f * (float) ((i % 4 == 1) - (i % 4 == 3)));

    input = folder.getChildFile ("in.wav");
    ASSERT_TRUE (writeAudioFile (input, signal, 48000.0, SampleFormat::integer (16)));

    auto options = optionsFor ("out.wav");
    options.circuit = 3;
    options.oversamplingIndex = 1;
    options.parameters = { { HostParameters::onBypass, 0.0f } };

    const auto run = render (options);
    ASSERT_FALSE (run.status.failed());

    EXPECT_EQ ("Rendered 4800 frames (0.100 s at 48000 Hz) through Modern Overdrive (switched off), 2x Oversampling -> "
                   + options.output.getFullPathName() + " (16-bit integer, mono, peak -6.0 dBFS)",
               run.summary.describe());
}

//==============================================================================
TEST_F (RendererTest, APresetIsAppliedAndExplicitSettingsOverrideIt)
{
    const auto preset = folder.getChildFile ("Crunch.mvkp");
    ASSERT_TRUE (writePreset (preset, { { HostParameters::overdriveType, 0.5f }, { HostParameters::oversampling, 2.0f / 3.0f }, { HostParameters::overdrive, 0.8f }, { HostParameters::tone, 0.3f }, { HostParameters::dryWet, 0.25f } }));

    {
        RenderOptions options;
        options.preset = preset;
        VardekoQX2710AudioProcessor processor;
        juce::StringArray warnings;

        ASSERT_FALSE (ProcessorSetup::apply (processor, options, warnings).failed());
        EXPECT_TRUE (warnings.isEmpty());
        EXPECT_EQ (juce::String ("Mad Overdrive"), processor.getParameterText (HostParameters::overdriveType));
        EXPECT_EQ (juce::String ("4x Oversampling"), processor.getParameterText (HostParameters::oversampling));
        EXPECT_NEAR (0.8f, processor.getParameter (HostParameters::overdrive), 1e-5f);
        EXPECT_NEAR (0.3f, processor.getParameter (HostParameters::tone), 1e-5f);
        EXPECT_NEAR (0.25f, processor.getParameter (HostParameters::dryWet), 1e-5f);
        EXPECT_NEAR (0.5f, processor.getParameter (HostParameters::level), 1e-5f);
    }

    {
        // The preset is named last on the command line and still comes first.
        RenderOptions options;
        ASSERT_FALSE (RenderOptions::parse ({ "--circuit", "pro", "--oversampling", "1", "--param", "overdrive=0.2", "--preset", preset.getFullPathName(), "in.wav", "out.wav" },
                                            folder,
                                            options)
                          .failed());

        VardekoQX2710AudioProcessor processor;
        juce::StringArray warnings;
        ASSERT_FALSE (ProcessorSetup::apply (processor, options, warnings).failed());
        EXPECT_EQ (juce::String ("Pro Overdrive"), processor.getParameterText (HostParameters::overdriveType));
        EXPECT_EQ (juce::String ("1x Oversampling"), processor.getParameterText (HostParameters::oversampling));
        EXPECT_EQ (0.2f, processor.getParameter (HostParameters::overdrive));
        EXPECT_NEAR (0.3f, processor.getParameter (HostParameters::tone), 1e-5f);
    }
}

TEST_F (RendererTest, APresetReachesTheSound)
{
    // A preset that switches the effect off makes the render a copy of the input.
    const auto dry = makeInput ("in.wav", 2, 30000, 44100.0, SampleFormat::integer (24));
    const auto preset = folder.getChildFile ("Off.mvkp");
    ASSERT_TRUE (writePreset (preset, { { HostParameters::onBypass, 0.0f }, { HostParameters::overdriveType, 1.0f } }));

    auto options = optionsFor ("out.wav");
    options.preset = preset;
    const auto run = render (options);

    ASSERT_FALSE (run.status.failed()) << run.status.message;
    EXPECT_EQ (0.0f, largestDifference (dry, decodeAudioFile (options.output).samples));
    EXPECT_EQ (juce::String ("Pro Overdrive"), run.summary.circuit);
    EXPECT_FALSE (run.summary.effectOn);
}

TEST_F (RendererTest, PresetFilesThatCannotBeUsed)
{
    makeInput ("in.wav", 1, 1000, 44100.0, SampleFormat::integer (16));

    const auto notXml = folder.getChildFile ("text.mvkp");
    ASSERT_TRUE (notXml.replaceWithText ("not a document"));

    const auto otherRoot = folder.getChildFile ("other.mvkp");
    ASSERT_TRUE (otherRoot.replaceWithText ("<somethingElse><Properties/></somethingElse>"));

    const auto otherProduct = folder.getChildFile ("foreign.mvkp");
    ASSERT_TRUE (writePreset (otherProduct, {}));
    ASSERT_TRUE (otherProduct.replaceWithText (otherProduct.loadFileAsString().replace (ProductInfo::productId, "com.example.Other")));

    const auto missing = folder.getChildFile ("missing.mvkp");

    const std::pair<juce::File, juce::String> cases[] = {
        { missing, "preset file not found: " + missing.getFullPathName() },
        { notXml, "not a preset file (is not XML): " + notXml.getFullPathName() },
        { otherRoot, "not a preset file: " + otherRoot.getFullPathName() },
        { otherProduct, "preset of another product: " + otherProduct.getFullPathName() },
    };

    for (const auto& [preset, message] : cases)
    {
        auto options = optionsFor ("out.wav");
        options.preset = preset;
        const auto run = render (options);

        EXPECT_EQ (RenderStatus::runtimeFailure, run.status.exitCode) << preset.getFileName();
        EXPECT_EQ (message, run.status.message);
        EXPECT_FALSE (options.output.exists()) << preset.getFileName();

        // Refused, it is not recorded as the current preset either.
        VardekoQX2710AudioProcessor processor;
        const auto before = processor.getCurrentPresetPath();
        juce::StringArray warnings;
        EXPECT_TRUE (ProcessorSetup::apply (processor, options, warnings).failed());
        EXPECT_EQ (before, processor.getCurrentPresetPath()) << preset.getFileName();
    }

    // Nothing is written before the settings are known to be good, not even the dry riff.
    RenderOptions demo;
    demo.demo = true;
    demo.output = folder.getChildFile ("wet.wav");
    demo.demoDry = folder.getChildFile ("dry.wav");
    demo.preset = otherProduct;

    EXPECT_EQ (RenderStatus::runtimeFailure, render (demo).status.exitCode);
    EXPECT_FALSE (demo.demoDry.exists());
    EXPECT_FALSE (demo.output.exists());
}

TEST_F (RendererTest, APresetFromANewerVersionIsAppliedWithAWarning)
{
    makeInput ("in.wav", 1, 1000, 44100.0, SampleFormat::integer (16));
    const auto preset = folder.getChildFile ("Newer.mvkp");
    ASSERT_TRUE (writePreset (preset, { { HostParameters::overdriveType, 0.25f } }, "1.1"));

    auto options = optionsFor ("out.wav");
    options.preset = preset;
    const auto run = render (options);

    ASSERT_FALSE (run.status.failed()) << run.status.message;
    ASSERT_EQ (1, run.warnings.size());
    EXPECT_TRUE (run.warnings[0].startsWith ("warning: \"" + preset.getFullPathName() + "\" was made using a newer version of Vardeko QX2710. "))
        << run.warnings[0];
    EXPECT_FALSE (run.warnings[0].containsAnyOf ("\r\n"));
    EXPECT_EQ (juce::String ("Boutique Overdrive"), run.summary.circuit);
}

//==============================================================================
TEST_F (RendererTest, NeverWritesOverItsInput)
{
    makeInput ("in.wav", 1, 1000, 44100.0, SampleFormat::integer (16));
    juce::MemoryBlock original;
    ASSERT_TRUE (input.loadFileAsData (original));

    const auto link = folder.getChildFile ("link.wav");

    if (! input.createSymbolicLink (link, true))
        GTEST_SKIP() << "symbolic links cannot be made here";

    const auto linkedFolder = folder.getChildFile ("again");
    ASSERT_TRUE (folder.createSymbolicLink (linkedFolder, true));

    for (const auto& output : { input, link, linkedFolder.getChildFile ("in.wav") })
    {
        auto options = optionsFor ("unused.wav");
        options.output = output;
        const auto run = render (options);

        EXPECT_EQ (RenderStatus::usageError, run.status.exitCode) << output.getFullPathName();
        EXPECT_EQ ("refusing to overwrite the input file: " + output.getFullPathName(), run.status.message);
    }

    // Rendering from the link into the real file is the same thing the other way round.
    auto options = optionsFor ("unused.wav");
    options.input = link;
    options.output = input;
    EXPECT_EQ (RenderStatus::usageError, render (options).status.exitCode);

    juce::MemoryBlock after;
    ASSERT_TRUE (input.loadFileAsData (after));
    EXPECT_TRUE (after == original);
    EXPECT_TRUE (input.existsAsFile() && ! input.isSymbolicLink());
}

TEST_F (RendererTest, ReplacesAnOlderOutputAndLeavesNoTemporaryFiles)
{
    makeInput ("in.wav", 1, 1000, 44100.0, SampleFormat::integer (16));
    auto options = optionsFor ("out.wav");
    ASSERT_TRUE (options.output.replaceWithText ("old"));

    ASSERT_FALSE (render (options).status.failed());
    EXPECT_TRUE (decodeAudioFile (options.output).valid);

    EXPECT_EQ (2, folder.getNumberOfChildFiles (juce::File::findFilesAndDirectories, "*")) << "only in.wav and out.wav";
}

TEST_F (RendererTest, InputAndOutputProblemsEndWithOneLine)
{
    makeInput ("in.wav", 1, 1000, 44100.0, SampleFormat::integer (16));

    const auto text = folder.getChildFile ("text.wav");
    ASSERT_TRUE (text.replaceWithText ("RIFF but not really"));

    const auto threeChannels = folder.getChildFile ("three.wav");
    ASSERT_TRUE (writeAudioFile (threeChannels, makeTestSignal (3, 100, 44100.0), 44100.0, SampleFormat::integer (16)));

    const auto aFolder = folder.getChildFile ("folder.wav");
    ASSERT_TRUE (aFolder.createDirectory().wasOk());

    struct Case
    {
        juce::File in, out;
        int exitCode;
        juce::String message;
    };

    const auto missing = folder.getChildFile ("missing.wav");
    const auto noFolder = folder.getChildFile ("nowhere/out.wav");
    const auto underAFile = input.getChildFile ("out.wav");

    std::vector<Case> cases = {
        { missing, folder.getChildFile ("out.wav"), 1, "input file not found: " + missing.getFullPathName() },
        { aFolder, folder.getChildFile ("out.wav"), 1, "input is a folder: " + aFolder.getFullPathName() },
        { text, folder.getChildFile ("out.wav"), 1, "unsupported input format (WAV or AIFF, 8 to 32-bit integer or 32-bit float): " + text.getFullPathName() },
        { threeChannels, folder.getChildFile ("out.wav"), 1, "unsupported input: 3 channels (mono or stereo only): " + threeChannels.getFullPathName() },
        { input, noFolder, 1, "output folder does not exist: " + noFolder.getParentDirectory().getFullPathName() },
        { input, underAFile, 1, "output folder does not exist: " + input.getFullPathName() },
        { input, aFolder, 1, "output is a folder: " + aFolder.getFullPathName() },
    };

#if JUCE_LINUX
    // A folder that takes no new files, even for the administrator.
    if (juce::File ("/proc/self").isDirectory())
        cases.push_back ({ input, juce::File ("/proc/vardeko.wav"), 1, "cannot write output file: /proc/vardeko.wav" });
#endif

    for (const auto& c : cases)
    {
        auto options = optionsFor ("unused.wav");
        options.input = c.in;
        options.output = c.out;
        const auto run = render (options);

        EXPECT_EQ (c.exitCode, run.status.exitCode) << c.message;
        EXPECT_EQ (c.message, run.status.message);
    }

    EXPECT_FALSE (folder.getChildFile ("out.wav").exists());
}

TEST_F (RendererTest, AFolderWithoutWriteAccess)
{
    makeInput ("in.wav", 1, 1000, 44100.0, SampleFormat::integer (16));
    const auto locked = folder.getChildFile ("locked");
    ASSERT_TRUE (locked.createDirectory().wasOk());
    ASSERT_TRUE (locked.setReadOnly (true));

    if (locked.hasWriteAccess())
        GTEST_SKIP() << "running with rights that ignore folder permissions";

    auto options = optionsFor ("unused.wav");
    options.output = locked.getChildFile ("out.wav");
    const auto run = render (options);
    locked.setReadOnly (false);

    EXPECT_EQ (RenderStatus::runtimeFailure, run.status.exitCode);
    EXPECT_EQ ("output folder is not writable: " + locked.getFullPathName(), run.status.message);
}

//==============================================================================
TEST_F (RendererTest, WarnsWhenTheOutputClips)
{
    // Switched off, the output is the input: 4 samples above full scale, 1 exactly at it.
    juce::AudioBuffer<float> signal (2, 1000);
    signal.clear();

    for (int i = 0; i < 1000; ++i)
        signal.setSample (0, i, 0.5f);

    signal.setSample (0, 10, 1.5f);
    signal.setSample (0, 11, -1.5f);
    signal.setSample (1, 500, 1.0f);
    signal.setSample (1, 998, 1.25f);
    signal.setSample (1, 999, -1.001f);

    input = folder.getChildFile ("loud.wav");
    ASSERT_TRUE (writeAudioFile (input, signal, 48000.0, SampleFormat::floatingPoint()));

    auto options = optionsFor ("out.wav");
    options.parameters = { { HostParameters::onBypass, 0.0f } };
    auto run = render (options);

    ASSERT_FALSE (run.status.failed());
    EXPECT_EQ (juce::StringArray ("warning: the output clips: 5 samples at or beyond full scale (peak +3.5 dBFS)"), run.warnings);
    EXPECT_EQ (5, run.summary.clippedSamples);

    // Below full scale nothing is said.
    signal.applyGain (0.6f);
    ASSERT_TRUE (writeAudioFile (input, signal, 48000.0, SampleFormat::floatingPoint()));
    run = render (options);
    EXPECT_TRUE (run.warnings.isEmpty()) << run.warnings.joinIntoString ("\n");
    EXPECT_EQ (0, run.summary.clippedSamples);
}

TEST_F (RendererTest, ANoteAtTimeZeroKeepsItsAttack)
{
    // Without the pre-roll the circuit's start-up fade (about 85 ms at 48 kHz) would swallow
    // the first notes of every render.
    const auto rate = 48000.0;
    juce::AudioBuffer<float> note (1, 24000);

    for (int i = 0; i < note.getNumSamples(); ++i)
        note.setSample (0, i, 0.3f * (float) std::sin (juce::MathConstants<double>::twoPi * 196.0 * i / rate));

    input = folder.getChildFile ("note.wav");
    ASSERT_TRUE (writeAudioFile (input, note, rate, SampleFormat::floatingPoint()));

    for (const int circuit : { 0, 1, 2, 3, 4 })
    {
        SCOPED_TRACE (circuit);
        auto options = optionsFor ("out.wav");
        options.circuit = circuit;
        ASSERT_FALSE (render (options).status.failed());

        const auto out = decodeAudioFile (options.output).samples;
        const auto attack = out.getRMSLevel (0, 0, 480); // the first 10 ms
        const auto settled = out.getRMSLevel (0, 9600, 4800); // 200 to 300 ms
        EXPECT_GT (attack, 0.7f * settled);
        EXPECT_LT (attack, 1.4f * settled);
    }
}
