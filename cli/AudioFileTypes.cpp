#include "cli/AudioFileTypes.h"

AudioFileTypes::Type AudioFileTypes::fromExtension (const juce::File& file)
{
    const auto extension = file.getFileExtension();

    if (extension.equalsIgnoreCase (".wav"))
        return Type::wav;

    if (extension.equalsIgnoreCase (".aif") || extension.equalsIgnoreCase (".aiff"))
        return Type::aiff;

    return Type::unknown;
}

juce::String AudioFileTypes::getName (Type type)
{
    switch (type)
    {
        case Type::wav:
            return "WAV";
        case Type::aiff:
            return "AIFF";
        case Type::unknown:
        default:
            return {};
    }
}

std::unique_ptr<juce::AudioFormat> AudioFileTypes::createFormat (Type type)
{
    switch (type)
    {
        case Type::wav:
            return std::make_unique<juce::WavAudioFormat>();
        case Type::aiff:
            return std::make_unique<juce::AiffAudioFormat>();
        case Type::unknown:
        default:
            return nullptr;
    }
}

void AudioFileTypes::registerReadableFormats (juce::AudioFormatManager& manager)
{
    manager.registerFormat (new juce::WavAudioFormat(), true);
    manager.registerFormat (new juce::AiffAudioFormat(), false);
}

bool AudioFileTypes::canWrite (Type type, SampleFormat format)
{
    const bool integer8to24 = ! format.isFloat
                              && (format.bitsPerSample == 8 || format.bitsPerSample == 16 || format.bitsPerSample == 24);

    switch (type)
    {
        case Type::wav:
            return integer8to24 || (format.isFloat && format.bitsPerSample == 32);
        case Type::aiff:
            return integer8to24;
        case Type::unknown:
        default:
            return false;
    }
}

SampleFormat AudioFileTypes::closestWritable (Type type, SampleFormat format)
{
    if (canWrite (type, format))
        return format;

    if (type == Type::wav && format.bitsPerSample > 24)
        return SampleFormat::floatingPoint();

    return SampleFormat::integer (24);
}

juce::String AudioFileTypes::describeWritable (Type type)
{
    return type == Type::wav ? "8, 16, 24-bit or float" : "8, 16 or 24-bit";
}
