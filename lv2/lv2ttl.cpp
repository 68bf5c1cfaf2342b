// vardeko-lv2ttl: writes the LV2 bundle's description from the processor at build time.
//
//   vardeko-lv2ttl <bundle folder> <file name of the plug-in library>

#include "lv2/Lv2Turtle.h"
#include "processor/VardekoQX2710AudioProcessor.h"

#include <iostream>

int main (int argc, char** argv)
{
    if (argc != 3)
    {
        std::cerr << "usage: vardeko-lv2ttl <bundle folder> <library file name>" << std::endl;
        return 2;
    }

    VardekoQX2710AudioProcessor processor;

    const auto result = Lv2Turtle::writeBundle (processor, juce::File (juce::String (argv[1])), juce::String (argv[2]));

    if (result.failed())
    {
        std::cerr << result.getErrorMessage() << std::endl;
        return 1;
    }

    return 0;
}
