#include "AllocationCounter.h"
#include "CircuitTestHelpers.h"
#include "LockCounter.h"
#include "ProcessorTestHelpers.h"
#include "dsp/OversamplingRateLimit.h"

#include <complex>
#include <mutex>
#include <thread>

using namespace ProcessorTest;

namespace
{
struct Prepared
{
    explicit Prepared (double rate = 48000.0, int block = 512, int inputs = 2, int outputs = 2)
    {
        setLayout (processor, inputs, outputs);
        sampleRate = rate;
        blockSize = block;
    }

    void prepare() { processor.prepareToPlay (sampleRate, blockSize); }

    juce::AudioBuffer<float> run (const juce::AudioBuffer<float>& input, int block = -1)
    {
        return process (processor, input, block > 0 ? block : blockSize);
    }

    VardekoQX2710AudioProcessor processor;
    double sampleRate;
    int blockSize;
};

bool identical (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b)
{
    for (int ch = 0; ch < a.getNumChannels(); ++ch)
        for (int i = 0; i < a.getNumSamples(); ++i)
            if (a.getSample (ch, i) != b.getSample (ch, i))
                return false;

    return true;
}
} // namespace

TEST (ProcessorAudioPath, RampLengthByRate)
{
    const std::pair<double, int> cases[] = { { 22050.0, 1024 }, { 32000.0, 1024 }, { 34049.0, 1024 }, { 34050.0, 2048 }, { 44100.0, 2048 }, { 48000.0, 2048 }, { 67999.0, 2048 }, { 68000.0, 4096 }, { 96000.0, 4096 }, { 135999.0, 4096 }, { 136000.0, 8192 }, { 192000.0, 8192 }, { 384000.0, 8192 } };

    for (const auto& [rate, length] : cases)
    {
        Prepared p (rate);
        p.prepare();
        EXPECT_EQ (length, p.processor.getRampLength()) << rate;
    }
}

TEST (ProcessorAudioPath, DefaultsGiveTheSelectedCircuitsOutput)
{
    const auto input = makeSignal (2, 6000);

    for (int model = 0; model < 5; ++model)
    {
        Prepared p;
        setValue (p.processor, HostParameters::overdriveType, HostParameters::getModelValue (model));
        p.prepare();
        EXPECT_EQ (model, p.processor.getHeardModel());
        const auto output = p.run (input);

        // The same circuit on its own, prepared the way the processor prepares its circuits.
        auto reference = CircuitTest::makePrepared (model, 48000.0f);

        juce::AudioBuffer<float> expected (input);
        juce::ScopedNoDenormals noDenormals;

        for (int start = 0; start < expected.getNumSamples(); start += 512)
        {
            const auto n = std::min (512, expected.getNumSamples() - start);
            reference->processStereo (expected.getWritePointer (0, start), expected.getWritePointer (1, start), n);
        }

        EXPECT_TRUE (identical (expected, output)) << "circuit " << model;
    }
}

TEST (ProcessorAudioPath, InputVolumeActsOnTheWetPathOnly)
{
    const auto input = makeSignal (2, 4000);

    for (float volume : { 0.0f, 1.0f })
    {
        for (float oversampling : { 0.0f, 1.0f })
        {
            Prepared p;
            setValue (p.processor, HostParameters::dryWet, 0.0f);
            setValue (p.processor, HostParameters::inputVol, volume);
            setValue (p.processor, HostParameters::oversampling, oversampling);
            p.prepare();
            const auto output = p.run (input);

            OversamplingAlignment alignment;
            alignment.setSampleRate (48000.0f);
            alignment.clearState();
            alignment.setRequestedIndex (HostParameters::getOversamplingIndex (oversampling));
            alignment.update();
            juce::AudioBuffer<float> expected (input);
            alignment.processStereo (expected.getWritePointer (0), expected.getWritePointer (1), expected.getNumSamples());

            EXPECT_TRUE (identical (expected, output)) << "volume " << volume << " oversampling " << oversampling;
        }
    }
}

TEST (ProcessorAudioPath, SwitchingOffFadesToDryThenPassesTheBlockUntouched)
{
    // Every ramp lands exactly on its target, so the pass-through starts for any dry/wet
    // setting, not only for the ones whose float steps happen to sum to the target.
    for (float wet = 0.013f; wet < 1.0f; wet += 0.0371f)
    {
        Prepared p (44100.0, 256);
        setValue (p.processor, HostParameters::dryWet, wet);
        p.prepare();
        p.run (makeSignal (2, 3000));

        setValue (p.processor, HostParameters::onBypass, 0.0f);
        p.run (makeSignal (2, p.processor.getRampLength()));
        ASSERT_EQ (0.0f, p.processor.getMix()) << wet;

        const auto input = makeSignal (2, 1024, 0.9f);
        EXPECT_TRUE (identical (input, p.run (input))) << wet;
        EXPECT_EQ (0.0f, p.processor.meterLevel.load());
        EXPECT_EQ (0.0f, p.processor.clipLight.load());
    }
}

namespace
{
// The input delayed by a whole number of samples, silence before it.
juce::AudioBuffer<float> delayed (const juce::AudioBuffer<float>& input, int samples)
{
    juce::AudioBuffer<float> result (input.getNumChannels(), input.getNumSamples());
    result.clear();

    for (int ch = 0; ch < input.getNumChannels(); ++ch)
        if (input.getNumSamples() > samples)
            result.copyFrom (ch, samples, input, ch, 0, input.getNumSamples() - samples);

    return result;
}

// Runs the input in blocks of 1, 2, 3 ... 40 samples, then 400, so that blocks shorter than the
// delay meet longer ones.
juce::AudioBuffer<float> runInUnevenBlocks (juce::AudioProcessor& processor, const juce::AudioBuffer<float>& input)
{
    juce::AudioBuffer<float> output (input);
    juce::MidiBuffer midi;

    for (int start = 0, n = 1; start < output.getNumSamples(); start += n, n = n < 40 ? n + 1 : 400)
    {
        n = std::min (n, output.getNumSamples() - start);
        juce::AudioBuffer<float> block (output.getArrayOfWritePointers(), output.getNumChannels(), start, n);
        processor.processBlock (block, midi);
    }

    return output;
}

// Every sample of both, from sample start on.
::testing::AssertionResult sameSamples (const juce::AudioBuffer<float>& expected, const juce::AudioBuffer<float>& actual, int start = 0)
{
    for (int ch = 0; ch < expected.getNumChannels(); ++ch)
        for (int i = start; i < expected.getNumSamples(); ++i)
            if (expected.getSample (ch, i) != actual.getSample (ch, i))
                return ::testing::AssertionFailure() << "channel " << ch << " sample " << i << ": " << actual.getSample (ch, i) << " instead of " << expected.getSample (ch, i);

    return ::testing::AssertionSuccess();
}
} // namespace

TEST (ProcessorAudioPath, OffTheOutputIsTheInputDelayedByTheReportedLatency)
{
    // The host moves the track earlier by the reported latency whether the pedal is on or
    // off: off, the output must lag the input by exactly that many samples (none at 1x), or the
    // track plays early against every other track.
    struct Layout
    {
        int inputs, outputs;
    };

    for (const double rate : { 44100.0, 48000.0, 96000.0, 192000.0 })
    {
        for (int index = 0; index < 4; ++index)
        {
            for (const auto layout : { Layout { 2, 2 }, Layout { 1, 1 }, Layout { 1, 2 } })
            {
                const auto what = juce::String (rate) + " Hz, oversampling index " + juce::String (index) + ", "
                                  + juce::String (layout.inputs) + " in " + juce::String (layout.outputs) + " out";
                auto input = makeSignal (layout.outputs, 6000, 0.5f, rate);

                if (layout.inputs < layout.outputs)
                    input.clear (1, 0, input.getNumSamples());

                auto expectedFor = [&] (int latency)
                {
                    auto expected = delayed (input, latency);

                    if (layout.inputs < layout.outputs)
                        expected.copyFrom (1, 0, expected, 0, 0, expected.getNumSamples());

                    return expected;
                };

                // Off from the start.
                {
                    Prepared p (rate, 512, layout.inputs, layout.outputs);
                    setValue (p.processor, HostParameters::oversampling, HostParameters::getOversamplingValue (index));
                    setValue (p.processor, HostParameters::onBypass, 0.0f);
                    p.prepare();
                    const auto latency = p.processor.getLatencySamples();
                    EXPECT_EQ (VardekoQX2710AudioProcessor::getLatencyFor (index, rate), latency) << what;
                    EXPECT_TRUE (sameSamples (expectedFor (latency), runInUnevenBlocks (p.processor, input))) << what << ", off from the start";
                }

                // Switched off while playing: once the fade has ended, every sample (the first
                // ones from the blocks before) is the input delayed by the latency.
                {
                    Prepared p (rate, 512, layout.inputs, layout.outputs);
                    setValue (p.processor, HostParameters::oversampling, HostParameters::getOversamplingValue (index));
                    p.prepare();
                    const auto fadeEnd = 3 * p.processor.getRampLength();
                    auto signal = makeSignal (layout.outputs, fadeEnd + 6000, 0.5f, rate);

                    if (layout.inputs < layout.outputs)
                        signal.clear (1, 0, signal.getNumSamples());

                    juce::AudioBuffer<float> output (signal);
                    juce::MidiBuffer midi;

                    for (int start = 0; start < output.getNumSamples(); start += 300)
                    {
                        if (start == 600)
                            setValue (p.processor, HostParameters::onBypass, 0.0f);

                        const auto n = std::min (300, output.getNumSamples() - start);
                        juce::AudioBuffer<float> block (output.getArrayOfWritePointers(), output.getNumChannels(), start, n);
                        p.processor.processBlock (block, midi);
                    }

                    input = signal;
                    const auto expected = expectedFor (p.processor.getLatencySamples());
                    EXPECT_TRUE (sameSamples (expected, output, fadeEnd)) << what << ", switched off";
                }
            }
        }
    }
}

TEST (ProcessorAudioPath, AnImpulseTakesTheSameTimeOnAndOff)
{
    // On, the dry path has the oversampled path's delay (a fraction of a sample away from the
    // reported whole samples); off, it has exactly the reported latency.
    for (const double rate : { 44100.0, 96000.0, 192000.0 })
    {
        for (int index = 0; index < 4; ++index)
        {
            double delays[2] {};

            for (const bool on : { true, false })
            {
                Prepared p (rate, 512);
                setValue (p.processor, HostParameters::oversampling, HostParameters::getOversamplingValue (index));
                setValue (p.processor, HostParameters::dryWet, 0.0f);
                setValue (p.processor, HostParameters::onBypass, on ? 1.0f : 0.0f);
                p.prepare();

                constexpr int at = 64;
                juce::AudioBuffer<float> impulse (2, 4096);
                impulse.clear();
                impulse.setSample (0, at, 1.0f);
                impulse.setSample (1, at, 1.0f);
                const auto response = p.run (impulse);

                const auto w = 2.0 * juce::MathConstants<double>::pi * 1000.0 / rate;
                std::complex<double> sum, weighted;

                for (int n = 0; n + at < response.getNumSamples(); ++n)
                {
                    const auto h = (double) response.getSample (0, n + at) * std::polar (1.0, -w * n);
                    sum += h;
                    weighted += (double) n * h;
                }

                delays[on ? 0 : 1] = std::real (weighted / sum);

                if (! on)
                {
                    EXPECT_TRUE (sameSamples (delayed (impulse, p.processor.getLatencySamples()), response)) << rate << " Hz, index " << index;
                }
            }

            EXPECT_NEAR (delays[0], delays[1], 0.5 + 1.0e-6) << rate << " Hz, index " << index;
        }
    }
}

TEST (ProcessorAudioPath, SwitchingOffAndOnKeepsTheDryPathsTiming)
{
    // With the dry signal only, switching off and on moves the dry path between the aligned copy
    // and the input delayed by the latency: less than half a sample apart, so the output stays
    // within what half a sample of a 200 Hz tone explains (an undelayed input would be the
    // whole latency away).
    constexpr double rate = 48000.0;
    constexpr double amplitude = 0.5;
    constexpr double frequency = 200.0;

    for (int index = 1; index < 4; ++index)
    {
        Prepared p (rate, 256);
        setValue (p.processor, HostParameters::oversampling, HostParameters::getOversamplingValue (index));
        setValue (p.processor, HostParameters::dryWet, 0.0f);
        p.prepare();
        const auto latency = p.processor.getLatencySamples();

        juce::AudioBuffer<float> input (2, 94 * 256);

        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < input.getNumSamples(); ++i)
                input.setSample (ch, i, (float) (amplitude * std::sin (2.0 * juce::MathConstants<double>::pi * frequency * i / rate)));

        juce::AudioBuffer<float> output (input);
        juce::MidiBuffer midi;

        // Off at 2048, on at 8192, off again in the middle of that fade, on once dry.
        for (int start = 0; start < output.getNumSamples(); start += 256)
        {
            if (start == 2048 || start == 8192 || start == 9216 || start == 16384)
                setValue (p.processor, HostParameters::onBypass, (start == 8192 || start == 16384) ? 1.0f : 0.0f);

            juce::AudioBuffer<float> block (output.getArrayOfWritePointers(), 2, start, 256);
            p.processor.processBlock (block, midi);
        }

        const auto expected = delayed (input, latency);
        const auto allowed = (float) (amplitude * 2.0 * juce::MathConstants<double>::pi * frequency * 0.5 / rate) * 1.2f;
        EXPECT_LT (maxAbsDifference (expected, output, 0, 1024), allowed) << "index " << index;
        EXPECT_LT (maxAbsDifference (expected, output, 1, 1024), allowed) << "index " << index;
    }
}

TEST (ProcessorAudioPath, MonoInputWithStereoOutputCopiesLeftToRight)
{
    for (bool on : { true, false })
    {
        Prepared p (48000.0, 512, 1, 2);
        setValue (p.processor, HostParameters::onBypass, on ? 1.0f : 0.0f);
        p.prepare();

        auto buffer = makeSignal (2, 2048);
        buffer.clear (1, 0, buffer.getNumSamples()); // what a host leaves in the extra channel
        const auto output = p.run (buffer);

        for (int i = 0; i < output.getNumSamples(); ++i)
            ASSERT_EQ (output.getSample (0, i), output.getSample (1, i)) << i;
    }
}

TEST (ProcessorAudioPath, StereoWithIdenticalChannelsEqualsMono)
{
    for (int model = 0; model < 5; ++model)
    {
        Prepared stereo (48000.0, 512, 2, 2);
        Prepared mono (48000.0, 512, 1, 1);

        for (auto* p : { &stereo, &mono })
        {
            setValue (p->processor, HostParameters::overdriveType, HostParameters::getModelValue (model));
            setValue (p->processor, HostParameters::oversampling, 0.6f);
            p->prepare();
        }

        auto both = makeSignal (2, 5000);
        both.copyFrom (1, 0, both, 0, 0, both.getNumSamples());
        juce::AudioBuffer<float> one (1, both.getNumSamples());
        one.copyFrom (0, 0, both, 0, 0, both.getNumSamples());

        const auto outStereo = stereo.run (both);
        const auto outMono = mono.run (one);

        for (int i = 0; i < both.getNumSamples(); ++i)
        {
            ASSERT_EQ (outMono.getSample (0, i), outStereo.getSample (0, i)) << "circuit " << model << " sample " << i;
            ASSERT_EQ (outMono.getSample (0, i), outStereo.getSample (1, i)) << "circuit " << model << " sample " << i;
        }
    }
}

TEST (ProcessorAudioPath, MeterStaysAtOrBelowOneAndTheClipLightHoldsFiveSeconds)
{
    // The hold is measured in audio, so neither huge blocks nor an unknown block size keep
    // the light on for longer.
    for (int block : { 64, 512, 96000 })
    {
        for (int expected : { 0, 512, 200000 })
        {
            Prepared p (48000.0, expected);
            p.prepare();

            juce::AudioBuffer<float> hit (2, block);
            hit.clear();
            hit.setSample (0, 0, 3.0f);
            p.run (hit, block);
            EXPECT_LE (p.processor.meterLevel.load(), 1.0f);
            EXPECT_EQ (1.0f, p.processor.clipLight.load());

            juce::AudioBuffer<float> silence (2, block);
            int processed = block;
            bool lit = true;

            while (processed < 48000 * 7)
            {
                silence.clear();
                p.run (silence, block);
                processed += block;

                if (processed <= 48000 * 4.9)
                {
                    ASSERT_EQ (1.0f, p.processor.clipLight.load()) << "block " << block << " expected " << expected << " at " << processed;
                }

                lit = p.processor.clipLight.load() > 0.0f;
                EXPECT_LE (p.processor.meterLevel.load(), 1.0f);
            }

            EXPECT_FALSE (lit) << "block " << block << " expected " << expected;
        }
    }
}

TEST (ProcessorAudioPath, CircuitChangeWaitsFiftyMillisecondsThenCrossfades)
{
    Prepared p (48000.0, 1);
    p.prepare();
    ASSERT_EQ (0, p.processor.getHeardModel());

    setValue (p.processor, HostParameters::overdriveType, 0.25f);
    p.processor.pollDeferredChanges();
    p.run (makeSignal (2, 8));
    EXPECT_FALSE (p.processor.isCrossfading()) << "the change waits for the timer";

    std::this_thread::sleep_for (std::chrono::milliseconds (70));
    p.processor.pollDeferredChanges();

    // Sample by sample: the new circuit is heard alone after exactly twice the ramp length.
    const auto signal = makeSignal (2, 1);
    int samples = 0;

    while (p.processor.getHeardModel() == 0 && samples < 20000)
    {
        p.run (signal);
        ++samples;

        if (samples == 1)
        {
            EXPECT_TRUE (p.processor.isCrossfading());
        }
    }

    EXPECT_EQ (2 * p.processor.getRampLength(), samples);
    EXPECT_EQ (1, p.processor.getHeardModel());
    EXPECT_FALSE (p.processor.isCrossfading());
}

TEST (ProcessorAudioPath, AValueSelectingTheSameCircuitChangesNothing)
{
    Prepared p;
    setValue (p.processor, HostParameters::overdriveType, 0.25f);
    p.prepare();

    setValue (p.processor, HostParameters::overdriveType, 0.2f);
    p.processor.applyDeferredChanges();
    p.run (makeSignal (2, 512));
    EXPECT_FALSE (p.processor.isCrossfading());
    EXPECT_EQ (1, p.processor.getHeardModel());
}

TEST (ProcessorAudioPath, NewChoicesDuringACrossfade)
{
    Prepared p (48000.0, 256);
    p.prepare();
    const auto block = makeSignal (2, 256);

    // 0 -> 1, and half-way to 2: the incoming circuit is replaced, the outgoing one stays.
    setValue (p.processor, HostParameters::overdriveType, 0.25f);
    p.processor.applyDeferredChanges();
    p.run (block);
    setValue (p.processor, HostParameters::overdriveType, 0.5f);
    p.processor.applyDeferredChanges();

    for (int i = 0; i < 8; ++i)
        p.run (block);

    EXPECT_EQ (0, p.processor.getHeardModel());
    EXPECT_TRUE (p.processor.isCrossfading());

    for (int i = 0; i < 20; ++i)
        p.run (block);

    EXPECT_EQ (2, p.processor.getHeardModel());
    EXPECT_FALSE (p.processor.isCrossfading());

    // 2 -> 3, then back to 2 while 2 is still being faded out: 2 cannot be restarted while it
    // is heard, so the change waits for the end of the crossfade and then fades back.
    setValue (p.processor, HostParameters::overdriveType, 0.75f);
    p.processor.applyDeferredChanges();
    p.run (block);
    setValue (p.processor, HostParameters::overdriveType, 0.5f);
    std::this_thread::sleep_for (std::chrono::milliseconds (70));

    // The timer keeps polling on every tick.
    for (int i = 0; i < 20; ++i)
    {
        p.processor.pollDeferredChanges();
        p.run (block);
    }

    EXPECT_EQ (3, p.processor.getHeardModel());
    EXPECT_TRUE (p.processor.isCrossfading());

    for (int i = 0; i < 20; ++i)
        p.run (block);

    EXPECT_EQ (2, p.processor.getHeardModel());
    EXPECT_FALSE (p.processor.isCrossfading());
}

TEST (ProcessorAudioPath, OversamplingChangeMovesTheDryAlignmentAtTheNextBlock)
{
    Prepared p;
    p.prepare();
    EXPECT_EQ (0, p.processor.getAlignmentIndex());

    setValue (p.processor, HostParameters::oversampling, 1.0f);
    p.processor.applyDeferredChanges();
    EXPECT_EQ (0, p.processor.getAlignmentIndex());
    p.run (makeSignal (2, 64));
    EXPECT_EQ (3, p.processor.getAlignmentIndex());
}

TEST (ProcessorAudioPath, ReportedLatencyIsTheMeasuredDelayAtEveryFactorAndRate)
{
    // The aligned dry path takes exactly the wet path's delay; its impulse response gives the
    // delay the host must make up for: the group delay at 1 kHz, which the processor reports
    // in whole samples, at every factor and in every rate band (where the factor is capped).
    for (const double rate : { 44100.0, 48000.0, 88200.0, 96000.0, 176400.0, 192000.0, 384000.0 })
    {
        for (int index = 0; index < 4; ++index)
        {
            Prepared p (rate, 512);
            setValue (p.processor, HostParameters::oversampling, HostParameters::getOversamplingValue (index));
            setValue (p.processor, HostParameters::dryWet, 0.0f);
            p.prepare();

            constexpr int at = 64;
            juce::AudioBuffer<float> impulse (2, 8192);
            impulse.clear();
            impulse.setSample (0, at, 1.0f);
            impulse.setSample (1, at, 1.0f);
            const auto response = p.run (impulse);

            const auto w = 2.0 * juce::MathConstants<double>::pi * 1000.0 / rate;
            std::complex<double> sum, weighted;

            for (int n = 0; n + at < response.getNumSamples(); ++n)
            {
                const auto h = (double) response.getSample (0, n + at) * std::polar (1.0, -w * n);
                sum += h;
                weighted += (double) n * h;
            }

            const auto measured = std::real (weighted / sum);
            const auto reported = p.processor.getLatencySamples();
            const auto what = juce::String (rate) + " Hz, oversampling index " + juce::String (index);

            EXPECT_NEAR (measured, (double) reported, 0.5 + 1.0e-6) << what;
            EXPECT_EQ (VardekoQX2710AudioProcessor::getLatencyFor (index, rate), reported) << what;
            EXPECT_EQ (OversamplingRateLimit::limitIndex (index, (float) rate) > 0, reported > 0) << what;
        }
    }
}

TEST (ProcessorAudioPath, LatencyFollowsTheFactorInUse)
{
    Prepared p (48000.0, 512);
    p.prepare();
    EXPECT_EQ (0, p.processor.getLatencySamples());

    for (int index : { 3, 1, 2, 0 })
    {
        setValue (p.processor, HostParameters::oversampling, HostParameters::getOversamplingValue (index));
        p.processor.applyDeferredChanges();
        EXPECT_EQ (VardekoQX2710AudioProcessor::getLatencyFor (index, 48000.0), p.processor.getLatencySamples()) << index;
    }

    EXPECT_EQ (4, VardekoQX2710AudioProcessor::getLatencyFor (1, 48000.0));
    EXPECT_EQ (5, VardekoQX2710AudioProcessor::getLatencyFor (3, 48000.0));
}

TEST (ProcessorAudioPath, OutOfRangeCircuitValuesSelectTheNearestCircuit)
{
    for (auto [value, model] : { std::pair<float, int> { 7.0f, 4 }, { -3.0f, 0 } })
    {
        Prepared p;
        setValue (p.processor, HostParameters::overdriveType, value);
        setValue (p.processor, HostParameters::oversampling, value);
        p.prepare();
        EXPECT_EQ (model, p.processor.getHeardModel());
        EXPECT_TRUE (allFinite (p.run (makeSignal (2, 2048))));
    }
}

TEST (ProcessorAudioPath, UnpreparedOrReleasedProcessorPassesAudioThrough)
{
    const auto input = makeSignal (2, 1024);

    VardekoQX2710AudioProcessor fresh;
    EXPECT_TRUE (identical (input, process (fresh, input, 512)));

    Prepared p;
    p.prepare();
    p.run (input);
    p.processor.releaseResources();
    EXPECT_TRUE (identical (input, p.run (input)));
}

TEST (ProcessorAudioPath, BlocksLongerThanPreparedAreProcessedInPiecesWithoutAllocating)
{
    const auto input = makeSignal (2, 50000);

    Prepared small;
    small.prepare();
    const auto reference = small.run (input, 16384);

    Prepared large;
    large.prepare();
    juce::AudioBuffer<float> output (input);
    juce::MidiBuffer midi;

    {
        AllocationCounter allocations;
        large.processor.processBlock (output, midi);
        EXPECT_EQ (0u, allocations.getCount());
    }

    EXPECT_TRUE (identical (reference, output));
}

TEST (ProcessorAudioPath, TheAudioPathAllocatesNothing)
{
    Prepared p (48000.0, 512);
    p.prepare();
    auto block = makeSignal (2, 512);
    juce::MidiBuffer midi;

    for (int round = 0; round < 40; ++round)
    {
        if (round == 5)
        {
            setValue (p.processor, HostParameters::overdriveType, 1.0f);
            p.processor.applyDeferredChanges(); // the message thread may allocate
        }

        AllocationCounter allocations;
        setValue (p.processor, HostParameters::overdrive, 0.01f * (float) round);
        setValue (p.processor, HostParameters::inputVol, 0.3f + 0.01f * (float) round);
        setValue (p.processor, HostParameters::onBypass, round == 20 ? 0.0f : 1.0f);
        p.processor.processBlock (block, midi);
        ASSERT_EQ (0u, allocations.getCount()) << "round " << round;
    }
}

TEST (ProcessorAudioPath, ProcessBlockNeitherAllocatesNorLocksInAnySetting)
{
    // Every circuit and factor, mono and stereo, across on/off and circuit and factor changes
    // (applied on the test thread between blocks, as the message thread would).
    for (int channels = 1; channels <= 2; ++channels)
    {
        for (int model = 0; model < HostParameters::numModels; ++model)
        {
            for (int factor = 0; factor < HostParameters::numOversamplingFactors; ++factor)
            {
                Prepared p (48000.0, 256, channels, channels);
                setValue (p.processor, HostParameters::overdriveType, HostParameters::getModelValue (model));
                setValue (p.processor, HostParameters::oversampling, HostParameters::getOversamplingValue (factor));
                p.prepare();
                auto block = makeSignal (channels, 256);
                juce::MidiBuffer midi;

                for (int round = 0; round < 60; ++round)
                {
                    if (round == 10 || round == 30)
                    {
                        setValue (p.processor, HostParameters::overdriveType, HostParameters::getModelValue ((model + round / 10) % HostParameters::numModels));
                        setValue (p.processor, HostParameters::oversampling, HostParameters::getOversamplingValue ((factor + 1) % HostParameters::numOversamplingFactors));
                        p.processor.applyDeferredChanges();
                    }

                    // The circuits' own timers complete the factor change.
                    if (round == 40)
                        for (int i = 0; i < HostParameters::numModels; ++i)
                            p.processor.getModel (i).timerCallback();

                    setValue (p.processor, HostParameters::onBypass, (round >= 15 && round < 18) || (round >= 45 && round < 55) ? 0.0f : 1.0f);
                    setValue (p.processor, HostParameters::tone, 0.01f * (float) round);

                    AllocationCounter allocations;
                    LockCounter locks;
                    p.processor.processBlock (block, midi);
                    ASSERT_EQ (0u, allocations.getCount()) << model << " " << factor << " " << channels << " round " << round;
                    ASSERT_EQ (0u, locks.getCount()) << model << " " << factor << " " << channels << " round " << round;
                }
            }
        }
    }
}

TEST (ProcessorAudioPath, TheLockCounterSeesLocks)
{
    std::mutex mutex;
    juce::CriticalSection section;
    LockCounter locks;
    {
        const std::lock_guard<std::mutex> guard (mutex);
        const juce::ScopedLock scoped (section);
    }
    EXPECT_EQ (2u, locks.getCount());
}

TEST (ProcessorAudioPath, ValuesReachTheHeardCircuitAfterACrossfade)
{
    // After a crossfade from circuit 0 to 4, a Drive move must reach circuit 4, the one heard.
    const auto render = [] (bool moveDrive)
    {
        Prepared p (48000.0, 512);
        p.prepare();
        p.run (makeSignal (2, 2048));
        setValue (p.processor, HostParameters::overdriveType, 1.0f);
        p.processor.applyDeferredChanges();
        p.run (makeSignal (2, 8192));
        EXPECT_EQ (4, p.processor.getHeardModel());
        EXPECT_FALSE (p.processor.isCrossfading());

        if (moveDrive)
            setValue (p.processor, HostParameters::overdrive, 0.05f);

        return p.run (makeSignal (2, 8192, 0.2f));
    };

    const auto moved = render (true);
    const auto still = render (false);
    EXPECT_GT (maxAbsDifference (moved, still, 0, 4096), 0.01f);
}

namespace
{
// An offline render as a host exports: blocks of the given sizes in turn, with parameter
// changes given at sample positions (applied before the block that starts there), and the
// wall clock running at its own pace in between.
struct OfflineRender
{
    struct Change
    {
        int sample;
        int index;
        float value;
    };

    static juce::AudioBuffer<float> run (const juce::AudioBuffer<float>& input, const std::vector<Change>& changes, const std::vector<int>& blockSizes, int sleepEveryBlocks = 0)
    {
        Prepared p (48000.0, 4096);
        p.processor.setNonRealtime (true);
        p.prepare();
        return renderWith (p.processor, input, changes, blockSizes, sleepEveryBlocks);
    }

    // The same with a processor the caller prepared (and may have run in real time).
    static juce::AudioBuffer<float> renderWith (VardekoQX2710AudioProcessor& processor, const juce::AudioBuffer<float>& input, const std::vector<Change>& changes, const std::vector<int>& blockSizes, int sleepEveryBlocks = 0)
    {
        struct
        {
            VardekoQX2710AudioProcessor& processor;
        } p { processor };

        auto output = input;
        juce::MidiBuffer midi;
        size_t next = 0, block = 0;

        for (int start = 0; start < output.getNumSamples(); ++block)
        {
            const auto n = std::min (blockSizes[block % blockSizes.size()], output.getNumSamples() - start);

            for (; next < changes.size() && changes[next].sample <= start; ++next)
                setValue (p.processor, changes[next].index, changes[next].value);

            juce::AudioBuffer<float> view (output.getArrayOfWritePointers(), output.getNumChannels(), start, n);
            p.processor.processBlock (view, midi);

            // The message thread's timer would fire here in real time; offline it must not matter.
            p.processor.pollDeferredChanges();

            if (sleepEveryBlocks > 0 && block % (size_t) sleepEveryBlocks == 0)
                std::this_thread::sleep_for (std::chrono::milliseconds (60));

            start += n;
        }

        return output;
    }
};

int firstDifference (const juce::AudioBuffer<float>& a, const juce::AudioBuffer<float>& b, float threshold = 0.0f)
{
    for (int i = 0; i < a.getNumSamples(); ++i)
        for (int ch = 0; ch < a.getNumChannels(); ++ch)
            if (std::abs (a.getSample (ch, i) - b.getSample (ch, i)) > threshold)
                return i;

    return -1;
}
} // namespace

TEST (ProcessorAudioPath, OfflineCircuitChangesFallDueFiftyMillisecondsOfSamplesLater)
{
    // At 48 kHz, 50 ms are 2400 samples after the block in which the host changed the value,
    // whatever the block size and however fast the render runs. (A value set before the
    // render's first block is where the render starts.)
    const auto input = makeSignal (2, 9600);
    const auto unchanged = OfflineRender::run (input, {}, { 512 });

    const std::vector<std::vector<int>> blockPatterns { { 512 }, { 64 }, { 1000, 37, 4096 }, { 4096 } };

    for (const auto& blocks : blockPatterns)
    {
        const auto changed = OfflineRender::run (input, { { blocks[0], HostParameters::overdriveType, 1.0f } }, blocks, blocks[0] >= 1000 ? 1 : 0);
        const auto at = firstDifference (changed, unchanged);
        EXPECT_GE (at, blocks[0] + 2400) << "blocks of " << blocks[0];
        EXPECT_LE (at, blocks[0] + 2401) << "blocks of " << blocks[0];
    }

    // The same for an oversampling change: the dry path moves with it at that sample.
    const auto wet = OfflineRender::run (input, { { 0, HostParameters::dryWet, 0.5f } }, { 512 });
    const auto oversampled = OfflineRender::run (input, { { 0, HostParameters::dryWet, 0.5f }, { 300, HostParameters::oversampling, 1.0f } }, { 300 });
    const auto at = firstDifference (oversampled, wet);
    EXPECT_GE (at, 300 + 2400);
    EXPECT_LE (at, 300 + 2401);
}

TEST (ProcessorAudioPath, TwoOfflineRendersOfTheSameAutomationAreIdentical)
{
    // Changes in bursts (a burst is applied once, 50 ms after its last change), during
    // crossfades and back to a circuit that is still fading out; the second render sleeps
    // between blocks so that any wall-clock timing would show.
    const auto input = makeSignal (2, 48000);
    const std::vector<OfflineRender::Change> automation {
        { 1024, HostParameters::overdriveType, 0.5f },
        { 1536, HostParameters::overdriveType, 0.75f },
        { 6000, HostParameters::oversampling, 0.6666667f },
        { 9000, HostParameters::overdriveType, 0.25f },
        { 12000, HostParameters::overdriveType, 0.75f },
        { 14500, HostParameters::overdriveType, 0.0f },
        { 20000, HostParameters::oversampling, 0.0f },
        { 20000, HostParameters::overdriveType, 1.0f },
    };

    const auto first = OfflineRender::run (input, automation, { 512 });
    const auto second = OfflineRender::run (input, automation, { 512 }, 3);
    EXPECT_TRUE (identical (first, second)) << "first difference at sample " << firstDifference (first, second);

    // Every change was made: the end is the last circuit's sound alone.
    Prepared last (48000.0, 4096);
    setValue (last.processor, HostParameters::overdriveType, 1.0f);
    last.prepare();
    const auto lastAlone = last.run (input);
    double difference = 0.0, level = 0.0;

    for (int ch = 0; ch < 2; ++ch)
    {
        for (int i = 40000; i < 48000; ++i)
        {
            difference += std::pow (first.getSample (ch, i) - lastAlone.getSample (ch, i), 2.0);
            level += std::pow (lastAlone.getSample (ch, i), 2.0);
        }
    }

    EXPECT_LT (std::sqrt (difference / level), 0.01);
}

TEST (ProcessorAudioPath, AnOfflineRenderDoesNotDependOnWhatRanBeforeIt)
{
    // A host plays a session in real time, then renders it offline (an LV2 host switching to
    // free-wheeling, say). How long it played, what the message thread's timer applied by then
    // and what was still fading must not reach the render.
    const auto input = makeSignal (2, 24000);
    const std::vector<OfflineRender::Change> automation {
        { 0, HostParameters::overdriveType, 0.5f },
        { 0, HostParameters::overdrive, 0.2f },
        { 3000, HostParameters::overdriveType, 1.0f },
        { 3000, HostParameters::overdrive, 0.9f },
        { 8000, HostParameters::oversampling, 0.6666667f },
        { 15000, HostParameters::overdriveType, 0.25f },
    };

    const auto render = [&] (int realtimeBlocks, bool timerApplies)
    {
        Prepared p (48000.0, 512);
        p.prepare();

        // Real time: other values, a circuit change that the timer has or has not applied, and
        // ramps under way when the render starts.
        setValue (p.processor, HostParameters::overdriveType, 0.25f);
        setValue (p.processor, HostParameters::oversampling, 0.33333334f);
        const auto played = makeSignal (2, 512 * realtimeBlocks);
        p.run (played);

        if (timerApplies)
            p.processor.applyDeferredChanges();

        setValue (p.processor, HostParameters::inputVol, 0.9f);
        setValue (p.processor, HostParameters::dryWet, 0.3f);
        p.run (makeSignal (2, 512));
        setValue (p.processor, HostParameters::inputVol, 0.5f);
        setValue (p.processor, HostParameters::dryWet, 1.0f);
        setValue (p.processor, HostParameters::overdriveType, 0.75f);

        p.processor.setNonRealtime (true);
        return OfflineRender::renderWith (p.processor, input, automation, { 512 }, timerApplies ? 4 : 0);
    };

    const auto first = render (2, false);
    const auto second = render (40, true);
    EXPECT_TRUE (identical (first, second)) << "first difference at sample " << firstDifference (first, second);
}

TEST (ProcessorAudioPath, OfflineOversamplingChangeOfTheHeardCircuitIsNotLeftSilent)
{
    // The heard circuit fades out, rebuilds its oversampled stage and fades back in. Offline
    // nothing waits for a timer: the gap is one block, however fast the render runs, and two
    // renders are identical.
    const auto input = makeSignal (2, 96000);
    const std::vector<OfflineRender::Change> automation { { 0, HostParameters::oversampling, 0.6666667f } };
    const auto first = OfflineRender::run (input, automation, { 512 });
    const auto second = OfflineRender::run (input, automation, { 512 }, 20);
    EXPECT_TRUE (identical (first, second)) << "first difference at sample " << firstDifference (first, second);

    int longest = 0, run = 0;

    for (int i = 0; i < first.getNumSamples(); ++i)
    {
        run = std::abs (first.getSample (0, i)) < 1.0e-6f ? run + 1 : 0;
        longest = std::max (longest, run);
    }

    EXPECT_LE (longest, 1024) << "samples of silence in a row";
}

TEST (ProcessorAudioPath, AnOfflineRenderDoesNotDependOnTheSilenceBeforeIt)
{
    // A host starting an export switches to offline, then runs a number of silent blocks of
    // its own choosing (Ardour: however many cycles it waits before rolling, with the
    // automation's first values set in them) before the range's first sample. Whatever their
    // number, the render that follows is the same, sample for sample, from the first sound on.
    const auto input = makeSignal (2, 24000);
    const std::vector<OfflineRender::Change> automation {
        { 3000, HostParameters::overdriveType, 1.0f },
        { 3000, HostParameters::overdrive, 0.9f },
        { 8000, HostParameters::oversampling, 0.6666667f },
    };

    const auto render = [&] (int silentSamples, bool automated)
    {
        Prepared p (48000.0, 512);
        setValue (p.processor, HostParameters::oversampling, 0.33333334f);
        p.prepare();
        p.run (juce::AudioBuffer<float> (2, 5 * 512)); // real-time silence while the session loads
        p.processor.setNonRealtime (true);

        // The session's start values arrive with the first silent cycles.
        setValue (p.processor, HostParameters::overdriveType, 0.5f);
        setValue (p.processor, HostParameters::overdrive, 0.2f);

        juce::AudioBuffer<float> withSilence (2, silentSamples + input.getNumSamples());
        withSilence.clear();

        for (int ch = 0; ch < 2; ++ch)
            withSilence.copyFrom (ch, silentSamples, input, ch, 0, input.getNumSamples());

        std::vector<OfflineRender::Change> shifted;

        for (auto c : automation)
            if (automated)
                shifted.push_back ({ c.sample + silentSamples, c.index, c.value });

        const auto output = OfflineRender::renderWith (p.processor, withSilence, shifted, { 512 });
        juce::AudioBuffer<float> heard (2, input.getNumSamples());

        for (int ch = 0; ch < 2; ++ch)
            heard.copyFrom (ch, 0, output, ch, silentSamples, input.getNumSamples());

        return heard;
    };

    // Automation reaches the plug-in at the start of the host's blocks: with whole blocks of
    // silence it falls at the same place of the sound; without, the sound may start inside a
    // block.
    for (const bool automated : { true, false })
    {
        const auto first = render (0, automated);

        for (const int silence : { 512, 3 * 512, 40 * 512, 700, 1300 })
        {
            if (automated && silence % 512 != 0)
                continue;

            const auto other = render (silence, automated);
            EXPECT_TRUE (identical (first, other)) << silence << " silent samples first" << (automated ? ", automated" : "")
                                                   << ": first difference at sample " << firstDifference (first, other) << ", by " << maxAbsDifference (first, other, 0);
        }
    }
}

TEST (ProcessorAudioPath, AnOfflineRenderStartsAtFullLevel)
{
    // Playback does not fade in when the transport starts, so neither does an export: from
    // its first sample the render is the selected circuit's sound with the values it was given,
    // not a fade-in or a glide from other values.
    const auto input = makeSignal (2, 6000);

    struct Case
    {
        int model;
        float drive, tone, level;
        int oversamplingIndex;
    };

    std::vector<Case> cases;

    for (int model = 0; model < 5; ++model)
    {
        cases.push_back ({ model, 0.5f, 0.5f, 0.5f, 0 });
        cases.push_back ({ model, 0.2f, 0.8f, 0.3f, 0 });
        cases.push_back ({ model, 0.9f, 0.1f, 0.7f, 1 });
        cases.push_back ({ model, 0.2f, 0.5f, 0.5f, 3 });
    }

    for (const auto& c : cases)
    {
        Prepared p (48000.0, 512);
        p.prepare();
        p.run (makeSignal (2, 2048)); // real time first, with the defaults

        setValue (p.processor, HostParameters::overdriveType, HostParameters::getModelValue (c.model));
        setValue (p.processor, HostParameters::overdrive, c.drive);
        setValue (p.processor, HostParameters::tone, c.tone);
        setValue (p.processor, HostParameters::level, c.level);
        setValue (p.processor, HostParameters::oversampling, HostParameters::getOversamplingValue (c.oversamplingIndex));
        p.processor.setNonRealtime (true);
        const auto output = OfflineRender::renderWith (p.processor, input, {}, { 512 });

        auto reference = CircuitTest::makePrepared (c.model, 48000.0f, { c.drive, c.tone, c.level, c.oversamplingIndex });
        reference->skipStartFade();
        juce::AudioBuffer<float> expected (input);
        juce::ScopedNoDenormals noDenormals;

        for (int start = 0; start < expected.getNumSamples(); start += 512)
        {
            const auto n = std::min (512, expected.getNumSamples() - start);
            reference->processStereo (expected.getWritePointer (0, start), expected.getWritePointer (1, start), n);
        }

        EXPECT_TRUE (identical (expected, output)) << "circuit " << c.model << ", drive " << c.drive << ", factor index " << c.oversamplingIndex
                                                   << ": first difference at sample " << firstDifference (expected, output) << ", by " << maxAbsDifference (expected, output, 0);
    }
}
