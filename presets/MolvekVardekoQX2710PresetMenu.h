#pragma once

#include "presets/MolvekOptionMenuTree.h"

class VardekoQX2710AudioProcessor;

// The preset bar: the menu of the preset folder's ".mvkp" files, a "*" after the name while the
// live values differ from the file, and loading and saving through the processor. Paths are
// relative to the preset folder or full paths inside it; nothing outside it is read or written.
class MolvekVardekoQX2710PresetMenu : public MolvekOptionMenuTree
{
public:
    static constexpr const char* modifiedMarker = "*";

    // Why a name is refused whose stored path would not find the file again: "\" separates
    // folders in stored paths (on Windows it separates them in the name box too), and a stored
    // element that begins with "~" would name a home folder.
    static constexpr const char* invalidNameMessage = "Preset and folder names may not hold \"\\\" or begin with \"~\". Try a different name.";

    explicit MolvekVardekoQX2710PresetMenu (const juce::String& componentName);
    ~MolvekVardekoQX2710PresetMenu() override;

    // As the base; an item that is not listed shows its name with the marker.
    void setCurrentItem (const juce::String& relativePath) override;
    void selectItem (int id) override;
    void chooseFromMenu (const Listing& menuListing, int id) override;

    // Adds the marker once.
    virtual void markModified();

    // Marks the name when the current file's values differ from the processor's live ones.
    virtual void checkModified (VardekoQX2710AudioProcessor* processor);

    // Loads a preset file into the processor: ProgramDocuments' result (presetLoaded,
    // presetFromNewerVersion, presetOfOtherProduct), or presetUnreadable for anything that is
    // not a readable preset file inside the preset folder. The name shown is left alone.
    virtual int loadPreset (VardekoQX2710AudioProcessor* processor, const juce::String& path);

    // Writes the processor's current values as a preset file, creating missing folders, and
    // makes it the current item. The previous file stays whole if the write fails; on failure
    // the name, the marker and the current item stay as they were and the result says why.
    virtual juce::Result savePreset (VardekoQX2710AudioProcessor* processor, const juce::String& path);

    // Why savePreset would refuse to write the file (before anything is written or asked):
    // outside the preset folder, a name its stored path could not find again, a link out of the
    // folder, a folder or a read-only file of that name.
    juce::Result checkSaveTarget (const juce::File& file) const;

    // What the user is told when savePreset fails.
    static juce::String saveFailureMessage (const juce::File& file, const juce::File& presetFolder, const juce::Result& failure);

    virtual void setModified (bool isModified) { modified = isModified; }
    bool isModified() const noexcept { return modified; }

    // The file a path names: a path relative to the preset folder, or a full path inside it;
    // an invalid file otherwise.
    juce::File resolvePresetFile (const juce::String& path) const;

private:
    bool modified = false;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (MolvekVardekoQX2710PresetMenu)
};
