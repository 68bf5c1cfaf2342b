#include "processor/HostParameters.h"
#include "ProcessorTestHelpers.h"
#include "processor/FactoryPresets.h"

#include <algorithm>
#include <clocale>
#include <optional>
#include <random>
#include <vector>

using namespace ProcessorTest;

TEST (HostParameters, NamesAndDefaultsInHostOrder)
{
    VardekoQX2710AudioProcessor processor;

    const char* names[] = { "onBypass", "inputVol", "overdriveType", "overdrive", "tone", "level", "dryWet", "oversampling" };
    const float defaults[] = { 1.0f, 0.5f, 0.0f, 0.5f, 0.5f, 0.5f, 1.0f, 0.0f };

    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
    ASSERT_EQ (8, processor.getNumParameters());

    for (int i = 0; i < 8; ++i)
    {
        EXPECT_EQ (juce::String (names[i]), processor.getParameterName (i)) << i;
        EXPECT_EQ (defaults[i], processor.getParameterDefaultValue (i)) << i;
        EXPECT_EQ (defaults[i], processor.getParameter (i)) << i;
    }

    for (int outside : { -1, 8, 100 })
    {
        EXPECT_EQ (juce::String(), processor.getParameterName (outside));
        EXPECT_EQ (0.0f, processor.getParameter (outside));
        EXPECT_EQ (0.0f, processor.getParameterDefaultValue (outside));
        EXPECT_EQ (juce::String(), processor.getParameterText (outside));
    }

    // Out-of-table writes change nothing.
    processor.setParameter (8, 0.3f);
    processor.setParameter (-1, 0.3f);
    JUCE_END_IGNORE_WARNINGS_GCC_LIKE

    for (int i = 0; i < 8; ++i)
        EXPECT_EQ (defaults[i], getValue (processor, i));
}

namespace
{
struct TextCase
{
    int index;
    float value;
    const char* text;
};

// Texts compute v x 10 and v x 100 in single precision and (1 - v) x 100 in double, which
// decides the last digit for values such as 0.0065 (0.065 in float is just below the tie).
const TextCase textCases[] = {
    { HostParameters::onBypass, 1.0f, "On" },
    { HostParameters::onBypass, 0.0f, "Off" },
    { HostParameters::onBypass, 0.001f, "On" },
    { HostParameters::inputVol, 0.5f, "5.00" },
    { HostParameters::inputVol, 1.0f, "10.00" },
    { HostParameters::inputVol, 0.0f, "0.00" },
    { HostParameters::overdrive, 0.725f, "7.25" },
    { HostParameters::tone, 0.0065f, "0.06" },
    { HostParameters::level, 0.333f, "3.33" },
    { HostParameters::level, 0.1234f, "1.23" },
    { HostParameters::overdriveType, 0.0f, "Blues Overdrive" },
    { HostParameters::overdriveType, 0.1f, "Boutique Overdrive" },
    { HostParameters::overdriveType, 0.25f, "Boutique Overdrive" },
    { HostParameters::overdriveType, 0.25000003f, "Mad Overdrive" },
    { HostParameters::overdriveType, 0.5f, "Mad Overdrive" },
    { HostParameters::overdriveType, 0.75f, "Modern Overdrive" },
    { HostParameters::overdriveType, 0.75000006f, "Pro Overdrive" },
    { HostParameters::overdriveType, 1.0f, "Pro Overdrive" },
    { HostParameters::oversampling, 0.0f, "1x Oversampling" },
    { HostParameters::oversampling, 1.0e-6f, "2x Oversampling" },
    { HostParameters::oversampling, 0.33333334f, "2x Oversampling" },
    { HostParameters::oversampling, 0.33333337f, "4x Oversampling" },
    { HostParameters::oversampling, 0.6666667f, "4x Oversampling" },
    { HostParameters::oversampling, 0.66666675f, "8x Oversampling" },
    { HostParameters::oversampling, 1.0f, "8x Oversampling" },
    { HostParameters::dryWet, 1.0f, "0.00% Dry / 100.00% Wet" },
    { HostParameters::dryWet, 0.25f, "75.00% Dry / 25.00% Wet" },
    { HostParameters::dryWet, 0.0f, "100.00% Dry / 0.00% Wet" },
    { HostParameters::dryWet, 0.333f, "66.70% Dry / 33.30% Wet" },
};
} // namespace

TEST (HostParameters, ValueTextsThroughTheProcessor)
{
    VardekoQX2710AudioProcessor processor;

    for (const auto& c : textCases)
    {
        setValue (processor, c.index, c.value);
        EXPECT_EQ (juce::String (c.text), getText (processor, c.index)) << "index " << c.index << " value " << c.value;
    }
}

TEST (HostParameters, BandsNameWhatTheProcessorSelects)
{
    // The text and the processor's index come from the same single-precision ceil, so they
    // can never disagree; sweep every float step around each limit.
    for (float limit : { 0.0f, 0.25f, 0.5f, 0.75f, 0.33333334f, 0.6666667f, 1.0f })
    {
        auto v = limit;

        for (int step = 0; step < 4; ++step)
            v = std::nextafter (v, -1.0f);

        for (int step = 0; step < 8; ++step, v = std::nextafter (v, 2.0f))
        {
            if (v < 0.0f || v > 1.0f)
                continue;

            EXPECT_EQ (HostParameters::getModelName (HostParameters::getModelIndex (v)), HostParameters::getText (HostParameters::overdriveType, v));
            EXPECT_EQ ((int) std::ceil (4.0f * v), HostParameters::getModelIndex (v)) << v;
            EXPECT_EQ ((int) std::ceil (3.0f * v), HostParameters::getOversamplingIndex (v)) << v;
        }
    }
}

TEST (HostParameters, IndicesStayInsideTheTablesForAnyValue)
{
    const float values[] = { -1.0e30f, -3.0f, -0.0f, 1.5f, 7.0f, 1.0e30f, std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(), std::numeric_limits<float>::quiet_NaN() };

    for (auto v : values)
    {
        const auto model = HostParameters::getModelIndex (v);
        const auto factor = HostParameters::getOversamplingIndex (v);
        EXPECT_TRUE (model >= 0 && model <= 4) << v;
        EXPECT_TRUE (factor >= 0 && factor <= 3) << v;
    }

    EXPECT_EQ (4, HostParameters::getModelIndex (7.0f));
    EXPECT_EQ (0, HostParameters::getModelIndex (-3.0f));
    EXPECT_EQ (3, HostParameters::getOversamplingIndex (1.5f));
}

TEST (HostParameters, NonFiniteHostValuesKeepTheOldValue)
{
    VardekoQX2710AudioProcessor processor;
    setValue (processor, HostParameters::overdrive, 0.7f);

    for (auto bad : { std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity() })
    {
        setValue (processor, HostParameters::overdrive, bad);
        EXPECT_EQ (0.7f, getValue (processor, HostParameters::overdrive));
        EXPECT_EQ (juce::String ("7.00"), getText (processor, HostParameters::overdrive));
    }
}

TEST (HostParameters, FiniteHostValuesAreStoredInsideZeroToOne)
{
    const std::pair<float, float> cases[] = { { 1.5f, 1.0f }, { 1.0e30f, 1.0f }, { 100.0f, 1.0f }, { -0.01f, 0.0f }, { -1.0e30f, 0.0f }, { -0.0f, 0.0f }, { 0.3f, 0.3f } };

    for (int index = 0; index < HostParameters::numParameters; ++index)
    {
        for (const auto& [sent, stored] : cases)
        {
            VardekoQX2710AudioProcessor processor;
            setValue (processor, index, 0.5f);
            setValue (processor, index, sent);
            EXPECT_EQ (stored, getValue (processor, index)) << HostParameters::getName (index) << " " << sent;
        }
    }
}

TEST (HostParameters, SteppedParametersDeclareTheirSteps)
{
    VardekoQX2710AudioProcessor processor;
    const int steps[] = { 2, 0, 5, 0, 0, 0, 0, 4 };

    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_EQ (steps[i] > 0, processor.isParameterDiscrete (i)) << i;
        EXPECT_EQ (steps[i] > 0 ? steps[i] : juce::AudioProcessor::getDefaultNumParameterSteps(), processor.getParameterNumSteps (i)) << i;
    }
    JUCE_END_IGNORE_WARNINGS_GCC_LIKE

    // Every step's value selects that step, and its text is the step's name.
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ (HostParameters::getModelName (k), HostParameters::getText (HostParameters::overdriveType, (float) k / 4.0f));

    for (int k = 0; k < 4; ++k)
        EXPECT_EQ (HostParameters::getOversamplingName (k), HostParameters::getText (HostParameters::oversampling, (float) k / 3.0f));
}

namespace
{
struct InBetweenCase
{
    int index;
    float given;
    int step; // the step the value plays
};

// Values between steps and on them: each plays the step whose band holds it.
const InBetweenCase inBetweenCases[] = {
    { HostParameters::onBypass, 0.0f, 0 },
    { HostParameters::onBypass, 0.001f, 1 },
    { HostParameters::onBypass, 0.57f, 1 },
    { HostParameters::overdriveType, 0.1f, 1 },
    { HostParameters::overdriveType, 0.3f, 2 },
    { HostParameters::overdriveType, 0.25f, 1 },
    { HostParameters::overdriveType, 0.76f, 4 },
    { HostParameters::oversampling, 0.01f, 1 },
    { HostParameters::oversampling, 0.6f, 2 },
    { HostParameters::oversampling, (float) (2.0 / 3.0), 2 },
    { HostParameters::oversampling, 0.7f, 3 },
};
} // namespace

TEST (HostParameters, HostsReadBackExactlyWhatTheySet)
{
    // A value between two steps is kept as given: the host reads back what it set, and the
    // text, the sound and a saved state follow the step whose band holds it.
    VardekoQX2710AudioProcessor processor;

    for (const auto& c : inBetweenCases)
    {
        setValue (processor, c.index, c.given);
        EXPECT_EQ (c.given, getValue (processor, c.index)) << "index " << c.index << " value " << c.given;
        EXPECT_EQ (HostParameters::getText (c.index, HostParameters::getStepValue (c.index, c.step)), getText (processor, c.index))
            << "index " << c.index << " value " << c.given;
        EXPECT_EQ (c.step, HostParameters::getStepIndex (c.index, c.given));

        juce::MemoryBlock state;
        processor.getStateInformation (state);
        VardekoQX2710AudioProcessor restored;
        restored.setStateInformation (state.getData(), (int) state.getSize());
        EXPECT_EQ (c.given, getValue (restored, c.index)) << "restored, index " << c.index << " value " << c.given;
    }
}

TEST (HostParameters, HostsHearOfAValueOnlyWhenItWasClamped)
{
    // Hosts keep their own copy of what they set: a value kept as given needs no word back, one
    // outside 0..1 is heard at the end it was kept at, once, from the thread that reports.
    struct Recorder : juce::AudioProcessorListener
    {
        void audioProcessorParameterChanged (juce::AudioProcessor*, int index, float value) override { heard.push_back ({ index, value }); }
        void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override {}
        std::vector<std::pair<int, float>> heard;
    };

    VardekoQX2710AudioProcessor processor;
    Recorder recorder;
    processor.addListener (&recorder);

    struct Case
    {
        int index;
        float given;
        std::optional<float> heard;
    };

    const Case cases[] = {
        { HostParameters::onBypass, 0.57f, std::nullopt },
        { HostParameters::overdriveType, 0.3f, std::nullopt },
        { HostParameters::oversampling, 0.01f, std::nullopt },
        { HostParameters::tone, 0.3f, std::nullopt },
        { HostParameters::tone, 1.5f, 1.0f },
        { HostParameters::overdriveType, -2.0f, 0.0f },
    };

    for (const auto& c : cases)
    {
        recorder.heard.clear();
        setValue (processor, c.index, c.given);
        EXPECT_TRUE (recorder.heard.empty()) << "nothing is sent from the thread that set the value";

        processor.announcePendingValues();

        if (c.heard)
            EXPECT_EQ ((std::vector<std::pair<int, float>> { { c.index, *c.heard } }), recorder.heard) << "index " << c.index << " value " << c.given;
        else
            EXPECT_TRUE (recorder.heard.empty()) << "index " << c.index << " value " << c.given;

        recorder.heard.clear();
        processor.announcePendingValues();
        EXPECT_TRUE (recorder.heard.empty()) << "reported once";
    }

    processor.removeListener (&recorder);
}

TEST (HostParameters, RandomOrderStateRoundTripAtOffStepValues)
{
    // What a validator does: random values in random order, save, scramble, restore, and every
    // parameter reads back what it was set to before the save.
    juce::Random random (2710);

    for (int round = 0; round < 20; ++round)
    {
        VardekoQX2710AudioProcessor processor;
        std::vector<int> order { 0, 1, 2, 3, 4, 5, 6, 7 };
        std::shuffle (order.begin(), order.end(), std::mt19937 ((unsigned) round));

        float before[8];

        for (auto k : order)
            setValue (processor, k, before[k] = random.nextFloat());

        juce::MemoryBlock state;
        processor.getStateInformation (state);

        for (auto k : order)
            setValue (processor, k, random.nextFloat());

        VardekoQX2710AudioProcessor restored;
        processor.setStateInformation (state.getData(), (int) state.getSize());
        restored.setStateInformation (state.getData(), (int) state.getSize());

        for (int k = 0; k < 8; ++k)
        {
            // Documents keep five decimals of continuous values and stepped values exactly.
            const auto tolerance = HostParameters::isStepped (k) ? 0.0f : 5.0e-6f;
            EXPECT_NEAR (before[k], getValue (processor, k), tolerance) << "round " << round << " index " << k;
            EXPECT_NEAR (before[k], getValue (restored, k), tolerance) << "round " << round << " index " << k;
        }
    }
}

TEST (HostParameters, ParameterObjectsGiveEveryFormatTheTextOfAnyValue)
{
    // Every format reads the eight parameters through these objects, in index order, with the
    // indexed values behind them: a host that lists a stepped parameter's values gets each
    // step's name, not the current value's text.
    VardekoQX2710AudioProcessor processor;
    const auto& parameters = processor.getParameters();
    ASSERT_EQ (HostParameters::numParameters, parameters.size());

    for (int k = 0; k < HostParameters::numParameters; ++k)
    {
        auto& p = *parameters[k];
        const auto name = HostParameters::getName (k);
        EXPECT_EQ (k, p.getParameterIndex());
        EXPECT_EQ (name, p.getName (100));
        EXPECT_EQ (name.substring (0, 4), p.getName (4));
        EXPECT_EQ (HostParameters::getDefaultValue (k), p.getDefaultValue()) << name;
        EXPECT_EQ (HostParameters::isStepped (k), p.isDiscrete()) << name;
        EXPECT_EQ (k == HostParameters::onBypass, p.isBoolean()) << name;
        EXPECT_EQ (HostParameters::isStepped (k) ? HostParameters::getNumSteps (k) : juce::AudioProcessor::getDefaultNumParameterSteps(), p.getNumSteps()) << name;
        EXPECT_TRUE (p.isAutomatable()) << name;
        EXPECT_TRUE (p.getLabel().isEmpty()) << name;

        // The value is the processor's, both ways.
        p.setValue (0.3f);
        EXPECT_EQ (0.3f, getValue (processor, k)) << name;
        setValue (processor, k, 0.6f);
        EXPECT_EQ (0.6f, p.getValue()) << name;
        EXPECT_EQ (getText (processor, k), p.getCurrentValueAsText()) << name;

        // Texts of values other than the current one, and back.
        for (const auto v : { 0.0f, 0.1f, 0.25f, 0.333f, 0.5f, 0.6667f, 0.8f, 1.0f })
        {
            const auto text = p.getText (v, 1024);
            EXPECT_EQ (HostParameters::getText (k, v), text) << name << " " << v;

            const auto back = p.getValueForText (text);

            if (HostParameters::isStepped (k))
                EXPECT_EQ (HostParameters::getStepIndex (k, v), HostParameters::getStepIndex (k, back)) << name << " " << text;
            else
                EXPECT_NEAR (v, back, 0.005f) << name << " " << text;
        }
    }

    // Typed texts: the start of a step's name, a factor, percentages, out-of-range numbers.
    const struct
    {
        int index;
        const char* text;
        float value;
    } typed[] = {
        { HostParameters::overdriveType, "modern", 0.75f },
        { HostParameters::overdriveType, "4", 1.0f },
        { HostParameters::oversampling, "4x", 2.0f / 3.0f },
        { HostParameters::onBypass, "off", 0.0f },
        { HostParameters::onBypass, "On", 1.0f },
        { HostParameters::dryWet, "25% Wet", 0.25f },
        { HostParameters::dryWet, "75% Dry", 0.25f },
        { HostParameters::dryWet, "40", 0.4f },
        { HostParameters::tone, "12", 1.0f },
        { HostParameters::level, "-3", 0.0f },
    };

    for (const auto& t : typed)
        EXPECT_NEAR (t.value, HostParameters::getValueForText (t.index, t.text), 1.0e-6f) << t.text;
}

TEST (HostParameters, TextsIgnoreADecimalCommaLocale)
{
    const auto* previous = std::setlocale (LC_ALL, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    ASSERT_NE (nullptr, std::setlocale (LC_ALL, "de_DE.UTF-8")) << "the de_DE.UTF-8 locale is missing (scripts/setup creates it)";
    const auto savedGlobal = std::locale::global (std::locale ("de_DE.UTF-8"));

    EXPECT_EQ (juce::String ("5.00"), HostParameters::getText (HostParameters::inputVol, 0.5f));
    EXPECT_EQ (juce::String ("75.00% Dry / 25.00% Wet"), HostParameters::getText (HostParameters::dryWet, 0.25f));
    EXPECT_EQ (juce::String ("0.50000"), HostParameters::formatFixed (0.5, 5));

    std::locale::global (savedGlobal);
    std::setlocale (LC_ALL, saved.c_str());
}

TEST (ProgramBank, TwelveProgramsNamedAfterTheirPresetFiles)
{
    VardekoQX2710AudioProcessor processor;
    ASSERT_EQ (12, processor.getNumPrograms());

    // Program 1 is "Init"; the factory programs are named after their channel A presets.
    EXPECT_EQ (juce::String ("Init"), processor.getProgramName (0));

    for (int i = 1; i < 12; ++i)
        EXPECT_EQ (juce::String (FactoryPresets::getPrograms()[(size_t) i - 1].rhythm), processor.getProgramName (i));

    processor.setCurrentPresetPath ("Crunch/Warm Lead.mvkp");
    EXPECT_EQ (juce::String ("Warm Lead"), processor.getProgramName (0));

    // Paths stored on Windows name the same preset everywhere.
    processor.setCurrentPresetPath ("Crunch\\Warm Lead.mvkp");
    EXPECT_EQ (juce::String ("Warm Lead"), processor.getProgramName (0));

    // Hosts and validators reject empty names: an empty path falls back to "Init".
    processor.setCurrentPresetPath ("");
    EXPECT_EQ (juce::String ("Init"), processor.getProgramName (0));

    for (int outside : { -1, 12 })
        EXPECT_FALSE (processor.getProgramName (outside).isEmpty());
}

TEST (ProgramBank, ANewInstanceHoldsInitThenFactoryPrograms)
{
    VardekoQX2710AudioProcessor processor;

    // Program 1: the defaults on both channels, so a new instance sounds as it always did.
    for (int c = 0; c < 2; ++c)
        for (int k = 0; k < HostParameters::numParameters; ++k)
            EXPECT_EQ (HostParameters::getDefaultValue (k), processor.getProgramValue (0, c, k)) << "channel " << c << ", parameter " << k;

    // Programs 2 to 12: a rhythm sound on channel A and a lead sound of the same circuit on B,
    // each channel with its factory preset's values and path, no two programs named alike.
    juce::StringArray names;

    for (int p = 1; p < 12; ++p)
    {
        const auto& program = FactoryPresets::getPrograms()[(size_t) p - 1];
        const FactoryPresets::Preset* channels[] = { FactoryPresets::find (program.rhythm), FactoryPresets::find (program.lead) };
        ASSERT_NE (nullptr, channels[0]) << program.rhythm;
        ASSERT_NE (nullptr, channels[1]) << program.lead;
        EXPECT_EQ (channels[0]->circuit, channels[1]->circuit) << p;
        EXPECT_TRUE (juce::String (program.lead).endsWith ("Lead") || juce::String (program.lead).endsWith ("Blend")) << program.lead;

        for (int c = 0; c < 2; ++c)
        {
            const auto values = FactoryPresets::getValues (*channels[c]);

            for (int k = 0; k < HostParameters::numParameters; ++k)
                EXPECT_EQ (values[(size_t) k], processor.getProgramValue (p, c, k)) << "program " << p << " channel " << c << " parameter " << k;
        }

        names.add (processor.getProgramName (p));
    }

    names.add (processor.getProgramName (0));
    names.removeDuplicates (false);
    EXPECT_EQ (12, names.size());

    // A restored session keeps what it stored, factory programs or not.
    VardekoQX2710AudioProcessor original;
    original.setCurrentProgram (4);
    setValue (original, HostParameters::overdrive, 0.123f);
    juce::MemoryBlock state;
    original.getStateInformation (state);

    VardekoQX2710AudioProcessor restored;
    restored.setStateInformation (state.getData(), (int) state.getSize());

    for (int p = 0; p < 12; ++p)
    {
        EXPECT_EQ (original.getProgramName (p), restored.getProgramName (p));

        for (int c = 0; c < 2; ++c)
            for (int k = 0; k < HostParameters::numParameters; ++k)
                EXPECT_EQ (original.getProgramValue (p, c, k), restored.getProgramValue (p, c, k));
    }

    EXPECT_EQ (4, restored.getCurrentProgram());
    EXPECT_EQ (0.123f, getValue (restored, HostParameters::overdrive));
}

TEST (ProgramBank, ChangingProgramBringsThatSlotsValuesAtOnce)
{
    VardekoQX2710AudioProcessor processor;

    const auto& factory = FactoryPresets::getPrograms()[2];
    const auto rhythmTone = FactoryPresets::getValues (*FactoryPresets::find (factory.rhythm))[HostParameters::tone];
    const auto leadTone = FactoryPresets::getValues (*FactoryPresets::find (factory.lead))[HostParameters::tone];

    setValue (processor, HostParameters::tone, 0.9f);
    processor.setCurrentProgram (3);
    EXPECT_EQ (3, processor.getCurrentProgram());
    EXPECT_EQ (rhythmTone, getValue (processor, HostParameters::tone));

    setValue (processor, HostParameters::tone, 0.2f);
    processor.setActiveChannel (1);
    processor.setCurrentProgram (3);
    EXPECT_EQ (leadTone, getValue (processor, HostParameters::tone)) << "channel B of slot 3 still holds its factory value";

    processor.setActiveChannel (0);
    processor.setCurrentProgram (0);
    EXPECT_EQ (0.9f, getValue (processor, HostParameters::tone));
    EXPECT_TRUE (processor.presetChanged.load());
    EXPECT_TRUE (processor.channelChanged.load());

    // Outside the table nothing changes.
    processor.setCurrentProgram (12);
    processor.setCurrentProgram (-1);
    EXPECT_EQ (0, processor.getCurrentProgram());
}

TEST (ProgramBank, CopyChannelCopiesValuesButNotThePath)
{
    VardekoQX2710AudioProcessor processor;
    setValue (processor, HostParameters::level, 0.8f);
    processor.setCurrentPresetPath ("A.mvkp");

    processor.copyChannel (0, 1);
    processor.setActiveChannel (1);
    EXPECT_EQ (0.8f, getValue (processor, HostParameters::level));
    EXPECT_EQ (juce::String ("Init.mvkp"), processor.getCurrentPresetPath());
    EXPECT_EQ (juce::String ("A.mvkp"), processor.getPresetPath (0));
}

TEST (VardekoQX2710AudioProcessor, AnswersTheHostsQuestions)
{
    VardekoQX2710AudioProcessor processor;
    EXPECT_EQ (juce::String ("Vardeko QX2710"), processor.getName());
    EXPECT_FALSE (processor.acceptsMidi());
    EXPECT_FALSE (processor.producesMidi());
    EXPECT_EQ (0.0, processor.getTailLengthSeconds());
    EXPECT_EQ (0, processor.getLatencySamples());
    EXPECT_TRUE (processor.hasEditor());
    EXPECT_FALSE (processor.supportsDoublePrecisionProcessing());

    // Stereo in and out is the default layout, with both buses on.
    EXPECT_EQ (2, processor.getTotalNumInputChannels());
    EXPECT_EQ (2, processor.getTotalNumOutputChannels());

    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
    EXPECT_EQ (juce::String ("1"), processor.getInputChannelName (0));
    EXPECT_EQ (juce::String ("2"), processor.getOutputChannelName (1));
    EXPECT_TRUE (processor.isInputChannelStereoPair (0));
    EXPECT_TRUE (processor.isOutputChannelStereoPair (1));
    JUCE_END_IGNORE_WARNINGS_GCC_LIKE
}
