// The diode table images compiled into the library: their headers, the rule their values
// follow (checked against an independent long-double bisection) and the shape of the curves.

#include "models/bluesbreaker/BluesBreakerTableReader.h"
#include "models/cj/CJTableReader.h"
#include "models/littlegreen/LittleGreenTableReader.h"
#include "models/ocd/OCDTableReader.h"
#include "models/ts9/TS9TableReader.h"
#include "resources/EmbeddedResources.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace
{
struct DiodeSet
{
    const char* prefix;
    long double tau;
    long double a;
    long double v;
    float yLimit;
};

const DiodeSet sets2D[] = {
    { "PDRD1", 2.601e-6L, 1.02e-7L, 0.025L, 1.0f },
    { "MDRD1", 1e-5L, 1.5e-11L, 0.025L, 1.0f },
    { "MODD1", 5.6e-7L, 1.12e-34L, 0.025L, 3.0f },
    { "BODD1", 5.1e-7L, 2e-28L, 0.025L, 2.0f },
};

struct RateFile
{
    const char* kHz;
    float rate;
};

const RateFile rateFiles[] = {
    { "44", 44100.0f },
    { "48", 48000.0f },
    { "88", 88200.0f },
    { "96", 96000.0f },
    { "176", 176400.0f },
    { "192", 192000.0f },
    { "352", 352800.0f },
    { "384", 384000.0f },
};

constexpr int n2D = 513;
constexpr int n1D = 8193;

// The image decoded byte by byte, independently of the readers.
struct Image
{
    std::size_t size = 0;
    std::string nameField; // all 128 bytes
    std::int32_t version = 0;
    float rate = 0.0f;
    std::int32_t nx = 0;
    std::int32_t ny = 0;
    std::int32_t count = 0;
    float xmin = 0.0f;
    float xmax = 0.0f;
    float ymin = 0.0f;
    float ymax = 0.0f;
    std::vector<float> values;

    float at (int i, int j) const { return values[static_cast<std::size_t> (i * ny + j)]; }
};

std::uint32_t littleEndian32 (const unsigned char* p)
{
    return static_cast<std::uint32_t> (p[0]) | (static_cast<std::uint32_t> (p[1]) << 8)
           | (static_cast<std::uint32_t> (p[2]) << 16) | (static_cast<std::uint32_t> (p[3]) << 24);
}

float floatAt (const unsigned char* p)
{
    const auto bits = littleEndian32 (p);
    float value;
    std::memcpy (&value, &bits, sizeof (value));
    return value;
}

std::int32_t intAt (const unsigned char* p)
{
    return static_cast<std::int32_t> (littleEndian32 (p));
}

Image decode (const std::string& name)
{
    Image image;
    const auto resource = EmbeddedResources::tables().get (name.c_str());

    if (resource.isEmpty() || resource.size < 164)
        return image;

    const auto* bytes = static_cast<const unsigned char*> (resource.data);
    image.size = resource.size;
    image.nameField.assign (reinterpret_cast<const char*> (bytes), 128);
    image.version = intAt (bytes + 128);
    image.rate = floatAt (bytes + 132);
    image.nx = intAt (bytes + 136);
    image.ny = intAt (bytes + 140);
    image.count = intAt (bytes + 144);
    image.xmin = floatAt (bytes + 148);
    image.xmax = floatAt (bytes + 152);
    image.ymin = floatAt (bytes + 156);
    image.ymax = floatAt (bytes + 160);

    for (std::size_t offset = 164; offset + 4 <= resource.size; offset += 4)
        image.values.push_back (floatAt (bytes + offset));

    return image;
}

std::string fileName (const char* prefix, const char* kHz)
{
    return std::string (prefix) + "Output" + kHz + ".dat";
}

// Root of a*y + b*sinh (y / v) = c by plain bisection in long double: the left side rises
// strictly, and its root has the sign of c and a magnitude of at most |c| / a.
long double bisect (long double a, long double b, long double v, long double c)
{
    long double lo = std::min (0.0L, c / a);
    long double hi = std::max (0.0L, c / a);

    for (int i = 0; i < 200 && lo < hi; ++i)
    {
        const long double mid = 0.5L * (lo + hi);

        if (mid == lo || mid == hi)
            break;

        if (a * mid + b * std::sinh (mid / v) < c)
            lo = mid;
        else
            hi = mid;
    }

    return 0.5L * (lo + hi);
}

// Single-precision rounding of the exact value: one unit in the last place of the float.
float floatUlp (float value)
{
    const float magnitude = std::abs (value);
    return std::nextafter (magnitude, std::numeric_limits<float>::infinity()) - magnitude;
}

long double gridPoint (float limit, int index, int size)
{
    return -static_cast<long double> (limit) + index * (2.0L * static_cast<long double> (limit)) / (size - 1);
}

std::unique_ptr<Diode2TableReader> makeReader (const std::string& prefix)
{
    if (prefix == "PDRD1")
        return std::make_unique<TS9TableReader>();
    if (prefix == "MDRD1")
        return std::make_unique<OCDTableReader>();
    if (prefix == "MODD1")
        return std::make_unique<LittleGreenTableReader>();
    return std::make_unique<CJTableReader>();
}
} // namespace

TEST (DiodeTableImages, HeadersAndSizes)
{
    for (const auto& set : sets2D)
    {
        for (const auto& rateFile : rateFiles)
        {
            const auto name = fileName (set.prefix, rateFile.kHz);
            SCOPED_TRACE (name);
            const auto image = decode (name);

            EXPECT_EQ (1052840u, image.size);
            EXPECT_EQ (name + std::string (128 - name.size(), '\0'), image.nameField);
            EXPECT_EQ (1, image.version);
            EXPECT_EQ (rateFile.rate, image.rate);
            EXPECT_EQ (513, image.nx);
            EXPECT_EQ (513, image.ny);
            EXPECT_EQ (263169, image.count);
            EXPECT_EQ (-4.5f, image.xmin);
            EXPECT_EQ (4.5f, image.xmax);
            EXPECT_EQ (-set.yLimit, image.ymin);
            EXPECT_EQ (set.yLimit, image.ymax);
        }
    }

    const auto curve = decode ("BDRD1Output.dat");
    EXPECT_EQ (32936u, curve.size);
    EXPECT_EQ (std::string ("BDRD1Output.dat") + std::string (128 - 15, '\0'), curve.nameField);
    EXPECT_EQ (0.0f, curve.rate);
    EXPECT_FALSE (std::signbit (curve.rate));
    EXPECT_EQ (8193, curve.nx);
    EXPECT_EQ (1, curve.ny);
    EXPECT_EQ (8193, curve.count);
    EXPECT_EQ (-4.5f, curve.xmin);
    EXPECT_EQ (4.5f, curve.xmax);
    EXPECT_EQ (0.0f, curve.ymin);
    EXPECT_EQ (0.0f, curve.ymax);
}

TEST (DiodeTableImages, UnknownNamesAreEmpty)
{
    EXPECT_TRUE (EmbeddedResources::tables().get ("PDRD1Output50.dat").isEmpty());
    EXPECT_TRUE (EmbeddedResources::tables().get ("pdrd1output44.dat").isEmpty());
    EXPECT_TRUE (EmbeddedResources::tables().get ("").isEmpty());
    EXPECT_EQ (0u, EmbeddedResources::tables().get (juce::String ("nothing")).size);
    EXPECT_TRUE (EmbeddedResources::tables().getResource (-1).isEmpty());
    EXPECT_TRUE (EmbeddedResources::tables().getResource (EmbeddedResources::tables().getNumResources()).isEmpty());
}

TEST (DiodeTableImages, ValuesAreOneBackwardEulerStep)
{
    std::mt19937 random (2710);
    std::uniform_int_distribution<int> point (0, n2D - 1);

    for (const auto& set : sets2D)
    {
        for (const auto& rateFile : rateFiles)
        {
            const auto image = decode (fileName (set.prefix, rateFile.kHz));
            ASSERT_EQ (263169u, image.values.size());

            const long double k = 1.0L / (static_cast<long double> (rateFile.rate) * set.tau);
            int failures = 0;

            for (int n = 0; n < 500; ++n)
            {
                const int i = point (random);
                const int j = point (random);
                const long double c = gridPoint (set.yLimit, j, n2D) + k * gridPoint (4.5f, i, n2D);
                const auto expected = static_cast<float> (bisect (1.0L + k, k * set.a, set.v, c));
                const float actual = image.at (i, j);

                if (std::abs (actual - expected) > floatUlp (expected) && failures++ < 5)
                    ADD_FAILURE() << set.prefix << " " << rateFile.kHz << " kHz at (" << i << ", " << j << "): "
                                  << actual << " instead of " << expected;
            }
        }
    }
}

TEST (DiodeTableImages, CurveIsTheStaticSolution)
{
    const auto curve = decode ("BDRD1Output.dat");
    ASSERT_EQ (static_cast<std::size_t> (n1D), curve.values.size());
    int failures = 0;

    for (int i = 0; i < n1D; ++i)
    {
        const auto expected = static_cast<float> (bisect (1.0L, 2e-9L, 0.05L, gridPoint (4.5f, i, n1D)));

        if (std::abs (curve.values[static_cast<std::size_t> (i)] - expected) > floatUlp (expected) && failures++ < 5)
            ADD_FAILURE() << "point " << i << ": " << curve.values[static_cast<std::size_t> (i)] << " instead of " << expected;
    }

    EXPECT_NEAR (-1.09739, curve.values.front(), 5e-6);
    EXPECT_NEAR (1.09739, curve.values.back(), 5e-6);
}

TEST (DiodeTableImages, OddAndRisingInX)
{
    for (const auto& set : sets2D)
    {
        for (const auto& rateFile : rateFiles)
        {
            const auto image = decode (fileName (set.prefix, rateFile.kHz));
            ASSERT_EQ (263169u, image.values.size());
            SCOPED_TRACE (fileName (set.prefix, rateFile.kHz));

            EXPECT_EQ (0.0f, image.at (256, 256));
            int oddFailures = 0;
            int risingFailures = 0;

            for (int i = 0; i < n2D; ++i)
            {
                for (int j = 0; j < n2D; ++j)
                {
                    const float value = image.at (i, j);
                    const float mirrored = image.at (n2D - 1 - i, n2D - 1 - j);

                    if (std::abs (value + mirrored) > floatUlp (value) && oddFailures++ < 3)
                        ADD_FAILURE() << "T(-x, -y) != -T(x, y) at (" << i << ", " << j << ")";

                    if (i > 0 && value < image.at (i - 1, j) && risingFailures++ < 3)
                        ADD_FAILURE() << "falls in x at (" << i << ", " << j << ")";
                }
            }
        }
    }

    const auto curve = decode ("BDRD1Output.dat");
    ASSERT_EQ (static_cast<std::size_t> (n1D), curve.values.size());
    EXPECT_EQ (0.0f, curve.values[4096]);

    for (int i = 1; i < n1D; ++i)
    {
        ASSERT_GE (curve.values[static_cast<std::size_t> (i)], curve.values[static_cast<std::size_t> (i - 1)]) << i;
        ASSERT_EQ (curve.values[static_cast<std::size_t> (i)], -curve.values[static_cast<std::size_t> (n1D - 1 - i)]) << i;
    }
}

// Figures of the finished tables: the settled clipping curve (iterating y <- T(x, y) through
// the reader), the memory term at the lowest and highest rate and the largest output.
TEST (DiodeTableImages, CharacterOfTheSets)
{
    struct Figures
    {
        const char* prefix;
        double settled1;
        double settled44;
        double memoryAt44;
        double memoryAt384;
        double largest;
    };

    const Figures figures[] = {
        { "PDRD1", 0.4067, 0.4541, 0.10290, 0.38333, 0.45785 },
        { "MDRD1", 0.6164, 0.6733, 0.30604, 0.63393, 0.68086 },
        { "MODD1", 1.0000, 1.9936, 0.07230, 0.53095, 1.99670 },
        { "BODD1", 1.0000, 1.6372, 0.04399, 0.32754, 1.63870 },
    };

    for (const auto& f : figures)
    {
        SCOPED_TRACE (f.prefix);

        for (const auto& rateFile : rateFiles)
        {
            auto reader = makeReader (f.prefix);
            reader->setSampleRate (rateFile.rate);
            ASSERT_TRUE (reader->loadTables (f.prefix, false));
            reader->update();
            reader->swapTables();
            ASSERT_EQ (rateFile.rate, reader->getActiveTableRate());

            const double inputs[] = { 0.1, 1.0, 4.4 };
            const double settled[] = { 0.1, f.settled1, f.settled44 };

            for (int n = 0; n < 3; ++n)
            {
                reader->clearState();
                double y = 0.0;

                for (int step = 0; step < 200; ++step)
                {
                    y = inputs[n];
                    reader->processMonoSample (y);
                }

                EXPECT_NEAR (settled[n], y, 1e-4) << "x = " << inputs[n] << " at " << rateFile.kHz << " kHz";
            }
        }

        // x = 0 with the previous output at the end of the y axis (y = 1, 3 or 2): the
        // capacitor's discharge over one step. For "BODD1" these figures belong to y = 2;
        // at y = 1 the values are half as large (the step is linear there).
        const int lastColumn = n2D - 1;
        EXPECT_NEAR (f.memoryAt44, decode (fileName (f.prefix, "44")).at (256, lastColumn), 5e-6);
        EXPECT_NEAR (f.memoryAt384, decode (fileName (f.prefix, "384")).at (256, lastColumn), 5e-6);

        float largest = 0.0f;

        for (const auto& rateFile : rateFiles)
            for (float value : decode (fileName (f.prefix, rateFile.kHz)).values)
                largest = std::max (largest, std::abs (value));

        EXPECT_NEAR (f.largest, largest, 5e-6);
    }

    BluesBreakerTableReader curve;
    ASSERT_TRUE (curve.loadTables ("BDRD1", false));
    curve.update();
    curve.swapTables();

    const double points[][2] = { { 0.1, 0.1 }, { 0.5, 0.49998 }, { 1.0, 0.91368 }, { 2.0, 1.03441 }, { 4.4, 1.09592 } };

    for (const auto& p : points)
    {
        double x = p[0];
        curve.processMonoSample (x);
        EXPECT_NEAR (p[1], x, 5e-6) << "x = " << p[0];

        x = -p[0];
        curve.processMonoSample (x);
        EXPECT_NEAR (-p[1], x, 5e-6) << "x = " << -p[0];
    }
}
