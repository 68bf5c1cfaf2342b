#include "FuzzProcessor.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace
{
constexpr int blockSize = 32;
constexpr int roundTripEvery = 64;

JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
float valueOf (juce::AudioProcessor& p, int index) { return p.getParameter (index); }
JUCE_END_IGNORE_WARNINGS_GCC_LIKE
} // namespace

void FuzzProcessor::check (bool condition, const char* what)
{
    if (! condition)
    {
        std::fprintf (stderr, "check failed: %s\n", what);
        std::abort();
    }
}

VardekoQX2710AudioProcessor& FuzzProcessor::get()
{
    static auto* processor = []
    {
        auto* p = new VardekoQX2710AudioProcessor();
        p->setRateAndBufferSizeDetails (48000.0, blockSize);
        p->prepareToPlay (48000.0, blockSize);
        return p;
    }();

    return *processor;
}

bool FuzzProcessor::isRoundTripDue() noexcept
{
    static int count = 0;
    return ++count % roundTripEvery == 0;
}

void FuzzProcessor::processAndCheck (VardekoQX2710AudioProcessor& processor)
{
    check (processor.getCurrentProgram() >= 0 && processor.getCurrentProgram() < processor.getNumPrograms(), "program index in range");
    check (processor.getActiveChannel() == 0 || processor.getActiveChannel() == 1, "channel 0 or 1");

    for (int k = 0; k < HostParameters::numParameters; ++k)
    {
        const auto v = valueOf (processor, k);
        check (std::isfinite (v) && v >= 0.0f && v <= 1.0f, "parameter value in 0..1");
    }

    juce::AudioBuffer<float> block (2, blockSize);

    for (int i = 0; i < blockSize; ++i)
    {
        block.setSample (0, i, 0.5f * std::sin (0.1f * (float) i));
        block.setSample (1, i, 0.3f * std::cos (0.07f * (float) i));
    }

    juce::MidiBuffer midi;
    processor.processBlock (block, midi);

    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < blockSize; ++i)
            check (std::isfinite (block.getSample (ch, i)), "finite output");
}

void FuzzProcessor::roundTripNow (VardekoQX2710AudioProcessor& processor)
{
    processor.applyDeferredChanges();
    processAndCheck (processor);

    juce::MemoryBlock first, second;
    processor.getStateInformation (first);
    processor.setStateInformation (first.getData(), (int) first.getSize());
    processor.getStateInformation (second);
    check (first == second, "a saved state restores to itself");
}
