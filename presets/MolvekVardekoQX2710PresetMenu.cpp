#include "presets/MolvekVardekoQX2710PresetMenu.h"

#include "processor/PresetFileWriter.h"
#include "processor/PatchDocument.h"
#include "processor/PatchDocumentReader.h"
#include "processor/PresetPath.h"
#include "processor/ProgramDocuments.h"
#include "processor/VardekoQX2710AudioProcessor.h"

MolvekVardekoQX2710PresetMenu::MolvekVardekoQX2710PresetMenu (const juce::String& panelName)
    : MolvekOptionMenuTree (panelName)
{
}

MolvekVardekoQX2710PresetMenu::~MolvekVardekoQX2710PresetMenu() = default;

void MolvekVardekoQX2710PresetMenu::setCurrentItem (const juce::String& relativePath)
{
    MolvekOptionMenuTree::setCurrentItem (relativePath);
    modified = false;

    if (! isCurrentItemListed())
        markModified();
}

void MolvekVardekoQX2710PresetMenu::selectItem (int id)
{
    if (id < 1 || id >= getNextId())
        return;

    MolvekOptionMenuTree::selectItem (id);
    modified = false;
}

void MolvekVardekoQX2710PresetMenu::chooseFromMenu (const Listing& menuListing, int id)
{
    // Cleared before the listeners hear of the choice: one that refuses it restores the marker
    // of the preset in force.
    if (id >= 1 && id <= (int) menuListing.items.size())
        modified = false;

    MolvekOptionMenuTree::chooseFromMenu (menuListing, id);
}

void MolvekVardekoQX2710PresetMenu::markModified()
{
    if (modified)
        return;

    setText (getText() + modifiedMarker, juce::dontSendNotification);
    modified = true;
}

void MolvekVardekoQX2710PresetMenu::checkModified (VardekoQX2710AudioProcessor* processor)
{
    const auto file = getCurrentFile();

    if (processor == nullptr || ! file.existsAsFile())
        return;

    if (auto document = PatchDocumentReader::fromFile (file).document)
        if (processor->presetDiffers (std::move (document)))
            markModified();
}

juce::File MolvekVardekoQX2710PresetMenu::resolvePresetFile (const juce::String& path) const
{
    if (juce::File::isAbsolutePath (path))
    {
        const juce::File file (path);
        return PresetPath::isInside (rootFolder, file) ? file : juce::File();
    }

    return PresetPath::resolve (rootFolder, path);
}

int MolvekVardekoQX2710PresetMenu::loadPreset (VardekoQX2710AudioProcessor* processor, const juce::String& path)
{
    const auto file = resolvePresetFile (path);

    if (processor == nullptr || ! file.existsAsFile())
        return ProgramDocuments::presetUnreadable;

    auto document = PatchDocumentReader::fromFile (file).document;

    if (document == nullptr)
        return ProgramDocuments::presetUnreadable;

    return processor->loadPatchDocument (std::move (document), true);
}

juce::Result MolvekVardekoQX2710PresetMenu::savePreset (VardekoQX2710AudioProcessor* processor, const juce::String& path)
{
    if (processor == nullptr)
        return juce::Result::fail ("There is no plug-in to save.");

    const auto file = resolvePresetFile (path);

    if (const auto refused = checkSaveTarget (file); refused.failed())
        return refused;

    const auto target = PresetPath::realLocation (file);

    if (const auto created = target.getParentDirectory().createDirectory(); created.failed())
        return created;

    juce::XmlElement document (PatchDocument::rootTag);
    processor->createPatchDocument (document, true);

    if (const auto written = PresetFileWriter::write (document, target); written.failed())
        return written;

    setCurrentItem (PresetPath::relativeTo (rootFolder, file));
    return juce::Result::ok();
}

juce::Result MolvekVardekoQX2710PresetMenu::checkSaveTarget (const juce::File& file) const
{
    if (file == juce::File() || file == rootFolder || ! PresetPath::isInside (rootFolder, file))
        return juce::Result::fail ("The preset must be saved inside the preset folder.");

    if (! PresetPath::canBeStored (rootFolder, file))
        return juce::Result::fail (invalidNameMessage);

    // Written where it really is: through a link to a preset (which stays a link), never
    // through a link that leads out of the preset folder.
    if (! PresetPath::isReallyInside (rootFolder, file))
        return juce::Result::fail ("The preset must be saved inside the preset folder (this folder or file is a link that leads out of it).");

    const auto target = PresetPath::realLocation (file);

    if (target.isDirectory())
        return juce::Result::fail ("A folder of that name exists.");

    if (target.exists() && ! target.hasWriteAccess())
        return juce::Result::fail ("The preset file is read-only.");

    return juce::Result::ok();
}

juce::String MolvekVardekoQX2710PresetMenu::saveFailureMessage (const juce::File& file, const juce::File& presetFolder, const juce::Result& failure)
{
    const auto shown = PresetPath::isInside (presetFolder, file) ? file.getRelativePathFrom (presetFolder) : file.getFullPathName();
    return "Couldn't save the preset!\n\n\"" + shown + "\"\n\n" + failure.getErrorMessage();
}
