// Program state as a host hands it back: any bytes through setCurrentProgramStateInformation,
// into a program chosen by the input's length.
#include "FuzzProcessor.h"

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    auto& processor = FuzzProcessor::get();
    processor.setCurrentProgram ((int) (size % (std::size_t) processor.getNumPrograms()));
    processor.setCurrentProgramStateInformation (data, (int) size);
    FuzzProcessor::processAndCheck (processor);

    if (FuzzProcessor::isRoundTripDue())
        FuzzProcessor::roundTripNow (processor);

    return 0;
}
