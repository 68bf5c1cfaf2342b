#pragma once

#include <cmath>

// The five parameters every circuit offers, in the order of their indices.
namespace ModelParameters
{
enum Index
{
    bypass = 0,
    drive,
    tone,
    level,
    numOverSampling,
    count
};

inline float getDefaultValue (int index) noexcept
{
    constexpr float defaults[] = { 1.0f, 0.5f, 0.5f, 0.5f, 0.0f };
    return (index >= 0 && index < count) ? defaults[index] : 0.0f;
}

inline const char* getName (int index) noexcept
{
    constexpr const char* names[] = { "Bypass", "Drive", "Tone", "Level", "NumOverSampling" };
    return (index >= 0 && index < count) ? names[index] : "";
}

// "NumOverSampling": floor (3 v) kept inside the four factors, formed in double precision so
// that 1/3, 2/3 and 1 give 1, 2 and 3.
inline int toOversamplingIndex (float value) noexcept
{
    const auto f = std::floor ((double) value * 3.0);
    return f >= 3.0 ? 3 : (f > 0.0 ? (int) f : 0);
}

// The "NumOverSampling" value that selects a factor index.
inline float toNumOverSampling (int oversamplingIndex) noexcept { return (float) oversamplingIndex / 3.0f; }

// The message-thread timer that completes an oversampling change.
constexpr int oversamplingTimerMs = 100;
} // namespace ModelParameters
