#include "processor/UserFolders.h"

namespace
{
juce::File vendorFolder()
{
    return juce::File::getSpecialLocation (juce::File::userDocumentsDirectory).getChildFile ("Molvek");
}
} // namespace

juce::File UserFolders::getPresetFolder()
{
    return vendorFolder().getChildFile ("Presets").getChildFile ("VardekoQX2710");
}

juce::File UserFolders::getUserManualFile()
{
    return vendorFolder().getChildFile ("User Manuals").getChildFile ("VardekoQX2710 Manual.pdf");
}

juce::File UserFolders::getTableFolder()
{
    return vendorFolder().getChildFile ("Library").getChildFile ("Tables");
}
