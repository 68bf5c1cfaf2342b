// Writes the diode transfer tables that the drive stages read.
//
// Two-dimensional sets: one backward-Euler step of  tau * dy/dt = x - y - A * sinh (y / V)
// at each of eight sample rates, tabulated over the input x and the previous output y:
//     (1 + k) * y' + k * A * sinh (y' / V) = y + k * x,   k = 1 / (fs * tau).
// One-dimensional set: the memoryless curve  y + A * sinh (y / V) = x.
//
// Usage: vardeko_tablegen <output folder>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <limits>
#include <string>
#include <thread>
#include <vector>

namespace
{
struct DiodeSet
{
    const char* prefix;
    double tau; // seconds; 0 for the memoryless curve
    double a;
    double v;
    float yLimit; // the previous-output axis runs from -yLimit to yLimit
};

const DiodeSet twoDimensionalSets[] = {
    { "PDRD1", 2.601e-6, 1.02e-7, 0.025, 1.0f },
    { "MDRD1", 1e-5, 1.5e-11, 0.025, 1.0f },
    { "MODD1", 5.6e-7, 1.12e-34, 0.025, 3.0f },
    { "BODD1", 5.1e-7, 2e-28, 0.025, 2.0f },
};

const DiodeSet curveSet = { "BDRD1", 0.0, 2e-9, 0.05, 0.0f };

const float tableRates[] = { 44100.0f, 48000.0f, 88200.0f, 96000.0f, 176400.0f, 192000.0f, 352800.0f, 384000.0f };

constexpr int gridSize2D = 513;
constexpr int gridSize1D = 8193;
constexpr float xLimit = 4.5f;
constexpr int headerSize = 164;

// Solves a * y + b * sinh (y / v) = c for y (a > 0, b >= 0, v > 0). The left side is odd and
// rises strictly, so the root has the sign of c and lies in [0, hi] for c > 0, where hi keeps
// each term of the left side at most c: sinh never overflows, even for b near 1e-35. On
// [0, hi] the left side is convex, so Newton steps from hi fall monotonically onto the root;
// the bracket and a bisection fallback guard against rounding.
double solveDiodeEquation (double a, double b, double v, double c)
{
    if (c == 0.0)
        return 0.0;

    const bool negative = c < 0.0;
    c = std::abs (c);

    double lo = 0.0;
    double hi = c / a;

    if (b > 0.0)
        hi = std::min (hi, v * std::asinh (c / b));

    double y = hi;

    for (int iteration = 0; iteration < 200; ++iteration)
    {
        const double s = std::sinh (y / v);
        const double f = a * y + b * s - c;

        if (f == 0.0)
            break;

        if (f > 0.0)
            hi = y;
        else
            lo = y;

        const double slope = a + (b / v) * std::cosh (y / v);
        double next = y - f / slope;

        if (! (next > lo && next < hi))
            next = 0.5 * (lo + hi);

        if (next == y || hi - lo <= 4.0 * std::numeric_limits<double>::epsilon() * hi)
        {
            y = next;
            break;
        }

        y = next;
    }

    return negative ? -y : y;
}

void putInt32 (unsigned char* p, std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t> (value);

    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char> (bits >> (8 * i));
}

void putFloat32 (unsigned char* p, float value)
{
    std::uint32_t bits;
    std::memcpy (&bits, &value, sizeof (bits));
    putInt32 (p, static_cast<std::int32_t> (bits));
}

struct Table
{
    std::string name;
    float rate = 0.0f;
    int nx = 0;
    int ny = 0;
    float yLimit = 0.0f;
    std::vector<float> values;
};

std::vector<unsigned char> encode (const Table& table)
{
    std::vector<unsigned char> bytes (headerSize + 4 * table.values.size(), 0);
    std::memcpy (bytes.data(), table.name.data(), std::min<std::size_t> (table.name.size(), 127));
    putInt32 (&bytes[128], 1);
    putFloat32 (&bytes[132], table.rate);
    putInt32 (&bytes[136], table.nx);
    putInt32 (&bytes[140], table.ny);
    putInt32 (&bytes[144], static_cast<std::int32_t> (table.values.size()));
    putFloat32 (&bytes[148], -xLimit);
    putFloat32 (&bytes[152], xLimit);
    putFloat32 (&bytes[156], table.yLimit > 0.0f ? -table.yLimit : 0.0f);
    putFloat32 (&bytes[160], table.yLimit);

    for (std::size_t i = 0; i < table.values.size(); ++i)
        putFloat32 (&bytes[headerSize + 4 * i], table.values[i]);

    return bytes;
}

double gridPoint (float limit, int index, int size)
{
    const double lo = -static_cast<double> (limit);
    return lo + index * (2.0 * static_cast<double> (limit)) / (size - 1);
}

void fill2D (Table& table, const DiodeSet& set)
{
    const double k = 1.0 / (static_cast<double> (table.rate) * set.tau);
    const double a = 1.0 + k;
    const double b = k * set.a;

    for (int i = 0; i < table.nx; ++i)
    {
        const double x = gridPoint (xLimit, i, table.nx);

        for (int j = 0; j < table.ny; ++j)
        {
            const double y = gridPoint (table.yLimit, j, table.ny);
            table.values[static_cast<std::size_t> (i * table.ny + j)] = static_cast<float> (solveDiodeEquation (a, b, set.v, y + k * x));
        }
    }
}

void fill1D (Table& table, const DiodeSet& set)
{
    for (int i = 0; i < table.nx; ++i)
        table.values[static_cast<std::size_t> (i)] = static_cast<float> (solveDiodeEquation (1.0, set.a, set.v, gridPoint (xLimit, i, table.nx)));
}

// Rewrites a file only when its content changes, so that an unchanged table does not
// trigger re-embedding and relinking.
bool writeIfChanged (const std::filesystem::path& path, const std::vector<unsigned char>& bytes)
{
    {
        std::ifstream existing (path, std::ios::binary);

        if (existing)
        {
            std::vector<unsigned char> old ((std::istreambuf_iterator<char> (existing)), std::istreambuf_iterator<char>());

            if (old == bytes)
                return true;
        }
    }

    const auto temporary = path.string() + ".tmp";

    {
        std::ofstream out (temporary, std::ios::binary | std::ios::trunc);
        out.write (reinterpret_cast<const char*> (bytes.data()), static_cast<std::streamsize> (bytes.size()));

        if (! out)
            return false;
    }

    std::error_code error;
    std::filesystem::rename (temporary, path, error);
    return ! error;
}

struct Job
{
    const DiodeSet* set;
    float rate; // 0 for the memoryless curve
};
} // namespace

int main (int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: " << argv[0] << " <output folder>\n";
        return 2;
    }

    const std::filesystem::path folder (argv[1]);
    std::error_code error;
    std::filesystem::create_directories (folder, error);

    std::vector<Job> jobs;

    for (const auto& set : twoDimensionalSets)
        for (auto rate : tableRates)
            jobs.push_back ({ &set, rate });

    jobs.push_back ({ &curveSet, 0.0f });

    std::atomic<std::size_t> nextJob { 0 };
    std::atomic<bool> failed { false };

    auto worker = [&]
    {
        for (auto index = nextJob++; index < jobs.size(); index = nextJob++)
        {
            const auto& job = jobs[index];
            Table table;
            table.rate = job.rate;

            if (job.set->tau > 0.0)
            {
                table.name = std::string (job.set->prefix) + "Output" + std::to_string (static_cast<int> (job.rate / 1000.0f)) + ".dat";
                table.nx = table.ny = gridSize2D;
                table.yLimit = job.set->yLimit;
                table.values.resize (static_cast<std::size_t> (table.nx * table.ny));
                fill2D (table, *job.set);
            }
            else
            {
                table.name = std::string (job.set->prefix) + "Output.dat";
                table.nx = gridSize1D;
                table.ny = 1;
                table.values.resize (static_cast<std::size_t> (table.nx));
                fill1D (table, *job.set);
            }

            if (! writeIfChanged (folder / table.name, encode (table)))
            {
                std::cerr << "cannot write " << (folder / table.name).string() << "\n";
                failed = true;
            }
        }
    };

    const auto numThreads = std::max (1u, std::min (4u, std::thread::hardware_concurrency()));
    std::vector<std::thread> threads;

    for (unsigned i = 1; i < numThreads; ++i)
        threads.emplace_back (worker);

    worker();

    for (auto& thread : threads)
        thread.join();

    return failed ? 1 : 0;
}
