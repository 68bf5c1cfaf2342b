#pragma once

#include "processor/PatchDocument.h"
#include "processor/VardekoQX2710AudioProcessor.h"

#include <juce_core/juce_core.h>

#include <initializer_list>
#include <utility>

// A preset folder of its own for one test, "Molvek/Presets/VardekoQX2710" below a fresh temporary
// folder, never the user's documents; removed with everything in it afterwards.
class TemporaryPresetFolder
{
public:
    TemporaryPresetFolder()
        : base (juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("vardeko-presets", {}, false))
        , root (base.getChildFile ("Molvek").getChildFile ("Presets").getChildFile ("VardekoQX2710"))
    {
        root.createDirectory();
    }

    ~TemporaryPresetFolder() { base.deleteRecursively (false); }

    const juce::File& getRoot() const noexcept { return root; }
    const juce::File& getBase() const noexcept { return base; }

    // A file below the root ("A/a.mvkp"), its folders created.
    juce::File addFile (const juce::String& relativePath, const juce::String& content = "not a preset") const
    {
        const auto file = root.getChildFile (relativePath);
        file.getParentDirectory().createDirectory();
        file.replaceWithText (content);
        return file;
    }

    juce::File addFolder (const juce::String& relativePath) const
    {
        const auto folder = root.getChildFile (relativePath);
        folder.createDirectory();
        return folder;
    }

    // A preset file holding the defaults with the given values changed, as the plug-in saves it.
    juce::File addPreset (const juce::String& relativePath, std::initializer_list<std::pair<int, float>> values = {}) const
    {
        VardekoQX2710AudioProcessor processor;

        JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
        for (const auto& [index, value] : values)
            processor.setParameter (index, value);
        JUCE_END_IGNORE_WARNINGS_GCC_LIKE

        juce::XmlElement document (PatchDocument::rootTag);
        processor.createPatchDocument (document, true);
        return addFile (relativePath, document.toString());
    }

private:
    juce::File base;
    juce::File root;

    JUCE_DECLARE_NON_COPYABLE (TemporaryPresetFolder)
};
