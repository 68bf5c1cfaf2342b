#include "processor/ProgramDocuments.h"

#include "processor/HostParameters.h"
#include "processor/PatchDocument.h"
#include "processor/PatchDocumentReader.h"
#include "processor/ProductInfo.h"

#include <cmath>

namespace
{
// Calls function (child, position) for the child elements of parent up to limit, text
// skipped; returns how many there were.
template <typename Function>
int forEachChild (const juce::XmlElement& parent, int limit, Function&& function)
{
    int position = 0;

    for (auto* child : parent.getChildIterator())
    {
        if (child->isTextElement())
            continue;

        if (position >= limit)
            break;

        function (*child, position++);
    }

    return position;
}

void writeChannel (juce::XmlElement& parent, const ProgramBank& bank, int slot, int channel)
{
    auto* element = parent.createNewChildElement ("Channel");
    element->setAttribute ("channel", channel);
    element->setAttribute ("presetPath", bank.getPresetPath (slot, channel));
    PatchDocument::writeValues (*element, bank.getSlot (slot).getValues (channel));
}
} // namespace

ProgramDocuments::ProgramDocuments (ProgramBank& programs, juce::AudioProcessor& owner)
    : bank (programs)
    , processor (owner)
{
}

//==============================================================================
void ProgramDocuments::writeState (juce::MemoryBlock& destination) const
{
    juce::XmlElement document (PatchDocument::rootTag);
    createPatchDocument (document, false);
    juce::AudioProcessor::copyXmlToBinary (document, destination);
}

void ProgramDocuments::restoreState (const void* data, int sizeInBytes)
{
    // Hosts may restore from several threads at once: the document is this call's own.
    if (auto document = PatchDocumentReader::fromHostState (data, sizeInBytes).document)
        loadPatchDocument (std::move (document), false);
}

void ProgramDocuments::writeProgramState (juce::MemoryBlock& destination) const
{
    juce::XmlElement document (PatchDocument::rootTag);
    createSlotDocument (document);
    juce::AudioProcessor::copyXmlToBinary (document, destination);
}

void ProgramDocuments::restoreProgramState (const void* data, int sizeInBytes)
{
    if (auto document = PatchDocumentReader::fromHostState (data, sizeInBytes).document)
        loadSlotDocument (std::move (document));
}

//==============================================================================
void ProgramDocuments::createPatchDocument (juce::XmlElement& document, bool presetOnly) const
{
    auto& properties = PatchDocument::writeHeader (document);
    const auto current = bank.getActivePreset();

    if (presetOnly)
    {
        const auto& slot = bank.getSlot (current);
        PatchDocument::writeValues (properties, slot.getValues (slot.getActiveChannel()));
        return;
    }

    properties.setAttribute ("activePreset", current);

    for (int i = 0; i < ProgramBank::numPresetSlots; ++i)
    {
        const auto& slot = bank.getSlot (i);
        auto* preset = properties.createNewChildElement ("Preset");
        preset->setAttribute ("preset", i);
        preset->setAttribute ("activeChannel", slot.getActiveChannel());

        for (int c = 0; c < PresetSlot::numChannels; ++c)
            writeChannel (*preset, bank, i, c);
    }
}

void ProgramDocuments::createSlotDocument (juce::XmlElement& document) const
{
    auto& properties = PatchDocument::writeHeader (document);
    const auto current = bank.getActivePreset();
    properties.setAttribute ("activeChannel", bank.getSlot (current).getActiveChannel());

    for (int c = 0; c < PresetSlot::numChannels; ++c)
        writeChannel (properties, bank, current, c);
}

//==============================================================================
int ProgramDocuments::readChannels (const juce::XmlElement& parent, int slot)
{
    return forEachChild (parent, PresetSlot::numChannels, [this, slot] (const juce::XmlElement& channelElement, int channel)
                         { readChannel (channelElement, slot, channel); });
}

void ProgramDocuments::readChannel (const juce::XmlElement& channelElement, int slot, int channel)
{
    auto& target = bank.getSlot (slot);
    bank.setPresetPath (slot, channel, PatchDocument::readPresetPath (channelElement));

    for (auto* element = channelElement.getFirstChildElement(); element != nullptr; element = element->getNextElement())
        if (const auto parsed = PatchDocument::readValue (*element))
            target.values[(size_t) channel][(size_t) parsed->index].store (parsed->value);
}

int ProgramDocuments::loadPatchDocument (std::unique_ptr<juce::XmlElement> document, bool presetOnly)
{
    if (! PatchDocument::isPatchRoot (document.get()))
        return presetOnly ? presetUnreadable : fullStateLoaded;

    return presetOnly ? loadPreset (*document) : loadFullState (*document);
}

int ProgramDocuments::loadFullState (const juce::XmlElement& document)
{
    // A document without "Properties" changes nothing.
    auto* properties = PatchDocument::findProperties (document);

    if (properties == nullptr)
        return fullStateLoaded;

    const auto wanted = PatchDocument::integerAttribute (*properties, 3);
    int a = 0, b = 0;

    // Slots and channels beyond the table are ignored, and foreign channel numbers read
    // as channel 0, so a document can never write outside the table.
    forEachChild (*properties, ProgramBank::numPresetSlots, [&] (const juce::XmlElement& preset, int i)
                  {
                      const auto channel = PresetSlot::clampChannel (PatchDocument::integerAttribute (preset, 1));
                      bank.getSlot (i).activeChannel.store (channel);

                      if (readChannels (preset, i) > channel && i == wanted)
                      {
                          a = i;
                          b = channel;
                      } });

    bank.setActivePreset (a);
    bank.getSlot (a).activeChannel.store (b);
    processor.setCurrentProgram (a);
    return fullStateLoaded;
}

int ProgramDocuments::loadPreset (const juce::XmlElement& document)
{
    auto* properties = PatchDocument::findProperties (document);

    if (properties == nullptr)
        return presetUnreadable;

    if (PatchDocument::attribute (*properties, 0) != ProductInfo::productId)
        return presetOfOtherProduct;

    JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")

    for (auto* element = properties->getFirstChildElement(); element != nullptr; element = element->getNextElement())
        if (const auto parsed = PatchDocument::readValue (*element))
            processor.setParameterNotifyingHost (parsed->index, parsed->value);

    JUCE_END_IGNORE_WARNINGS_GCC_LIKE

    return PatchDocument::attribute (*properties, 2).getDoubleValue() > 1.0 ? presetFromNewerVersion
                                                                            : presetLoaded;
}

bool ProgramDocuments::loadSlotDocument (std::unique_ptr<juce::XmlElement> document)
{
    if (! PatchDocument::isPatchRoot (document.get()))
        return false;

    auto* properties = PatchDocument::findProperties (*document);

    if (properties == nullptr)
        return true;

    const auto current = bank.getActivePreset();
    bank.getSlot (current).activeChannel.store (PresetSlot::clampChannel (PatchDocument::integerAttribute (*properties, 3)));

    readChannels (*properties, current);

    processor.setCurrentProgram (current);
    return true;
}

bool ProgramDocuments::presetDiffers (std::unique_ptr<juce::XmlElement> document) const
{
    if (! PatchDocument::isPatchRoot (document.get()))
        return false;

    auto* properties = PatchDocument::findProperties (*document);

    if (properties == nullptr)
        return false;

    for (auto* element : properties->getChildIterator())
    {
        if (const auto parsed = PatchDocument::readValue (*element))
        {
            const auto index = parsed->index;
            const auto live = bank.getValue (index);

            // A stepped value differs when it plays another step.
            if (HostParameters::isStepped (index) ? HostParameters::getStepIndex (index, parsed->value) != HostParameters::getStepIndex (index, live)
                                                  : std::abs (parsed->value - live) >= 1e-5f)
                return true;
        }
    }

    return false;
}

juce::String ProgramDocuments::getNewerVersionMessage() const
{
    return juce::String ("\"") + bank.getCurrentPresetPath() + "\"\nwas made using a newer version of "
           + ProductInfo::name + ".\nTo use this preset correctly, please install the newest version from: "
           + ProductInfo::downloadsPage;
}
