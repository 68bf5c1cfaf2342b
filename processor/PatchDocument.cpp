#include "processor/PatchDocument.h"

#include "processor/HostParameters.h"
#include "processor/ProductInfo.h"

#include <charconv>
#include <cmath>

namespace
{
// The shortest text that reads back as the same float, whatever the locale.
juce::String exactText (float value)
{
    char buffer[32];
    const auto result = std::to_chars (buffer, buffer + sizeof (buffer), value);
    return result.ec == std::errc() ? juce::String (buffer, (size_t) (result.ptr - buffer)) : juce::String();
}

std::optional<float> readExact (const juce::String& text)
{
    const auto utf8 = text.toStdString();
    float value = 0.0f;
    const auto result = std::from_chars (utf8.data(), utf8.data() + utf8.size(), value);

    if (result.ec != std::errc() || result.ptr != utf8.data() + utf8.size() || ! std::isfinite (value))
        return std::nullopt;

    return value;
}
} // namespace

juce::XmlElement& PatchDocument::writeHeader (juce::XmlElement& document)
{
    document.setTagName (rootTag);
    document.setAttribute ("version", ProductInfo::documentVersion);

    auto* name = document.createNewChildElement ("DeviceName");
    name->addTextElement (ProductInfo::name);

    auto* properties = document.createNewChildElement ("Properties");
    properties->setAttribute ("deviceProductID", ProductInfo::productId);
    properties->setAttribute ("deviceVersion", ProductInfo::version);
    properties->setAttribute ("presetVersion", ProductInfo::presetVersion);
    return *properties;
}

juce::String PatchDocument::valueText (int index, float value)
{
    switch (index)
    {
        case HostParameters::onBypass:
            return value > 0.0f ? "true" : "false";

        case HostParameters::overdriveType:
            return juce::String (HostParameters::getModelIndex (value));

        case HostParameters::oversampling:
            return juce::String (HostParameters::getOversamplingIndex (value));

        default:
            return HostParameters::formatFixed ((double) value, 5);
    }
}

void PatchDocument::writeValues (juce::XmlElement& parent, const std::array<float, 8>& values)
{
    for (int k = 0; k < HostParameters::numParameters; ++k)
    {
        auto* element = parent.createNewChildElement ("Value");
        element->setAttribute ("property", HostParameters::getName (k));
        element->setAttribute ("type", k == HostParameters::onBypass ? "boolean" : "number");
        element->addTextElement (valueText (k, values[(size_t) k]));

        const auto v = values[(size_t) k];

        if (HostParameters::isStepped (k) && v != HostParameters::getStepValue (k, HostParameters::getStepIndex (k, v)))
            element->setAttribute ("value", exactText (v));
    }
}

bool PatchDocument::isPatchRoot (const juce::XmlElement* document)
{
    return document != nullptr && document->getTagName().equalsIgnoreCase (rootTag);
}

juce::XmlElement* PatchDocument::findProperties (const juce::XmlElement& document)
{
    for (auto* child : document.getChildIterator())
        if (child->getTagName().equalsIgnoreCase ("Properties"))
            return child;

    return nullptr;
}

juce::String PatchDocument::attribute (const juce::XmlElement& element, int position)
{
    return position < element.getNumAttributes() ? element.getAttributeValue (position) : juce::String();
}

juce::String PatchDocument::boundedPresetPath (const juce::String& path)
{
    return path.length() <= maximumPresetPathLength ? path : juce::String();
}

juce::String PatchDocument::readPresetPath (const juce::XmlElement& channel)
{
    return boundedPresetPath (attribute (channel, 1));
}

int PatchDocument::integerAttribute (const juce::XmlElement& element, int position)
{
    return attribute (element, position).getIntValue();
}

std::optional<PatchDocument::ParsedValue> PatchDocument::readValue (const juce::XmlElement& element)
{
    const auto identifier = attribute (element, 0);
    int index = -1;

    for (int k = 0; k < HostParameters::numParameters; ++k)
        if (identifier == HostParameters::getName (k))
            index = k;

    if (index < 0)
        return std::nullopt;

    const auto text = element.getAllSubText();
    float value = 0.0f;

    if (index == HostParameters::onBypass)
    {
        value = text.trim() == "true" ? 1.0f : 0.0f;
    }
    else
    {
        const auto number = text.getDoubleValue();

        // The number parser accepts "nan" and "inf": such values are not taken.
        if (! std::isfinite (number))
            return std::nullopt;

        if (index == HostParameters::overdriveType)
            value = (float) number * 0.25f;
        else if (index == HostParameters::oversampling)
            value = (float) number / 3.0f;
        else
            value = (float) number;
    }

    // Stored as a host's value would be.
    auto stored = HostParameters::toStoredValue (index, value);

    if (! stored)
        return std::nullopt;

    // A value between steps that a host set; the text (which a user may have edited) decides
    // the step.
    if (HostParameters::isStepped (index))
        if (const auto exact = readExact (attribute (element, 2)); exact && *exact >= 0.0f && *exact <= 1.0f
                                                                   && HostParameters::getStepIndex (index, *exact) == HostParameters::getStepIndex (index, *stored))
            stored = exact;

    return ParsedValue { index, *stored };
}
