// The table readers: which table serves which effective rate, the double buffer, the
// lookups at and beyond the edges of the grid, and the tables read from the user's folder.

#include "models/bluesbreaker/BluesBreakerTableReader.h"
#include "models/ocd/OCDTableReader.h"
#include "models/ts9/TS9TableReader.h"
#include "processor/UserFolders.h"
#include "resources/EmbeddedResources.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <utility>
#include <vector>

namespace
{
constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

// Value (i, j) of an embedded image, read straight from its bytes.
float imageValue (const std::string& name, int i, int j)
{
    const auto image = EmbeddedResources::tables().get (name.c_str());
    const auto* bytes = static_cast<const unsigned char*> (image.data);
    std::int32_t ny;
    std::memcpy (&ny, bytes + 140, 4);
    float value;
    std::memcpy (&value, bytes + 164 + 4 * (static_cast<std::size_t> (i) * static_cast<std::size_t> (ny) + static_cast<std::size_t> (j)), 4);
    return value;
}

// Grid point i of the 513-point x axis.
double gridX (int i) { return -4.5 + i * 9.0 / 512.0; }

// Records every table taken, and the rate it asked for.
template <typename Reader>
class RecordingReader : public Reader
{
public:
    const float* takeTable (const juce::String& tablePrefix, float rate) override
    {
        const float* values = Reader::takeTable (tablePrefix, rate);
        reads.emplace_back (rate, values != nullptr);
        return values;
    }

    std::vector<std::pair<float, bool>> reads;
};

class RecordingCurveReader : public BluesBreakerTableReader
{
public:
    const float* takeTable (const juce::String& tablePrefix) override
    {
        const float* values = BluesBreakerTableReader::takeTable (tablePrefix);
        reads.push_back (values != nullptr);
        return values;
    }

    std::vector<bool> reads;
};

// Records the values every table taken points at.
template <typename Reader>
class RecordingPointers : public Reader
{
public:
    const float* takeTable (const juce::String& tablePrefix, float rate) override
    {
        taken.push_back (Reader::takeTable (tablePrefix, rate));
        return taken.back();
    }

    std::vector<const float*> taken;
};

class RecordingCurvePointers : public BluesBreakerTableReader
{
public:
    const float* takeTable (const juce::String& tablePrefix) override
    {
        taken.push_back (BluesBreakerTableReader::takeTable (tablePrefix));
        return taken.back();
    }

    std::vector<const float*> taken;
};

// A single sample through a freshly cleared reader: the previous output is 0.
double firstOutput (Diode2TableReader& reader, double x)
{
    reader.clearState();
    reader.processMonoSample (x);
    return x;
}

void prepare (Diode2TableReader& reader, const char* prefix, float hostRate, int index)
{
    reader.setSampleRate (hostRate);
    reader.loadTables (prefix, false);
    reader.setOversamplingIndex (index);
    reader.update();
    reader.swapTables();
}

// The reader serves the image of that name: its rate, and its value at an inner grid point
// (x = 0.7734375, y = 0), where the tables of different rates differ by far more than the
// tolerance.
void expectServes (Diode2TableReader& reader, const std::string& name, float rate)
{
    EXPECT_EQ (rate, reader.getActiveTableRate()) << name;
    EXPECT_NEAR (imageValue (name, 300, 256), firstOutput (reader, gridX (300)), 1e-6) << name;
}
} // namespace

TEST (Diode2TableReader, EffectiveRateSelectsTheTable)
{
    struct Case
    {
        float hostRate;
        int index;
        float rate;
        const char* file;
    };

    const Case cases[] = {
        { 44100.0f, 3, 352800.0f, "PDRD1Output352.dat" },
        { 88200.0f, 3, 352800.0f, "PDRD1Output352.dat" }, // capped at 4x above 68100 Hz
        { 96000.0f, 0, 96000.0f, "PDRD1Output96.dat" },
        { 96000.0f, 3, 384000.0f, "PDRD1Output384.dat" },
        { 192000.0f, 3, 384000.0f, "PDRD1Output384.dat" }, // capped at 2x above 136200 Hz
        { 48000.0f, 2, 192000.0f, "PDRD1Output192.dat" },
        { 44100.0f, 2, 176400.0f, "PDRD1Output176.dat" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.file);
        RecordingReader<TS9TableReader> reader;
        reader.setSampleRate (c.hostRate);
        ASSERT_TRUE (reader.loadTables ("PDRD1", false));
        reader.setOversamplingIndex (c.index);
        reader.update();

        // Read, but not in use before the swap.
        ASSERT_EQ (1u, reader.reads.size());
        EXPECT_EQ (c.rate, reader.reads[0].first);
        EXPECT_TRUE (reader.reads[0].second);
        EXPECT_EQ (-1.0f, reader.getActiveTableRate());
        EXPECT_EQ (0.0, firstOutput (reader, 1.0));

        reader.swapTables();
        expectServes (reader, c.file, c.rate);

        // The same rate again reads nothing.
        reader.update();
        reader.swapTables();
        EXPECT_EQ (1u, reader.reads.size());
    }
}

TEST (Diode2TableReader, EachReadIsSwappedInByTheFollowingSwap)
{
    RecordingReader<TS9TableReader> reader;
    prepare (reader, "PDRD1", 44100.0f, 0);
    expectServes (reader, "PDRD1Output44.dat", 44100.0f);

    reader.setOversamplingIndex (1);
    reader.update();
    expectServes (reader, "PDRD1Output44.dat", 44100.0f);

    reader.swapTables();
    expectServes (reader, "PDRD1Output88.dat", 88200.0f);

    ASSERT_EQ (2u, reader.reads.size());
    EXPECT_EQ (44100.0f, reader.reads[0].first);
    EXPECT_EQ (88200.0f, reader.reads[1].first);

    // Back to the first rate: read again into the buffer that is now idle.
    reader.setOversamplingIndex (0);
    reader.update();
    reader.swapTables();
    expectServes (reader, "PDRD1Output44.dat", 44100.0f);
    EXPECT_EQ (3u, reader.reads.size());
}

TEST (Diode2TableReader, InitParametersDropsAnUnswappedRead)
{
    TS9TableReader reader;
    prepare (reader, "PDRD1", 44100.0f, 0);

    reader.setOversamplingIndex (3);
    reader.update();
    reader.initParameters();
    reader.swapTables();
    expectServes (reader, "PDRD1Output44.dat", 44100.0f);
}

TEST (Diode2TableReader, ReadTableChecksNameVersionAndRate)
{
    TS9TableReader reader;
    ASSERT_TRUE (reader.loadTables ("PDRD1", false));
    ASSERT_EQ (263169, reader.getTableSize());
    std::vector<float> buffer (263169, 7.0f);

    struct Case
    {
        const char* prefix;
        float rate;
        bool accepted;
    };

    const Case cases[] = {
        { "PDRD1", 44100.0f, true },
        { "PDRD1", 384000.0f, true },
        { "PDRD1", 44100.5f, false }, // the 44 image, but not its exact rate
        { "PDRD1", 100000.0f, false }, // no image of that name: the 384 image rejects it
        { "PDRD1", 384500.0f, false }, // the 384 image's name, not its rate
        { "PDRD1", 32000.0f, false },
        { "MDRD1", 44100.0f, false }, // another reader's set
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (std::string (c.prefix) + " " + std::to_string (c.rate));
        std::fill (buffer.begin(), buffer.end(), 7.0f);
        EXPECT_EQ (c.accepted, reader.readTable (c.prefix, c.rate, buffer.data()));

        if (c.accepted)
            EXPECT_EQ (imageValue (Diode2TableReader::getTableFileName (c.prefix, c.rate).toStdString(), 400, 100), buffer[400 * 513 + 100]);
        else
            EXPECT_EQ (7.0f, buffer[400 * 513 + 100]);
    }
}

TEST (Diode2TableReader, ForeignPrefixGivesSilence)
{
    RecordingReader<TS9TableReader> reader;
    reader.setSampleRate (44100.0f);
    EXPECT_FALSE (reader.loadTables ("MDRD1", true));
    EXPECT_FALSE (reader.loadTables ("MDRD1", false));
    EXPECT_EQ (0, reader.getTableSize());

    reader.update();
    reader.swapTables();

    for (double x : { 0.5, -3.0, 10.0, notANumber, infinity, -infinity })
    {
        double left = x;
        double right = -x;
        reader.processStereoSample (left, right);
        EXPECT_EQ (0.0, left) << x;
        EXPECT_EQ (0.0, right) << x;
    }

    EXPECT_EQ (-1.0f, reader.getActiveTableRate());
}

TEST (Diode2TableReader, LookupsAtTheEdgesOfTheGrid)
{
    TS9TableReader reader;
    prepare (reader, "PDRD1", 44100.0f, 0);
    const std::string name = "PDRD1Output44.dat";

    // Beyond the x range: the edge rows (y = 0 is grid column 256 exactly).
    EXPECT_EQ (imageValue (name, 512, 256), firstOutput (reader, 10.0));
    EXPECT_EQ (imageValue (name, 0, 256), firstOutput (reader, -10.0));
    EXPECT_EQ (imageValue (name, 512, 256), firstOutput (reader, infinity));
    EXPECT_EQ (imageValue (name, 0, 256), firstOutput (reader, -infinity));

    // x = 0 lands a hair beside the centre row because the x scale 512 / 9 is rounded to
    // float: about 3e-8, not exactly 0.
    const double centre = firstOutput (reader, 0.0);
    EXPECT_NEAR (0.0, centre, 1e-7);
    EXPECT_NE (0.0, centre);
}

// NaN is looked up as input 0, the centre row: the output stays finite and the capacitor
// goes on discharging as if the input were silent.
TEST (Diode2TableReader, NaNInputReadsTheCentreRow)
{
    TS9TableReader reader, reference;
    prepare (reader, "PDRD1", 44100.0f, 0);
    prepare (reference, "PDRD1", 44100.0f, 0);

    EXPECT_EQ (0.0, firstOutput (reader, notANumber));

    for (double level : { 1.0, -4.4, 0.2 })
    {
        reader.clearState();
        reference.clearState();

        for (int n = 0; n < 3; ++n)
        {
            double a = level, b = level;
            reader.processMonoSample (a);
            reference.processMonoSample (b);
        }

        for (int n = 0; n < 3; ++n)
        {
            double x = notANumber, silent = 0.0;
            reader.processMonoSample (x);
            reference.processMonoSample (silent);
            ASSERT_TRUE (std::isfinite (x));
            EXPECT_NEAR (silent, x, 1e-7) << level;
        }
    }
}

// Every reader of a circuit's tables, in every instance, reads the values the library holds:
// nothing is copied per reader (an instance would otherwise carry megabytes of tables).
TEST (DiodeTableReaders, EmbeddedTablesAreSharedNotCopied)
{
    const auto expectedValues = [] (const char* name)
    {
        return reinterpret_cast<const float*> (static_cast<const char*> (EmbeddedResources::tables().get (name).data) + DiodeTableHeader::size);
    };

    RecordingPointers<TS9TableReader> first, second;
    prepare (first, "PDRD1", 48000.0f, 0);
    prepare (second, "PDRD1", 48000.0f, 0);
    ASSERT_EQ (1u, first.taken.size());
    ASSERT_EQ (1u, second.taken.size());
    EXPECT_EQ (expectedValues ("PDRD1Output48.dat"), first.taken[0]);
    EXPECT_EQ (first.taken[0], second.taken[0]);
    expectServes (second, "PDRD1Output48.dat", 48000.0f);

    RecordingCurvePointers curveA, curveB;

    for (auto* curve : { &curveA, &curveB })
    {
        curve->setSampleRate (44100.0f);
        ASSERT_TRUE (curve->loadTables ("BDRD1", false));
        curve->update();
        curve->swapTables();
        ASSERT_EQ (1u, curve->taken.size());
    }

    EXPECT_EQ (expectedValues ("BDRD1Output.dat"), curveA.taken[0]);
    EXPECT_EQ (curveA.taken[0], curveB.taken[0]);
}

TEST (Diode2TableReader, StereoChannelsKeepTheirOwnMemory)
{
    TS9TableReader stereo, left, right;
    prepare (stereo, "PDRD1", 48000.0f, 2);
    prepare (left, "PDRD1", 48000.0f, 2);
    prepare (right, "PDRD1", 48000.0f, 2);

    for (int n = 0; n < 64; ++n)
    {
        double l = 3.0 * std::sin (0.3 * n);
        double r = (n % 8 < 4) ? 2.0 : -0.25;
        double monoL = l, monoR = r;
        stereo.processStereoSample (l, r);
        left.processMonoSample (monoL);
        right.processMonoSample (monoR);
        ASSERT_EQ (monoL, l) << n;
        ASSERT_EQ (monoR, r) << n;
    }

    // clearState forgets the memory: the same input gives a fresh reader's output.
    TS9TableReader fresh;
    prepare (fresh, "PDRD1", 48000.0f, 2);
    double a = 0.3, b = 0.3, c = 0.3;
    stereo.clearState();
    stereo.processStereoSample (a, b);
    fresh.processMonoSample (c);
    EXPECT_EQ (c, a);
    EXPECT_EQ (c, b);
}

// An effective rate without a table takes the table of the nearest rate that has one, the
// first time and every time after, whatever table was in use before: the sound at a setting
// never depends on the settings before it.
TEST (Diode2TableReader, EveryRateWithoutTableUsesTheNearest)
{
    struct Case
    {
        float hostRate;
        int index;
        float nearest;
        const char* file;
    };

    const Case cases[] = {
        { 32000.0f, 0, 44100.0f, "MDRD1Output44.dat" },
        { 50000.0f, 0, 48000.0f, "MDRD1Output48.dat" },
        { 22050.0f, 0, 44100.0f, "MDRD1Output44.dat" },
        { 32000.0f, 1, 48000.0f, "MDRD1Output48.dat" }, // 64000 Hz
        { 64000.0f, 1, 96000.0f, "MDRD1Output96.dat" }, // 128000 Hz
        { 32000.0f, 3, 192000.0f, "MDRD1Output192.dat" }, // 256000 Hz
        { 500000.0f, 0, 384000.0f, "MDRD1Output384.dat" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (std::to_string (c.hostRate) + " Hz, index " + std::to_string (c.index));
        RecordingReader<OCDTableReader> reader;
        prepare (reader, "MDRD1", c.hostRate, c.index);

        ASSERT_EQ (2u, reader.reads.size());
        EXPECT_FALSE (reader.reads[0].second);
        EXPECT_EQ (c.nearest, reader.reads[1].first);
        EXPECT_TRUE (reader.reads[1].second);
        expectServes (reader, c.file, c.nearest);

        // Reached from a table of an exact rate, and from a nearest table of another rate.
        for (const auto& before : cases)
        {
            for (const auto firstIndex : { 0, 3 }) // the tables of 44100 and 352800 Hz
            {
                RecordingReader<OCDTableReader> later;
                prepare (later, "MDRD1", 44100.0f, firstIndex);
                prepare (later, "MDRD1", before.hostRate, before.index);
                prepare (later, "MDRD1", c.hostRate, c.index);
                expectServes (later, c.file, c.nearest);
            }
        }
    }

    // A rate with a table after one without reads its own again.
    RecordingReader<OCDTableReader> reader;
    prepare (reader, "MDRD1", 32000.0f, 0);
    prepare (reader, "MDRD1", 96000.0f, 0);
    expectServes (reader, "MDRD1Output96.dat", 96000.0f);
    prepare (reader, "MDRD1", 50000.0f, 0);
    expectServes (reader, "MDRD1Output48.dat", 48000.0f);
}

TEST (Diode2TableReader, NearestTableRate)
{
    const std::pair<float, float> cases[] = {
        { 0.0f, 44100.0f },
        { 46050.0f, 44100.0f }, // halfway: the lower one
        { 46051.0f, 48000.0f },
        { 64000.0f, 48000.0f },
        { 68100.0f, 48000.0f }, // halfway again
        { 68101.0f, 88200.0f },
        { 288400.0f, 352800.0f },
        { 1.0e9f, 384000.0f },
        { static_cast<float> (notANumber), 44100.0f },
    };

    for (const auto& [rate, nearest] : cases)
        EXPECT_EQ (nearest, Diode2TableReader::getNearestTableRate (rate)) << rate;
}

TEST (Diode1TableReader, CurveLookups)
{
    RecordingCurveReader reader;
    reader.setSampleRate (44100.0f);
    ASSERT_TRUE (reader.loadTables ("BDRD1", false));
    EXPECT_EQ (8193, reader.getTableSize());
    reader.update();
    EXPECT_FALSE (reader.hasActiveTable());
    reader.swapTables();
    ASSERT_TRUE (reader.hasActiveTable());

    struct Case
    {
        double x;
        double expected;
    };

    // The ends: the first point below, the next-to-last point from 4.5 on.
    const Case cases[] = {
        { 4.5, 1.0973746 },
        { -4.5, -1.0973904 },
        { 10.0, 1.0973746 },
        { -10.0, -1.0973904 },
        { infinity, 1.0973746 },
        { -infinity, -1.0973904 },
        { notANumber, 0.0 }, // the centre of the curve
        { 0.0, 0.0 },
    };

    for (const auto& c : cases)
    {
        double left = c.x, right = c.x;
        reader.processStereoSample (left, right);
        EXPECT_NEAR (c.expected, left, 1e-7) << c.x;
        EXPECT_EQ (left, right) << c.x;
        EXPECT_EQ (static_cast<double> (static_cast<float> (left)), left);
    }

    // The cubic passes through the grid points: there it returns the stored value (to the
    // float rounding of the x scale).
    const auto* values = static_cast<const unsigned char*> (EmbeddedResources::tables().get ("BDRD1Output.dat").data);

    for (int i : { 2, 1000, 4097, 6000, 8190 })
    {
        float stored;
        std::memcpy (&stored, values + 164 + 4 * i, 4);
        double x = -4.5 + i * 9.0 / 8192.0;
        reader.processMonoSample (x);
        EXPECT_NEAR (stored, x, 2e-7) << i;
    }

    // Rate-independent, but read again when the effective rate changes.
    const auto readsBefore = reader.reads.size();
    reader.setOversamplingIndex (2);
    reader.update();
    reader.swapTables();
    EXPECT_EQ (readsBefore + 1, reader.reads.size());
    EXPECT_TRUE (reader.hasActiveTable());
}

TEST (Diode1TableReader, ForeignPrefixGivesSilence)
{
    BluesBreakerTableReader reader;
    EXPECT_FALSE (reader.loadTables ("PDRD1", false));
    reader.update();
    reader.swapTables();
    EXPECT_FALSE (reader.hasActiveTable());

    for (double x : { 0.5, -4.4, notANumber, infinity })
    {
        double y = x;
        reader.processMonoSample (y);
        EXPECT_EQ (0.0, y) << x;
    }

    std::vector<float> buffer (8193);
    EXPECT_FALSE (reader.readTable ("PDRD1", buffer.data()));
}

#if JUCE_LINUX

// The base readers take their tables from the user's table folder. The fixture points
// the home folder at a temporary one for the duration of each test.
class TableFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (const char* value = std::getenv ("HOME"))
            savedHome = value;

        home = juce::File::createTempFile ("vardeko-home");
        ASSERT_TRUE (home.createDirectory());
        ::setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);
        folder = juce::File::getSpecialLocation (juce::File::userDocumentsDirectory).getChildFile ("Molvek/Library/Tables");
        ASSERT_TRUE (folder.isAChildOf (home));
        ASSERT_TRUE (folder.createDirectory());
    }

    void TearDown() override
    {
        ::setenv ("HOME", savedHome.c_str(), 1);
        home.deleteRecursively();
    }

    // Writes an embedded image under a file name of the test's choice.
    void install (const char* image, const char* asName)
    {
        const auto resource = EmbeddedResources::tables().get (image);
        ASSERT_FALSE (resource.isEmpty());
        ASSERT_TRUE (folder.getChildFile (asName).replaceWithData (resource.data, resource.size));
    }

    void installSet (const char* prefix)
    {
        for (const char* kHz : { "44", "48", "88", "96", "176", "192", "352", "384" })
        {
            const auto name = std::string (prefix) + "Output" + kHz + ".dat";
            install (name.c_str(), name.c_str());
        }
    }

    std::string savedHome;
    juce::File home;
    juce::File folder;
};

TEST_F (TableFolderTest, TwoDimensionalTablesFromTheFolder)
{
    EXPECT_EQ (UserFolders::getTableFolder(), folder);
    installSet ("PDRD1");

    Diode2TableReader reader { UserFolders::getTableFolder() };
    prepare (reader, "PDRD1", 48000.0f, 1);
    expectServes (reader, "PDRD1Output96.dat", 96000.0f);

    // All eight files are needed.
    ASSERT_TRUE (folder.getChildFile ("PDRD1Output176.dat").deleteFile());
    Diode2TableReader incomplete { UserFolders::getTableFolder() };
    EXPECT_FALSE (incomplete.loadTables ("PDRD1", false));
    EXPECT_EQ (0, incomplete.getTableSize());

    // Without tables available nothing is read, not even a file that is there.
    std::vector<float> buffer (4, 1.0f);
    EXPECT_FALSE (incomplete.readTable ("PDRD1", 44100.0f, buffer.data()));
}

TEST_F (TableFolderTest, FolderTablesPassTheSameChecks)
{
    installSet ("PDRD1");

    // A file whose header names another table is refused; with no other table the reader
    // falls back to the nearest rate, which is this very one, and stays silent.
    install ("PDRD1Output48.dat", "PDRD1Output44.dat");
    Diode2TableReader reader { UserFolders::getTableFolder() };
    prepare (reader, "PDRD1", 44100.0f, 0);
    EXPECT_EQ (-1.0f, reader.getActiveTableRate());
    EXPECT_EQ (0.0, firstOutput (reader, 1.0));

    // The embedded tables win over the folder for the circuit readers.
    TS9TableReader embedded;
    prepare (embedded, "PDRD1", 44100.0f, 0);
    expectServes (embedded, "PDRD1Output44.dat", 44100.0f);
}

TEST_F (TableFolderTest, CurveFromTheFolder)
{
    Diode1TableReader reader { UserFolders::getTableFolder() };
    EXPECT_FALSE (reader.loadTables ("BDRD1", false));

    install ("BDRD1Output.dat", "BDRD1Output.dat");
    Diode1TableReader loaded { UserFolders::getTableFolder() };
    ASSERT_TRUE (loaded.loadTables ("BDRD1", false));
    loaded.update();
    loaded.swapTables();
    ASSERT_TRUE (loaded.hasActiveTable());

    double x = 4.5;
    loaded.processMonoSample (x);
    EXPECT_NEAR (1.0973746, x, 1e-7);

    // A curve under another name, or with a rate, is refused.
    install ("BDRD1Output.dat", "MDRD1Output.dat");
    Diode1TableReader renamed { UserFolders::getTableFolder() };
    EXPECT_TRUE (renamed.loadTables ("MDRD1", false));
    renamed.update();
    renamed.swapTables();
    EXPECT_FALSE (renamed.hasActiveTable());

    const auto curve = EmbeddedResources::tables().get ("BDRD1Output.dat");
    juce::MemoryBlock withRate (curve.data, curve.size);
    const float rate = 44100.0f;
    withRate.copyFrom (&rate, 132, sizeof (rate));
    ASSERT_TRUE (folder.getChildFile ("BDRD1Output.dat").replaceWithData (withRate.getData(), withRate.getSize()));
    Diode1TableReader rated { UserFolders::getTableFolder() };
    EXPECT_TRUE (rated.loadTables ("BDRD1", false));
    rated.update();
    rated.swapTables();
    EXPECT_FALSE (rated.hasActiveTable());
}

#endif
