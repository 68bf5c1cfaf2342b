#include "cli/RenderOptions.h"

#include "cli/ArgumentValues.h"
#include "cli/AudioFileTypes.h"
#include "processor/FactoryPresets.h"
#include "processor/HostParameters.h"

#include <set>

namespace
{
RenderStatus checkOutputFile (const juce::File& file, const std::optional<SampleFormat>& format)
{
    const auto type = AudioFileTypes::fromExtension (file);

    if (type == AudioFileTypes::Type::unknown)
        return RenderStatus::usage ("output file " + ArgumentValues::quoted (file.getFileName()) + " must end in .wav, .aif or .aiff");

    if (format.has_value() && ! AudioFileTypes::canWrite (type, *format))
        return RenderStatus::usage (AudioFileTypes::getName (type) + " files cannot hold " + format->describe()
                                    + " samples (" + AudioFileTypes::describeWritable (type) + ")");

    return RenderStatus::ok();
}

enum class Option
{
    help,
    quiet,
    demo,
    demoDry,
    rate,
    preset,
    factoryPreset,
    circuit,
    oversampling,
    param,
    bits,
    stereo,
    block,
    announcedBlock
};

struct OptionEntry
{
    const char* name;
    Option option;
    bool takesValue;
};

const OptionEntry optionTable[] = {
    { "--help", Option::help, false },
    { "-h", Option::help, false },
    { "--quiet", Option::quiet, false },
    { "-q", Option::quiet, false },
    { "--demo", Option::demo, false },
    { "--demo-dry", Option::demoDry, true },
    { "--rate", Option::rate, true },
    { "--preset", Option::preset, true },
    { "--factory-preset", Option::factoryPreset, true },
    { "--circuit", Option::circuit, true },
    { "--oversampling", Option::oversampling, true },
    { "--param", Option::param, true },
    { "--bits", Option::bits, true },
    { "--stereo", Option::stereo, false },
    { "--block", Option::block, true },
    { "--announced-block", Option::announcedBlock, true },
};

const OptionEntry* findOption (const juce::String& name)
{
    for (const auto& entry : optionTable)
        if (name == entry.name)
            return &entry;

    return nullptr;
}
} // namespace

//==============================================================================
float RenderOptions::circuitValue (int modelIndex) noexcept
{
    return HostParameters::getModelValue (modelIndex);
}

float RenderOptions::oversamplingValue (int oversamplingIndex) noexcept
{
    return HostParameters::getOversamplingValue (oversamplingIndex);
}

std::optional<int> RenderOptions::findCircuit (const juce::String& name)
{
    auto words = juce::StringArray::fromTokens (name, " \t", "");
    words.removeEmptyStrings();
    const auto wanted = words.joinIntoString (" ");

    if (wanted.isEmpty())
        return std::nullopt;

    for (int m = 0; m < HostParameters::numModels; ++m)
    {
        const auto full = HostParameters::getModelName (m);

        if (wanted.equalsIgnoreCase (full) || wanted.equalsIgnoreCase (full.upToFirstOccurrenceOf (" ", false, false)))
            return m;
    }

    return std::nullopt;
}

std::optional<int> RenderOptions::findOversamplingIndex (const juce::String& factor)
{
    auto text = factor.trim();

    if (text.endsWithIgnoreCase ("x"))
        text = text.dropLastCharacters (1);

    const juce::String factors[] = { "1", "2", "4", "8" };

    for (int k = 0; k < 4; ++k)
        if (text == factors[k])
            return k;

    return std::nullopt;
}

//==============================================================================
RenderStatus RenderOptions::parse (const juce::StringArray& arguments, const juce::File& baseFolder, RenderOptions& result)
{
    result = RenderOptions();

    // Help wins over everything else on the line.
    for (const auto& argument : arguments)
    {
        if (argument == "--")
            break;

        if (argument == "--help" || argument == "-h")
        {
            result.helpRequested = true;
            return RenderStatus::ok();
        }
    }

    juce::StringArray positional;
    std::set<Option> seen;
    std::set<int> parametersSeen;
    bool optionsEnded = false;

    for (int i = 0; i < arguments.size(); ++i)
    {
        const auto& argument = arguments[i];

        if (optionsEnded || argument == "-" || ! argument.startsWithChar ('-'))
        {
            positional.add (argument);
            continue;
        }

        if (argument == "--")
        {
            optionsEnded = true;
            continue;
        }

        const auto name = argument.upToFirstOccurrenceOf ("=", false, false);
        const bool hasInlineValue = argument.containsChar ('=');
        const auto* entry = findOption (name);

        if (entry == nullptr)
            return RenderStatus::usage ("unknown option " + ArgumentValues::quoted (name));

        juce::String value;

        if (entry->takesValue)
        {
            if (hasInlineValue)
                value = argument.fromFirstOccurrenceOf ("=", false, false);
            else if (i + 1 < arguments.size())
                value = arguments[++i];

            if (value.isEmpty())
                return RenderStatus::usage (name + " needs a value");
        }
        else if (hasInlineValue)
        {
            return RenderStatus::usage (name + " takes no value");
        }

        if (entry->option != Option::param && ! seen.insert (entry->option).second)
            return RenderStatus::usage (name + " given more than once");

        switch (entry->option)
        {
            case Option::help:
                break;

            case Option::quiet:
                result.quiet = true;
                break;

            case Option::demo:
                result.demo = true;
                break;

            case Option::stereo:
                result.stereoOutput = true;
                break;

            case Option::demoDry:
                result.demoDry = baseFolder.getChildFile (value);
                break;

            case Option::preset:
                result.preset = baseFolder.getChildFile (value);
                break;

            case Option::factoryPreset:
                if (FactoryPresets::find (value) == nullptr)
                    return RenderStatus::usage ("unknown factory preset " + ArgumentValues::quoted (value) + " (" + ArgumentValues::factoryPresetNames() + ")");

                result.factoryPreset = value.trim();
                break;

            case Option::rate:
                if (const auto rate = ArgumentValues::wholeNumber (value, minimumDemoRate, maximumDemoRate))
                    result.demoRate = *rate;
                else
                    return RenderStatus::usage ("--rate must be a whole number of Hz from " + juce::String (minimumDemoRate)
                                                + " to " + juce::String (maximumDemoRate) + ", not " + ArgumentValues::quoted (value));
                break;

            case Option::block:
            case Option::announcedBlock:
            {
                const auto size = ArgumentValues::wholeNumber (value, 1, maximumBlockSize);

                if (! size.has_value())
                    return RenderStatus::usage (name + " must be a whole number from 1 to " + juce::String (maximumBlockSize)
                                                + ", not " + ArgumentValues::quoted (value));

                if (entry->option == Option::block)
                    result.blockSize = *size;
                else
                    result.announcedBlockSize = *size;
                break;
            }

            case Option::circuit:
                result.circuit = findCircuit (value);

                if (! result.circuit.has_value())
                    return RenderStatus::usage ("unknown circuit " + ArgumentValues::quoted (value) + " (Blues, Boutique, Mad, Modern or Pro Overdrive)");
                break;

            case Option::oversampling:
                result.oversamplingIndex = findOversamplingIndex (value);

                if (! result.oversamplingIndex.has_value())
                    return RenderStatus::usage ("--oversampling must be 1, 2, 4 or 8, not " + ArgumentValues::quoted (value));
                break;

            case Option::bits:
                if (value == "float")
                    result.sampleFormat = SampleFormat::floatingPoint();
                else if (value == "8" || value == "16" || value == "24" || value == "32")
                    result.sampleFormat = SampleFormat::integer (value.getIntValue());
                else
                    return RenderStatus::usage ("--bits must be 8, 16, 24 or float, not " + ArgumentValues::quoted (value));
                break;

            case Option::param:
            {
                if (! value.containsChar ('='))
                    return RenderStatus::usage ("--param needs ID=VALUE, not " + ArgumentValues::quoted (value));

                const auto identifier = value.upToFirstOccurrenceOf ("=", false, false);
                const auto number = value.fromFirstOccurrenceOf ("=", false, false);
                const auto index = ArgumentValues::parameter (identifier);

                if (! index.has_value())
                    return RenderStatus::usage ("unknown parameter " + ArgumentValues::quoted (identifier) + " (" + ArgumentValues::parameterNames() + ")");

                const auto parsed = ArgumentValues::decimal (number);

                if (! parsed.has_value())
                    return RenderStatus::usage ("--param " + identifier + ": " + ArgumentValues::quoted (number) + " is not a number");

                if (*parsed < 0.0 || *parsed > 1.0)
                    return RenderStatus::usage ("--param " + identifier + ": " + number + " is outside 0 to 1");

                if (! parametersSeen.insert (*index).second)
                    return RenderStatus::usage ("--param " + identifier + " given more than once");

                result.parameters.emplace_back (*index, (float) *parsed);
                break;
            }
        }
    }

    if (result.preset != juce::File() && result.factoryPreset.isNotEmpty())
        return RenderStatus::usage ("--preset and --factory-preset both choose the preset");

    if (result.circuit.has_value() && parametersSeen.count (HostParameters::overdriveType) > 0)
        return RenderStatus::usage ("--circuit and --param overdriveType both choose the circuit");

    if (result.oversamplingIndex.has_value() && parametersSeen.count (HostParameters::oversampling) > 0)
        return RenderStatus::usage ("--oversampling and --param oversampling both choose the oversampling factor");

    if (! result.demo)
    {
        if (seen.count (Option::rate) > 0)
            return RenderStatus::usage ("--rate needs --demo");

        if (seen.count (Option::demoDry) > 0)
            return RenderStatus::usage ("--demo-dry needs --demo");
    }

    const int filesWanted = result.demo ? 1 : 2;

    if (positional.size() > filesWanted)
        return RenderStatus::usage ("unexpected argument " + ArgumentValues::quoted (positional[filesWanted]));

    if (positional.size() < filesWanted)
        return RenderStatus::usage (positional.isEmpty() && ! result.demo ? "missing input and output files" : "missing output file");

    for (const auto& path : positional)
        if (path.isEmpty())
            return RenderStatus::usage ("empty file name");

    if (! result.demo)
        result.input = baseFolder.getChildFile (positional[0]);

    result.output = baseFolder.getChildFile (positional[filesWanted - 1]);

    if (const auto status = checkOutputFile (result.output, result.sampleFormat); status.failed())
        return status;

    if (result.demoDry != juce::File())
        if (const auto status = checkOutputFile (result.demoDry, result.sampleFormat); status.failed())
            return status;

    return RenderStatus::ok();
}

juce::String RenderOptions::getUsage()
{
    return "Usage: vardeko-render [options] INPUT OUTPUT\n"
           "       vardeko-render --demo [options] OUTPUT\n"
           "\n"
           "Renders an audio file through the Vardeko QX2710 overdrive.\n"
           "Files are WAV or AIFF, mono or stereo, 8/16/24/32-bit integer or 32-bit float, at 8 to\n"
           "768 kHz. The output type follows its extension (.wav, .aif, .aiff); the output has the\n"
           "input's channel count, sample rate and length (a file shorter than its header says is\n"
           "rendered as far as it goes, with a warning). An output file is never the input.\n"
           "The effect starts on silence before the first sample, so that its start-up fade is not\n"
           "heard and a note at time 0 keeps its attack. A warning counts output samples at or\n"
           "beyond full scale.\n"
           "\n"
           "Settings, applied in this order whatever their order here:\n"
           "  --preset FILE         a .mvkp preset file, loaded as the plug-in's preset menu does\n"
           "  --factory-preset NAME one of the presets that come with the plug-in, by name\n"
           "                        (\"Pro Crunch\"); instead of --preset\n"
           "  --circuit NAME        Blues, Boutique, Mad, Modern or Pro (Overdrive)\n"
           "  --oversampling N      1, 2, 4 or 8\n"
           "  --param ID=VALUE      a host parameter, VALUE from 0 to 1 as a host sends it;\n"
           "                        repeatable. IDs: onBypass inputVol overdriveType overdrive\n"
           "                        tone level dryWet oversampling\n"
           "\n"
           "Output:\n"
           "  --bits N              8, 16, 24 or float (32-bit), for AIFF 8, 16 or 24;\n"
           "                        default: the input's, 24 with --demo\n"
           "  --stereo              mono input into a stereo output (one input, two outputs)\n"
           "\n"
           "Processing:\n"
           "  --block N             block size handed to the processor (default 512)\n"
           "  --announced-block N   block size announced to prepareToPlay (default: --block);\n"
           "                        smaller than --block, it makes the processor split blocks\n"
           "\n"
           "Demo:\n"
           "  --demo                render a built-in guitar riff (mono DI) instead of INPUT\n"
           "  --demo-dry FILE       also write the unprocessed riff\n"
           "  --rate HZ             the riff's sample rate (default 48000)\n"
           "\n"
           "Other:\n"
           "  -q, --quiet           no progress bar and no summary\n"
           "  -h, --help            this text\n"
           "\n"
           "Exit status: 0 done, 1 a file could not be read or written, 2 a wrong command line.\n"
           "An unfinished output (a full disk, Ctrl-C) leaves no file behind and an older one as it was.\n";
}
