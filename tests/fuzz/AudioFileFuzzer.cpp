// Audio files through the renderer's reader: any bytes opened as an input file, and, when
// accepted, every frame the file holds read as the renderer reads it.
#include "cli/InputFile.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    InputFile input;
    juce::StringArray warnings;
    const auto status = input.open (std::make_unique<juce::MemoryInputStream> (data, size, false), "fuzz.wav", warnings);

    if (status.failed())
        return 0;

    // What the renderer relies on once a file is accepted.
    if (input.getNumChannels() < 1 || input.getNumChannels() > 2 || input.getLength() < 0
        || ! (input.getSampleRate() >= InputFile::minimumSampleRate && input.getSampleRate() <= InputFile::maximumSampleRate)
        || input.getLength() > (juce::int64) size)
        std::abort();

    constexpr int blockSize = 256;
    juce::AudioBuffer<float> block (2, blockSize);

    for (juce::int64 start = 0; start < input.getLength(); start += blockSize)
        input.read (block, (int) std::min ((juce::int64) blockSize, input.getLength() - start), start);

    return 0;
}
