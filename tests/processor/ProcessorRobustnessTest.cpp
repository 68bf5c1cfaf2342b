#include "ProcessorTestHelpers.h"

#include <functional>
#include <limits>

using namespace ProcessorTest;

// What a host or a faulty signal chain may throw at the processor: samples that are not
// numbers or absurdly large, values outside 0..1, the effect switched on and off at any moment,
// a new sample rate, and layouts it cannot serve. Every circuit at every factor.
namespace
{
constexpr double sampleRate = 48000.0;
constexpr int numFactors = HostParameters::numOversamplingFactors;
constexpr float notANumber = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();

// Three partials of a low note, different on each channel.
juce::AudioBuffer<float> note (int samples, double rate = sampleRate)
{
    juce::AudioBuffer<float> buffer (2, samples);

    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < samples; ++i)
        {
            const auto t = i / rate;
            const auto pi2 = 2.0 * juce::MathConstants<double>::pi;
            buffer.setSample (ch, i, (float) (0.25 * std::sin (pi2 * 110.0 * t) + 0.15 * std::sin (pi2 * 220.5 * t + ch) + 0.08 * std::sin (pi2 * 331.0 * t)));
        }

    return buffer;
}

// The largest step between neighbouring samples in [from, to), over both channels.
float largestStep (const juce::AudioBuffer<float>& b, int from, int to)
{
    float largest = 0.0f;

    for (int ch = 0; ch < b.getNumChannels(); ++ch)
        for (int i = std::max (1, from); i < std::min (to, b.getNumSamples()); ++i)
            largest = std::max (largest, std::abs (b.getSample (ch, i) - b.getSample (ch, i - 1)));

    return largest;
}

float largestDifference (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b, int from)
{
    return std::max (maxAbsDifference (a, b, 0, from), maxAbsDifference (a, b, 1, from));
}

std::unique_ptr<VardekoQX2710AudioProcessor> makeProcessor (int model, int factor, double rate = sampleRate, int block = 256)
{
    auto p = std::make_unique<VardekoQX2710AudioProcessor>();
    setLayout (*p, 2, 2);
    setValue (*p, HostParameters::overdriveType, HostParameters::getModelValue (model));
    setValue (*p, HostParameters::oversampling, HostParameters::getOversamplingValue (factor));
    p->prepareToPlay (rate, block);
    return p;
}

using Script = std::function<void (VardekoQX2710AudioProcessor&, int blockNumber)>;

// Runs the signal through in blocks; script runs before every block, as a host's automation.
juce::AudioBuffer<float> runScripted (VardekoQX2710AudioProcessor& p, juce::AudioBuffer<float> signal, int block, const Script& script)
{
    juce::MidiBuffer midi;

    for (int start = 0, k = 0; start < signal.getNumSamples(); start += block, ++k)
    {
        script (p, k);
        juce::AudioBuffer<float> view (signal.getArrayOfWritePointers(), 2, start, std::min (block, signal.getNumSamples() - start));
        p.processBlock (view, midi);
    }

    return signal;
}

juce::String describe (int model, int factor)
{
    return HostParameters::getModelName (model) + ", " + HostParameters::getOversamplingName (factor);
}
} // namespace

TEST (ProcessorRobustness, InputThatIsNotANumberOrAbsurdlyLargeIsForgottenWithinAFewBlocks)
{
    constexpr int block = 512;
    constexpr int badAt = 10 * block + 7;
    constexpr int recovered = badAt + 16 * block;
    const auto signal = note (badAt + 24 * block);
    const float badValues[] = { notANumber, inf, -inf, 1.0e30f, -3.0e38f };

    for (int model = 0; model < HostParameters::numModels; ++model)
    {
        for (int factor = 0; factor < numFactors; ++factor)
        {
            const auto reference = process (*makeProcessor (model, factor, sampleRate, block), signal, block);

            for (auto bad : badValues)
            {
                auto hostile = signal;
                hostile.setSample (0, badAt, bad);
                hostile.setSample (1, badAt + 1, -bad);
                const auto out = process (*makeProcessor (model, factor, sampleRate, block), hostile, block);
                const auto where = describe (model, factor) + ", input " + juce::String (bad);

                ASSERT_TRUE (allFinite (out)) << where;
                EXPECT_LT (out.getMagnitude (0, out.getNumSamples()), 8.0f) << where;
                EXPECT_LT (largestDifference (out, reference, recovered), 1.0e-3f) << where;
            }
        }
    }
}

TEST (ProcessorRobustness, ACircuitWhoseOutputIsNotANumberIsSilencedAndStartsAgain)
{
    // A sample that is not a number reaches the heard circuit's histories between two blocks,
    // past the processor's entry, as a fault inside a circuit would put it there.
    constexpr int block = 512;
    const auto signal = note (40 * block);

    for (int model = 0; model < HostParameters::numModels; ++model)
    {
        for (int factor = 0; factor < numFactors; ++factor)
        {
            auto p = makeProcessor (model, factor, sampleRate, block);
            const auto out = runScripted (*p, signal, block, [model] (VardekoQX2710AudioProcessor& processor, int k)
                                          {
                                              if (k == 10)
                                              {
                                                  juce::AudioBuffer<float> poison (2, block);
                                                  poison.clear();
                                                  poison.setSample (0, 5, notANumber);
                                                  poison.setSample (1, 5, notANumber);
                                                  processor.getModel (model).processStereo (poison.getWritePointer (0), poison.getWritePointer (1), block);
                                              } });

            EXPECT_TRUE (allFinite (out)) << describe (model, factor);
        }
    }
}

TEST (ProcessorRobustness, HostValuesOutsideZeroToOneActAsTheNearestEnd)
{
    struct Case
    {
        int model, parameter;
        float sent, nearest;
    };

    const Case cases[] = { { 1, HostParameters::tone, 1.3f, 1.0f },
                           { 1, HostParameters::tone, -0.01f, 0.0f },
                           { 0, HostParameters::overdrive, -0.01f, 0.0f },
                           { 3, HostParameters::tone, 100.0f, 1.0f },
                           { 3, HostParameters::level, 100.0f, 1.0f },
                           { 2, HostParameters::inputVol, 50.0f, 1.0f },
                           { 4, HostParameters::dryWet, -7.0f, 0.0f } };
    constexpr int block = 512;
    const auto signal = note (80 * block);

    for (const auto& c : cases)
    {
        const auto render = [&] (float value)
        {
            return runScripted (*makeProcessor (c.model, 0, sampleRate, block), signal, block, [&] (VardekoQX2710AudioProcessor& p, int k)
                                {
                                    if (k == 10)
                                        setValue (p, c.parameter, value);
                                    if (k == 30)
                                        setValue (p, c.parameter, 0.5f); });
        };

        const auto out = render (c.sent);
        const auto where = HostParameters::getModelName (c.model) + ", " + HostParameters::getName (c.parameter) + " " + juce::String (c.sent);
        ASSERT_TRUE (allFinite (out)) << where;
        EXPECT_EQ (0.0f, largestDifference (out, render (c.nearest), 0)) << where;
    }
}

TEST (ProcessorRobustness, SwitchingOnAndOffAtAnyMomentStaysWithinTheSteadyStep)
{
    // Switched off at block 40, then on again after the fade to dry has ended or while it is
    // still running, and host automation toggling it every few blocks.
    constexpr int block = 256;
    const auto signal = note (48000);
    std::vector<std::pair<juce::String, Script>> sequences;

    sequences.push_back ({ "on again once dry", [] (VardekoQX2710AudioProcessor& p, int k)
                           { if (k == 40 || k == 100) setValue (p, HostParameters::onBypass, k == 40 ? 0.0f : 1.0f); } });

    for (int later = 1; later <= 9; ++later)
        sequences.push_back ({ "on again " + juce::String (later) + " blocks later", [later] (VardekoQX2710AudioProcessor& p, int k)
                               { if (k == 40 || k == 40 + later) setValue (p, HostParameters::onBypass, k == 40 ? 0.0f : 1.0f); } });

    for (int every : { 1, 2, 3, 5, 11 })
        sequences.push_back ({ "toggled every " + juce::String (every) + " blocks", [every] (VardekoQX2710AudioProcessor& p, int k)
                               { if (k >= 40) setValue (p, HostParameters::onBypass, ((k - 40) / every) % 2 == 0 ? 0.0f : 1.0f); } });

    sequences.push_back ({ "all dry, off and on", [] (VardekoQX2710AudioProcessor& p, int k)
                           {
                               if (k == 0)
                                   setValue (p, HostParameters::dryWet, 0.0f);
                               if (k == 40 || k == 60)
                                   setValue (p, HostParameters::onBypass, k == 40 ? 0.0f : 1.0f); } });

    // What the signal explains: its own steps, dry and processed.
    const auto dryStep = largestStep (signal, 0, signal.getNumSamples());

    for (int model = 0; model < HostParameters::numModels; ++model)
    {
        for (int factor = 0; factor < numFactors; ++factor)
        {
            const auto steady = process (*makeProcessor (model, factor), signal, block);
            const auto allowed = 1.25f * std::max (dryStep, largestStep (steady, 20 * block, signal.getNumSamples()));

            for (const auto& [name, script] : sequences)
            {
                const auto out = runScripted (*makeProcessor (model, factor), signal, block, script);
                EXPECT_LE (largestStep (out, 40 * block - 1, out.getNumSamples()), allowed) << describe (model, factor) << ", " << name;
            }
        }
    }
}

TEST (ProcessorRobustness, AFadeThatTurnsRoundTwiceEndsWithoutAStep)
{
    // Off, on again during the fade to dry, off again: when the last fade ends, a dry path heard
    // at the wrong alignment jumps by the difference between the input and its delayed copy,
    // which a 2 kHz tone makes large. Timings in blocks of 256 samples (a fade lasts 8).
    constexpr int block = 256;
    constexpr int samples = 100 * block;
    juce::AudioBuffer<float> tone (2, samples);

    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < samples; ++i)
            tone.setSample (ch, i, 0.25f * (float) std::sin (2.0 * juce::MathConstants<double>::pi * 2000.0 * i / sampleRate));

    const struct
    {
        int onAgain, offAgain; // blocks after the first switch off
    } timings[] = { { 2, 4 }, { 1, 2 }, { 5, 7 }, { 7, 8 } };

    const auto dryStep = largestStep (tone, 0, samples);

    for (int model = 0; model < HostParameters::numModels; ++model)
    {
        for (int factor = 0; factor < numFactors; ++factor)
        {
            const auto steady = process (*makeProcessor (model, factor), tone, block);
            const auto allowed = 1.25f * std::max (dryStep, largestStep (steady, 20 * block, samples));

            for (const auto& t : timings)
            {
                const auto out = runScripted (*makeProcessor (model, factor), tone, block, [&t] (VardekoQX2710AudioProcessor& p, int k)
                                              {
                                                  if (k == 40 || k == 40 + t.onAgain || k == 40 + t.offAgain)
                                                      setValue (p, HostParameters::onBypass, k == 40 + t.onAgain ? 1.0f : 0.0f); });
                EXPECT_LE (largestStep (out, 40 * block - 1, samples), allowed)
                    << describe (model, factor) << ", on again after " << t.onAgain << " blocks, off again after " << t.offAgain;
            }
        }
    }
}

TEST (ProcessorRobustness, AStormOfSwitchingAtRandomMomentsStaysWithinTheSteadyStep)
{
    // Off and on at random samples, in blocks of random sizes, often several times within one
    // fade, so that the wet share and the dry path's move between aligned and unaligned turn
    // round part-way. A 2 kHz tone on top of the note makes a dry path heard at the wrong
    // alignment show as a step.
    constexpr int samples = 48000;
    constexpr int settled = 40 * 256;
    auto signal = note (samples);

    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < samples; ++i)
            signal.addSample (ch, i, 0.25f * (float) std::sin (2.0 * juce::MathConstants<double>::pi * 2000.0 * i / sampleRate));

    const auto dryStep = largestStep (signal, 0, samples);

    for (int model = 0; model < HostParameters::numModels; ++model)
    {
        for (int factor = 0; factor < numFactors; ++factor)
        {
            const auto steady = process (*makeProcessor (model, factor), signal, 256);
            const auto allowed = 1.25f * std::max (dryStep, largestStep (steady, settled, samples));

            for (int seed = 1; seed <= 3; ++seed)
            {
                auto p = makeProcessor (model, factor);
                const auto fade = p->getRampLength();
                juce::Random random (seed * 100 + model * 10 + factor);
                auto out = signal;
                juce::MidiBuffer midi;
                bool on = true;

                for (int start = 0, nextToggle = settled; start < samples;)
                {
                    if (start == nextToggle)
                    {
                        on = ! on;
                        setValue (*p, HostParameters::onBypass, on ? 1.0f : 0.0f);
                        nextToggle += 1 + random.nextInt (fade * 5 / 2);
                    }

                    const auto n = std::min ({ 1 + random.nextInt (512), nextToggle - start, samples - start });
                    juce::AudioBuffer<float> view (out.getArrayOfWritePointers(), 2, start, n);
                    p->processBlock (view, midi);
                    start += n;
                }

                EXPECT_LE (largestStep (out, settled - 1, samples), allowed) << describe (model, factor) << ", seed " << seed;
            }
        }
    }
}

TEST (ProcessorRobustness, ANewSampleRateSoundsLikeAFreshInstance)
{
    const std::pair<double, double> rateChanges[] = { { 8000.0, 192000.0 }, { 192000.0, 44100.0 }, { 44100.0, 48000.0 } };

    for (int model = 0; model < HostParameters::numModels; ++model)
    {
        for (const auto& [before, after] : rateChanges)
        {
            auto used = makeProcessor (model, 2, before, 512);
            process (*used, note ((int) before / 2, before), 512);
            setValue (*used, HostParameters::overdrive, 0.9f);
            process (*used, note (4096, before), 512);

            used->prepareToPlay (after, 512);
            auto fresh = makeProcessor (model, 2, after, 512);
            setValue (*fresh, HostParameters::overdrive, 0.9f);
            fresh->prepareToPlay (after, 512);

            const auto signal = note ((int) after, after);
            EXPECT_EQ (0.0f, largestDifference (process (*used, signal, 512), process (*fresh, signal, 512), 0))
                << HostParameters::getModelName (model) << ", " << before << " Hz to " << after << " Hz";
        }
    }
}

TEST (ProcessorRobustness, OnlyMonoAndStereoLayoutsAreAccepted)
{
    using Set = juce::AudioChannelSet;

    const struct
    {
        Set in, out;
        bool accepted;
    } cases[] = { { Set::mono(), Set::mono(), true },
                  { Set::stereo(), Set::stereo(), true },
                  { Set::mono(), Set::stereo(), true },
                  { Set::stereo(), Set::mono(), false },
                  { Set::disabled(), Set::stereo(), false },
                  { Set::stereo(), Set::disabled(), false },
                  { Set::canonicalChannelSet (3), Set::canonicalChannelSet (3), false },
                  { Set::createLCR(), Set::stereo(), false },
                  { Set::quadraphonic(), Set::quadraphonic(), false },
                  { Set::create5point1(), Set::create5point1(), false } };

    for (const auto& c : cases)
    {
        VardekoQX2710AudioProcessor processor;
        juce::AudioProcessor::BusesLayout layout;
        layout.inputBuses.add (c.in);
        layout.outputBuses.add (c.out);
        EXPECT_EQ (c.accepted, processor.checkBusesLayoutSupported (layout)) << c.in.getDescription() << " to " << c.out.getDescription();
    }
}
