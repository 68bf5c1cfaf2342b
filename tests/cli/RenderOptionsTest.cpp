#include "cli/ProcessorSetup.h"
#include "cli/RenderOptions.h"
#include "processor/FactoryPresets.h"
#include "processor/VardekoQX2710AudioProcessor.h"

#include <gtest/gtest.h>

namespace
{
juce::File base()
{
    return juce::File::getCurrentWorkingDirectory().getChildFile ("renderBase");
}

// Splits like a shell: at spaces, keeping double-quoted words together.
juce::StringArray splitLine (const juce::String& line)
{
    auto arguments = juce::StringArray::fromTokens (line, " ", "\"");
    arguments.removeEmptyStrings();

    for (auto& a : arguments)
        a = a.unquoted();

    return arguments;
}

RenderStatus parseLine (const juce::String& line, RenderOptions& options)
{
    return RenderOptions::parse (splitLine (line), base(), options);
}
} // namespace

TEST (RenderOptions, GoodCommandLines)
{
    using Parameters = std::vector<std::pair<int, float>>;

    struct Case
    {
        const char* line;
        const char* input;
        const char* output;
        std::optional<int> circuit;
        std::optional<int> oversampling;
        Parameters parameters;
        int block;
        std::optional<int> announced;
    };

    const Case cases[] = {
        { "in.wav out.wav", "in.wav", "out.wav", {}, {}, {}, 512, {} },
        { "--circuit \"Pro Overdrive\" --oversampling 8 --param overdrive=0.8 --param dryWet=.5 in.wav out.aiff",
          "in.wav",
          "out.aiff",
          4,
          3,
          { { 3, 0.8f }, { 6, 0.5f } },
          512,
          {} },
        { "--param=tone=1 --block=40000 --announced-block 512 in.aif OUT.AIF", "in.aif", "OUT.AIF", {}, {}, { { 4, 1.0f } }, 40000, 512 },
        { "--param onBypass=0 --param inputVol=1e-1 --param level=0 --oversampling 2x a.wav b.wav", "a.wav", "b.wav", {}, 1, { { 0, 0.0f }, { 1, 0.1f }, { 5, 0.0f } }, 512, {} },
        { "--circuit mad --param oversampling=0.34 sub/a.wav ../b.wav", "sub/a.wav", "../b.wav", 2, {}, { { 7, 0.34f } }, 512, {} },
        { "-- -odd.wav -out.wav", "-odd.wav", "-out.wav", {}, {}, {}, 512, {} },
        { "in.wav --block 1 out.wav", "in.wav", "out.wav", {}, {}, {}, 1, {} },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.line);
        RenderOptions options;
        const auto status = parseLine (c.line, options);

        ASSERT_FALSE (status.failed()) << status.message;
        EXPECT_EQ (base().getChildFile (c.input), options.input);
        EXPECT_EQ (base().getChildFile (c.output), options.output);
        EXPECT_EQ (c.circuit, options.circuit);
        EXPECT_EQ (c.oversampling, options.oversamplingIndex);
        EXPECT_EQ (c.parameters, options.parameters);
        EXPECT_EQ (c.block, options.blockSize);
        EXPECT_EQ (c.announced.value_or (c.block), options.getAnnouncedBlockSize());
        EXPECT_FALSE (options.demo);
        EXPECT_FALSE (options.sampleFormat.has_value());
    }
}

TEST (RenderOptions, DemoOutputAndFlags)
{
    RenderOptions options;
    ASSERT_FALSE (parseLine ("--demo --rate 96000 --demo-dry dry.aif --bits 16 --stereo -q --preset p.mvkp out.wav", options).failed());

    EXPECT_TRUE (options.demo);
    EXPECT_EQ (96000, options.demoRate);
    EXPECT_EQ (base().getChildFile ("dry.aif"), options.demoDry);
    EXPECT_EQ (base().getChildFile ("out.wav"), options.output);
    EXPECT_EQ (juce::File(), options.input);
    EXPECT_EQ (base().getChildFile ("p.mvkp"), options.preset);
    EXPECT_TRUE (options.sampleFormat == SampleFormat::integer (16));
    EXPECT_TRUE (options.stereoOutput);
    EXPECT_TRUE (options.quiet);

    ASSERT_FALSE (parseLine ("--demo out.wav --bits float", options).failed());
    EXPECT_EQ (48000, options.demoRate);
    EXPECT_TRUE (options.sampleFormat == SampleFormat::floatingPoint());
}

TEST (RenderOptions, HelpWinsOverEverythingBeforeTheEndOfOptions)
{
    RenderOptions options;

    for (const auto* line : { "--help", "-h", "--nonsense --block x -h", "in.wav out.wav --help" })
    {
        ASSERT_FALSE (parseLine (line, options).failed()) << line;
        EXPECT_TRUE (options.helpRequested) << line;
    }

    // After "--" it is a file name.
    EXPECT_EQ (juce::String ("unexpected argument '--help'"), parseLine ("a.wav b.wav -- --help", options).message);
}

TEST (RenderOptions, BadCommandLinesGiveOneExactLine)
{
    const std::pair<const char*, const char*> cases[] = {
        { "", "missing input and output files" },
        { "in.wav", "missing output file" },
        { "a.wav b.wav c.wav", "unexpected argument 'c.wav'" },
        { "--demo", "missing output file" },
        { "--demo in.wav out.wav", "unexpected argument 'out.wav'" },
        { "--drive 1 a.wav b.wav", "unknown option '--drive'" },
        { "-x a.wav b.wav", "unknown option '-x'" },
        { "a.wav b.wav --block", "--block needs a value" },
        { "--block= a.wav b.wav", "--block needs a value" },
        { "--stereo=1 a.wav b.wav", "--stereo takes no value" },
        { "--block 0 a.wav b.wav", "--block must be a whole number from 1 to 1048576, not '0'" },
        { "--block 1048577 a.wav b.wav", "--block must be a whole number from 1 to 1048576, not '1048577'" },
        { "--block 5.5 a.wav b.wav", "--block must be a whole number from 1 to 1048576, not '5.5'" },
        { "--announced-block -1 a.wav b.wav", "--announced-block must be a whole number from 1 to 1048576, not '-1'" },
        { "--block 512 --block 256 a.wav b.wav", "--block given more than once" },
        { "--circuit fuzz a.wav b.wav", "unknown circuit 'fuzz' (Blues, Boutique, Mad, Modern or Pro Overdrive)" },
        { "--circuit 4 a.wav b.wav", "unknown circuit '4' (Blues, Boutique, Mad, Modern or Pro Overdrive)" },
        { "--oversampling 3 a.wav b.wav", "--oversampling must be 1, 2, 4 or 8, not '3'" },
        { "--oversampling 16 a.wav b.wav", "--oversampling must be 1, 2, 4 or 8, not '16'" },
        { "--param overdrive a.wav b.wav", "--param needs ID=VALUE, not 'overdrive'" },
        { "--param drive=0.5 a.wav b.wav", "unknown parameter 'drive' (onBypass, inputVol, overdriveType, overdrive, tone, level, dryWet, oversampling)" },
        { "--param Overdrive=0.5 a.wav b.wav", "unknown parameter 'Overdrive' (onBypass, inputVol, overdriveType, overdrive, tone, level, dryWet, oversampling)" },
        { "--param overdrive=1.5 a.wav b.wav", "--param overdrive: 1.5 is outside 0 to 1" },
        { "--param tone=-0.01 a.wav b.wav", "--param tone: -0.01 is outside 0 to 1" },
        { "--param level=0.5x a.wav b.wav", "--param level: '0.5x' is not a number" },
        { "--param level=nan a.wav b.wav", "--param level: 'nan' is not a number" },
        { "--param level= a.wav b.wav", "--param level: '' is not a number" },
        { "--param level=0.1 --param level=0.2 a.wav b.wav", "--param level given more than once" },
        { "--circuit pro --param overdriveType=0 a.wav b.wav", "--circuit and --param overdriveType both choose the circuit" },
        { "--param oversampling=1 --oversampling 2 a.wav b.wav", "--oversampling and --param oversampling both choose the oversampling factor" },
        { "--bits 12 a.wav b.wav", "--bits must be 8, 16, 24 or float, not '12'" },
        { "--bits 32 a.wav b.wav", "WAV files cannot hold 32-bit integer samples (8, 16, 24-bit or float)" },
        { "--bits float a.wav b.aiff", "AIFF files cannot hold 32-bit float samples (8, 16 or 24-bit)" },
        { "--demo --bits float --demo-dry dry.aif out.wav", "AIFF files cannot hold 32-bit float samples (8, 16 or 24-bit)" },
        { "a.wav b.mp3", "output file 'b.mp3' must end in .wav, .aif or .aiff" },
        { "a.wav b", "output file 'b' must end in .wav, .aif or .aiff" },
        { "--rate 44100 a.wav b.wav", "--rate needs --demo" },
        { "--demo-dry d.wav a.wav b.wav", "--demo-dry needs --demo" },
        { "--demo --rate 7999 out.wav", "--rate must be a whole number of Hz from 8000 to 384000, not '7999'" },
        { "--demo --rate 48k out.wav", "--rate must be a whole number of Hz from 8000 to 384000, not '48k'" },
        { "--preset", "--preset needs a value" },
        { "--demo --demo out.wav", "--demo given more than once" },
    };

    for (const auto& [line, message] : cases)
    {
        RenderOptions options;
        const auto status = parseLine (line, options);
        EXPECT_EQ (RenderStatus::usageError, status.exitCode) << line;
        EXPECT_EQ (juce::String (message), status.message) << line;
    }
}

TEST (RenderOptions, CircuitNamesSelectTheNamedCircuitInTheProcessor)
{
    const std::pair<const char*, const char*> cases[] = {
        { "Blues Overdrive", "Blues Overdrive" },
        { "blues", "Blues Overdrive" },
        { "BOUTIQUE OVERDRIVE", "Boutique Overdrive" },
        { "  mad   overdrive ", "Mad Overdrive" },
        { "Modern", "Modern Overdrive" },
        { "pro", "Pro Overdrive" },
        { "Pro Overdriv", nullptr },
        { "overdrive", nullptr },
        { "Pro-Overdrive", nullptr },
        { "", nullptr },
    };

    for (const auto& [name, shown] : cases)
    {
        const auto index = RenderOptions::findCircuit (name);
        ASSERT_EQ (shown != nullptr, index.has_value()) << name;

        if (index.has_value())
        {
            VardekoQX2710AudioProcessor processor;
            processor.setParameter (HostParameters::overdriveType, RenderOptions::circuitValue (*index));
            EXPECT_EQ (juce::String (shown), processor.getParameterText (HostParameters::overdriveType)) << name;
        }
    }
}

TEST (RenderOptions, OversamplingFactorsSelectTheFactorInTheProcessor)
{
    const std::pair<const char*, const char*> cases[] = {
        { "1", "1x Oversampling" },
        { "2", "2x Oversampling" },
        { "4x", "4x Oversampling" },
        { "8", "8x Oversampling" },
        { "8X", "8x Oversampling" },
        { "0", nullptr },
        { "3", nullptr },
        { "16", nullptr },
        { "x", nullptr },
        { "", nullptr },
    };

    for (const auto& [factor, shown] : cases)
    {
        const auto index = RenderOptions::findOversamplingIndex (factor);
        ASSERT_EQ (shown != nullptr, index.has_value()) << factor;

        if (index.has_value())
        {
            VardekoQX2710AudioProcessor processor;
            processor.setParameter (HostParameters::oversampling, RenderOptions::oversamplingValue (*index));
            EXPECT_EQ (juce::String (shown), processor.getParameterText (HostParameters::oversampling)) << factor;
        }
    }
}

TEST (RenderOptions, FactoryPresetsAreFoundByNameAndLoadedWithTheirPath)
{
    RenderOptions options;
    ASSERT_FALSE (parseLine ("--demo --factory-preset \"pro crunch\" --param tone=0.9 out.wav", options).failed());
    EXPECT_EQ (juce::String ("pro crunch"), options.factoryPreset);

    VardekoQX2710AudioProcessor processor;
    juce::StringArray warnings;
    ASSERT_FALSE (ProcessorSetup::apply (processor, options, warnings).failed());

    const auto* preset = FactoryPresets::find ("Pro Crunch");
    ASSERT_NE (preset, nullptr);
    EXPECT_EQ (juce::String ("Pro Overdrive"), processor.getParameterText (HostParameters::overdriveType));
    EXPECT_FLOAT_EQ (preset->overdrive, processor.getParameter (HostParameters::overdrive));
    EXPECT_FLOAT_EQ (0.9f, processor.getParameter (HostParameters::tone)) << "named parameters override the preset";
    EXPECT_EQ (juce::String ("Factory\\Pro Overdrive\\Pro Crunch.mvkp"), processor.getCurrentPresetPath());
    EXPECT_EQ (juce::String ("Pro Crunch"), processor.getProgramName (0));

    EXPECT_TRUE (parseLine ("--demo --factory-preset Nothing out.wav", options).message.startsWith ("unknown factory preset 'Nothing' (Blues Clean Boost, "));
    EXPECT_EQ (juce::String ("--preset and --factory-preset both choose the preset"),
               parseLine ("--demo --preset p.mvkp --factory-preset \"Pro Lead\" out.wav", options).message);
}
