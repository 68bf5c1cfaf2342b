// Cost of restoring a host state that is within the reader's size limit but made to be slow:
// one element carrying n attributes of distinct names (names never seen before in each round,
// as in a host that receives such a state once). The reader refuses documents with more
// attribute names than the product could ever write, so the cost stays linear in the size; the
// second benchmark is the slowest kind of state it still reads, at three sizes.

#include "processor/VardekoQX2710AudioProcessor.h"

#include <benchmark/benchmark.h>

namespace
{
// The framework's state envelope around the text.
juce::MemoryBlock wrapped (const juce::MemoryOutputStream& text)
{
    juce::MemoryBlock state;
    juce::MemoryOutputStream envelope (state, false);
    envelope.writeInt (0x21324356);
    envelope.writeInt ((int) text.getDataSize() + 1);
    envelope.write (text.getData(), text.getDataSize());
    envelope.writeByte (0);
    return state;
}

juce::MemoryBlock stateWithAttributeNames (int count, int round)
{
    juce::MemoryOutputStream text;
    text << "<molvekPatch version=\"1.0\"><DeviceName>Vardeko QX2710</DeviceName>"
         << "<Properties deviceProductID=\"com.molvek.VardekoQX2710\" deviceVersion=\"1.0.6\" presetVersion=\"1.0\" activePreset=\"0\"";

    constexpr const char* letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

    // Short names, so that 64 000 of them fit the reader's size limit; the first letter tells
    // the rounds apart.
    for (int i = 0; i < count; ++i)
    {
        text << " ";
        text.writeByte (letters[round % 52]);

        for (int v = i;; v /= 52)
        {
            text.writeByte (letters[v % 52]);

            if (v < 52)
                break;
        }

        text << "=\"\"";
    }

    text << "/></molvekPatch>";

    return wrapped (text);
}

// As many elements as fit in about kilobytes KB, each with attributes of the same 64 names
// (as many different names as the reader accepts): the most a state can ask of the parser's
// name table and still be read.
juce::MemoryBlock stateWithRepeatedAttributeNames (int kilobytes)
{
    juce::MemoryOutputStream text;
    text << "<molvekPatch version=\"1.0\"><DeviceName>Vardeko QX2710</DeviceName>"
         << "<Properties deviceProductID=\"com.molvek.VardekoQX2710\" deviceVersion=\"1.0.6\" presetVersion=\"1.0\" activePreset=\"0\">";

    // Up to 64 names in all, the Properties element's included.
    while (text.getDataSize() < (size_t) kilobytes * 1024 - 1024)
    {
        text << "<Preset";

        for (int i = 0; i < 59; ++i)
            text << " n" << i << "=\"1\"";

        text << "/>";
    }

    text << "</Properties></molvekPatch>";
    return wrapped (text);
}

void restoreStateWithDistinctAttributeNames (benchmark::State& state)
{
    const auto count = (int) state.range (0);
    VardekoQX2710AudioProcessor processor;
    static int round = 0;
    size_t bytes = 0;

    for (auto _ : state)
    {
        state.PauseTiming();
        const auto blob = stateWithAttributeNames (count, ++round);
        bytes = blob.getSize();
        state.ResumeTiming();

        processor.setStateInformation (blob.getData(), (int) blob.getSize());
    }

    state.counters["KB"] = (double) bytes / 1024.0;
}

void restoreStateWithRepeatedAttributeNames (benchmark::State& state)
{
    VardekoQX2710AudioProcessor processor;
    const auto blob = stateWithRepeatedAttributeNames ((int) state.range (0));

    for (auto _ : state)
        processor.setStateInformation (blob.getData(), (int) blob.getSize());

    state.counters["KB"] = (double) blob.getSize() / 1024.0;
}
} // namespace

BENCHMARK (restoreStateWithDistinctAttributeNames)->Arg (5000)->Arg (20000)->Arg (40000)->Arg (64000)->Unit (benchmark::kMillisecond)->Iterations (3);
BENCHMARK (restoreStateWithRepeatedAttributeNames)->Arg (128)->Arg (256)->Arg (510)->Unit (benchmark::kMillisecond)->Iterations (3);
