#include "dsp/SharedTableValues.h"

#include <juce_core/juce_core.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

const float* SharedTableValues::get (const EmbeddedResources::Resource& image, int headerSize, int count)
{
    if (image.isEmpty() || headerSize < 0 || count < 0
        || image.size < (std::size_t) headerSize + sizeof (float) * (std::size_t) count)
        return nullptr;

    const auto* bytes = static_cast<const char*> (image.data) + headerSize;

#if JUCE_LITTLE_ENDIAN
    if (reinterpret_cast<std::uintptr_t> (bytes) % alignof (float) == 0)
        return reinterpret_cast<const float*> (bytes);
#endif

    // Another layout: one converted copy per image for the whole process.
    static std::mutex lock;
    static std::map<const void*, std::unique_ptr<float[]>> copies;
    const std::lock_guard<std::mutex> guard (lock);
    auto& copy = copies[image.data];

    if (copy == nullptr)
    {
        copy = std::make_unique<float[]> ((std::size_t) count);
        std::memcpy (copy.get(), bytes, sizeof (float) * (std::size_t) count);

#if JUCE_BIG_ENDIAN
        auto* words = reinterpret_cast<juce::uint32*> (copy.get());

        for (int i = 0; i < count; ++i)
            words[i] = juce::ByteOrder::swap (words[i]);
#endif
    }

    return copy.get();
}
