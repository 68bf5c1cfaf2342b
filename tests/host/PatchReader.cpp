#include "tests/host/PatchReader.h"

#include <juce_audio_processors/juce_audio_processors.h>

#include <vector>

namespace
{
// The header that AudioProcessor::copyXmlToBinary writes in front of the XML text.
constexpr char binaryXmlMagic[] = { 'V', 'C', '2', '!' };

std::unique_ptr<juce::XmlElement> findDocumentInBlock (const juce::MemoryBlock& block)
{
    const auto* data = static_cast<const char*> (block.getData());
    const auto size = (int) block.getSize();

    // The plug-in's block may sit inside a format's own envelope (a VST2-style bank chunk in
    // the VST3 state), so look for the header anywhere.
    for (int i = 0; i + 8 <= size; ++i)
    {
        if (std::equal (std::begin (binaryXmlMagic), std::end (binaryXmlMagic), data + i))
        {
            auto xml = juce::AudioProcessor::getXmlFromBinary (data + i, size - i);

            if (xml != nullptr && xml->getTagName().equalsIgnoreCase ("molvekPatch"))
                return xml;
        }
    }

    return nullptr;
}

bool looksLikeJuceBase64 (const juce::String& text)
{
    const auto dot = text.indexOfChar ('.');
    return dot > 0 && text.substring (0, dot).containsOnly ("0123456789") && text.length() > dot + 1;
}

std::vector<juce::MemoryBlock> collectCandidateBlocks (const juce::MemoryBlock& hostState)
{
    std::vector<juce::MemoryBlock> blocks;
    blocks.push_back (hostState);

    // VST3 host: XML with the component and controller states in JUCE's base64.
    if (auto xml = juce::AudioProcessor::getXmlFromBinary (hostState.getData(), (int) hostState.getSize()))
    {
        for (auto* child : xml->getChildIterator())
        {
            juce::MemoryBlock decoded;

            if (decoded.fromBase64Encoding (child->getAllSubText().trim()))
                blocks.push_back (std::move (decoded));
        }

        return blocks;
    }

    // LV2 host: Turtle text whose quoted literals include the plug-in's state string.
    const auto text = hostState.toString();

    for (int start = text.indexOfChar ('"'); start >= 0;)
    {
        const auto end = text.indexOfChar (start + 1, '"');

        if (end < 0)
            break;

        const auto literal = text.substring (start + 1, end);
        juce::MemoryBlock decoded;

        if (looksLikeJuceBase64 (literal) && decoded.fromBase64Encoding (literal))
            blocks.push_back (std::move (decoded));

        start = text.indexOfChar (end + 1, '"');
    }

    return blocks;
}

const juce::XmlElement* findChildIgnoringCase (const juce::XmlElement& parent, const juce::String& name)
{
    for (auto* child : parent.getChildIterator())
        if (child->getTagName().equalsIgnoreCase (name))
            return child;

    return nullptr;
}
} // namespace

std::unique_ptr<juce::XmlElement> PatchReader::findDocument (const juce::MemoryBlock& hostState)
{
    for (const auto& block : collectCandidateBlocks (hostState))
        if (auto document = findDocumentInBlock (block))
            return document;

    return nullptr;
}

int PatchReader::getActivePreset (const juce::XmlElement& document)
{
    const auto* properties = findChildIgnoringCase (document, "Properties");

    if (properties == nullptr || ! properties->hasAttribute ("activePreset"))
        return -1;

    return properties->getIntAttribute ("activePreset");
}

juce::StringPairArray PatchReader::getLiveValueTexts (const juce::XmlElement& document)
{
    juce::StringPairArray texts;
    const auto* properties = findChildIgnoringCase (document, "Properties");

    if (properties == nullptr)
        return texts;

    const auto active = properties->getIntAttribute ("activePreset");

    for (auto* preset : properties->getChildWithTagNameIterator ("Preset"))
    {
        if (preset->getIntAttribute ("preset") != active)
            continue;

        const auto channel = preset->getIntAttribute ("activeChannel");

        for (auto* channelElement : preset->getChildWithTagNameIterator ("Channel"))
        {
            if (channelElement->getIntAttribute ("channel") != channel)
                continue;

            for (auto* value : channelElement->getChildWithTagNameIterator ("Value"))
                texts.set (value->getStringAttribute ("property"), value->getAllSubText().trim());
        }
    }

    return texts;
}
