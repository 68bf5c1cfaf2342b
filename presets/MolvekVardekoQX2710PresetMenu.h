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
