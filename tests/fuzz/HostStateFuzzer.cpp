// Host state as a host hands it back: any bytes through setStateInformation.
#include "FuzzProcessor.h"

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    auto& processor = FuzzProcessor::get();
    processor.setStateInformation (data, (int) size);
    FuzzProcessor::processAndCheck (processor);

    if (FuzzProcessor::isRoundTripDue())
        FuzzProcessor::roundTripNow (processor);

    return 0;
}
