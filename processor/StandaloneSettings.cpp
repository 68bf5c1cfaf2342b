#include "processor/StandaloneSettings.h"

#include "processor/PresetFileWriter.h"
#include "processor/ProductInfo.h"

namespace
{
// The framework's properties format.
constexpr const char* rootTag = "PROPERTIES";
constexpr const char* valueTag = "VALUE";
constexpr const char* nameAttribute = "name";
constexpr const char* valueAttribute = "val";

// Why a value must not be handed to the framework's parser (getXmlValue); empty when it may.
// The parser looks for an XML declaration and a DTD anywhere in a text, and otherwise gives up
// at once unless the text begins with '<'.
juce::String checkValue (const juce::String& value)
{
    if (! (value.trimStart().startsWithChar ('<') || value.contains ("<?xml") || value.contains ("<!DOCTYPE")))
        return {};

    return PatchDocumentReader::checkText (value.toRawUTF8(), value.getNumBytesAsUTF8(), StandaloneSettings::limits);
}
} // namespace

StandaloneSettings::StandaloneSettings (const juce::File& settingsFile)
    : file (settingsFile)
{
    load();
}

StandaloneSettings::~StandaloneSettings()
{
    stopTimer();
    saveIfNeeded();
}

juce::File StandaloneSettings::getDefaultFile()
{
    juce::PropertiesFile::Options options;
    options.applicationName = ProductInfo::name;
    options.filenameSuffix = ".settings";
    options.osxLibrarySubFolder = "Application Support";
#if JUCE_LINUX || JUCE_BSD
    options.folderName = "~/.config";
#endif
    return options.getDefaultFile();
}

void StandaloneSettings::load()
{
    if (! file.exists())
        return;

    const auto read = PatchDocumentReader::fromFile (file, limits);

    if (read.document == nullptr)
        return refuse (read.problem);

    if (! read.document->hasTagName (rootTag))
        return refuse ("is not a settings file");

    juce::StringArray leftOut;

    for (auto* element : read.document->getChildWithTagNameIterator (valueTag))
    {
        const auto name = element->getStringAttribute (nameAttribute);

        if (name.isEmpty())
            continue;

        // A value that is XML is stored as an element; the framework gives it back as text.
        const auto* child = element->getFirstChildElement();
        const auto value = child != nullptr ? child->toString (juce::XmlElement::TextFormat().singleLine().withoutHeader())
                                            : element->getStringAttribute (valueAttribute);

        if (const auto why = checkValue (value); why.isNotEmpty())
        {
            leftOut.add ("\"" + name + "\" " + why);
            continue;
        }

        // Straight into the table: reading is no change to be written back.
        getAllProperties().set (name, value);
    }

    if (! leftOut.isEmpty())
        problem = "holds values that were left out: " + leftOut.joinIntoString ("; ");
}

void StandaloneSettings::refuse (const juce::String& why)
{
    problem = why;

    // Kept for the user to look at, out of the way of the next save.
    const auto aside = file.getSiblingFile (file.getFileName() + ".refused");

    if (file.moveFileTo (aside))
        refusedFile = aside;
}

void StandaloneSettings::propertyChanged()
{
    needsWriting = true;
    startTimer (saveDelayMilliseconds);
}

void StandaloneSettings::timerCallback()
{
    stopTimer();
    saveIfNeeded();
}

juce::Result StandaloneSettings::saveIfNeeded()
{
    return needsWriting.load() ? save() : juce::Result::ok();
}

juce::Result StandaloneSettings::save()
{
    juce::XmlElement document (rootTag);

    {
        const juce::ScopedLock locked (getLock());
        const auto& values = getAllProperties();

        for (int i = 0; i < values.size(); ++i)
        {
            auto* element = document.createNewChildElement (valueTag);
            const auto value = values.getAllValues()[i];
            element->setAttribute (nameAttribute, values.getAllKeys()[i]);

            // As the framework stores them: a value that is an XML document as an element.
            auto parsed = value.trimStart().startsWithChar ('<') ? PatchDocumentReader::fromFileContents (value.toRawUTF8(), value.getNumBytesAsUTF8(), limits).document
                                                                 : nullptr;

            if (parsed != nullptr)
                element->addChildElement (parsed.release());
            else
                element->setAttribute (valueAttribute, value);
        }
    }

    needsWriting = false;

    if (const auto created = file.getParentDirectory().createDirectory(); created.failed())
    {
        needsWriting = true;
        return created;
    }

    const auto written = PresetFileWriter::write (document, file);

    if (written.failed())
        needsWriting = true;

    return written;
}
