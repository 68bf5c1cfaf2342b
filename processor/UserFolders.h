#pragma once

#include <juce_core/juce_core.h>

// Where the user's own files live: the vendor's folder "Molvek" inside the user's documents
// folder (the platform's per-user documents location), with the presets, the user manual and
// the diode table library below it. Every part of the product finds them here.
struct UserFolders
{
    // "Molvek/Presets/VardekoQX2710".
    static juce::File getPresetFolder();

    // "Molvek/User Manuals/VardekoQX2710 Manual.pdf", where the manual is installed and where
    // the FILE menu opens it.
    static juce::File getUserManualFile();

    // "Molvek/Library/Tables": the folder that table readers without a table set of their own
    // read from.
    static juce::File getTableFolder();
};
