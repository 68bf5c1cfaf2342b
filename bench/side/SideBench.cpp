// vardeko-sidebench: one measurement per run, printed as one JSON line, for bench/side-by-side.
//
//   vardeko-sidebench inproc --circuit C --factor F --channels 1|2 [common options] [--wet W]
//       this build's processor, driven in-process (mono or stereo instance)
//   vardeko-sidebench lv2 --uri URI [--set NAME=VALUE]... [common options]
//       any LV2 plug-in through a small offline lilv host; NAME is a control port symbol or,
//       for plug-ins that take parameters as patch:Set messages, the parameter's URI suffix
//   vardeko-sidebench instances --count N           (in-process) construct and prepare N
//   vardeko-sidebench lv2-instances --uri URI --count N   the same through lilv
//
// Common options: --block B (256), --seconds S (60), --rate R (48000), --preroll S (2).
//
// The host charges nothing of its own to the plug-in: the whole signal is generated and every
// buffer touched before timing, planar buffers are connected directly (no copies), and a
// pre-roll (in wall time as well as audio) lets deferred changes take effect before the timed
// loop. The timed loops are the functions timedInProcessRun and timedLv2Run, which callgrind
// can count on their own (--toggle-collect).

#include "StrummedGuitar.h"

#include "processor/HostParameters.h"
#include "processor/VardekoQX2710AudioProcessor.h"

#include "LilvHost.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace
{
struct Options
{
    std::string mode;
    std::string uri;
    std::vector<std::pair<std::string, float>> settings;
    int circuit = 4;
    int factorIndex = 0;
    int channels = 2;
    int block = 256;
    int count = 10;
    double seconds = 60.0;
    double rate = 48000.0;
    double preroll = 2.0;
    float wet = 1.0f;
};

[[noreturn]] void usage (const char* problem)
{
    std::fprintf (stderr, "vardeko-sidebench: %s (see the comment at the top of bench/side/SideBench.cpp)\n", problem);
    std::exit (2);
}

Options parse (int argc, char** argv)
{
    if (argc < 2)
        usage ("no mode");

    Options o;
    o.mode = argv[1];

    for (int i = 2; i < argc; ++i)
    {
        const std::string a = argv[i];

        if (i + 1 >= argc)
            usage (("no value for " + a).c_str());

        const std::string v = argv[++i];

        if (a == "--uri")
            o.uri = v;
        else if (a == "--set")
        {
            const auto eq = v.find ('=');
            if (eq == std::string::npos)
                usage ("--set wants NAME=VALUE");
            o.settings.emplace_back (v.substr (0, eq), std::stof (v.substr (eq + 1)));
        }
        else if (a == "--circuit")
            o.circuit = std::stoi (v);
        else if (a == "--factor")
            o.factorIndex = std::stoi (v);
        else if (a == "--channels")
            o.channels = std::stoi (v);
        else if (a == "--block")
            o.block = std::stoi (v);
        else if (a == "--count")
            o.count = std::stoi (v);
        else if (a == "--seconds")
            o.seconds = std::stod (v);
        else if (a == "--rate")
            o.rate = std::stod (v);
        else if (a == "--preroll")
            o.preroll = std::stod (v);
        else if (a == "--wet")
            o.wet = std::stof (v);
        else
            usage (("unknown option " + a).c_str());
    }

    return o;
}

double threadCpuSeconds()
{
    timespec t {};
    clock_gettime (CLOCK_THREAD_CPUTIME_ID, &t);
    return (double) t.tv_sec + 1e-9 * (double) t.tv_nsec;
}

double processCpuSeconds()
{
    timespec t {};
    clock_gettime (CLOCK_PROCESS_CPUTIME_ID, &t);
    return (double) t.tv_sec + 1e-9 * (double) t.tv_nsec;
}

double wallSeconds()
{
    return std::chrono::duration<double> (std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Resident and private (anonymous or written) memory of the process, in bytes.
struct Memory
{
    double resident = 0.0;
    double privateBytes = 0.0;
};

Memory readMemory()
{
    Memory m;
    std::ifstream in ("/proc/self/smaps_rollup");
    std::string key;
    double kb = 0.0;
    std::string unit;

    while (in >> key)
    {
        if (key == "Rss:" && in >> kb >> unit)
            m.resident = kb * 1024.0;
        else if ((key == "Private_Dirty:" || key == "Private_Clean:") && in >> kb >> unit)
            m.privateBytes += kb * 1024.0;
        else
            in.ignore (1 << 20, '\n');
    }

    return m;
}

// The signal, pre-faulted, and output buffers of the same length, touched.
struct Buffers
{
    StrummedGuitar::Signal input;
    std::vector<float> outLeft, outRight;
    size_t length = 0;

    Buffers (double rate, double seconds)
        : input (StrummedGuitar::make (rate, seconds))
    {
        length = input.left.size();
        outLeft = input.left;
        outRight = input.right;
    }
};

void printResult (const char* what, const Options& o, double cpu, double wall, double audioSeconds, double difference)
{
    std::printf ("{\"what\": \"%s\", \"block\": %d, \"channels\": %d, \"audio_seconds\": %.3f, \"cpu_seconds\": %.6f, "
                 "\"wall_seconds\": %.6f, \"realtime\": %.3f, \"output_differs\": %.6g}\n",
                 what,
                 o.block,
                 o.channels,
                 audioSeconds,
                 cpu,
                 wall,
                 audioSeconds / cpu,
                 difference);
}

double meanAbsDifference (const std::vector<float>& a, const std::vector<float>& b)
{
    double sum = 0.0;
    for (size_t i = 0; i < a.size(); ++i)
        sum += std::abs ((double) a[i] - (double) b[i]);
    return sum / (double) std::max<size_t> (1, a.size());
}

//==============================================================================
JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")

std::unique_ptr<VardekoQX2710AudioProcessor> makeProcessor (const Options& o)
{
    auto p = std::make_unique<VardekoQX2710AudioProcessor>();
    const auto layout = o.channels == 1 ? juce::AudioChannelSet::mono() : juce::AudioChannelSet::stereo();
    juce::AudioProcessor::BusesLayout buses;
    buses.inputBuses.add (layout);
    buses.outputBuses.add (layout);

    if (! p->setBusesLayout (buses))
        usage ("the processor refused the channel layout");

    p->setParameter (HostParameters::overdriveType, HostParameters::getModelValue (o.circuit));
    p->setParameter (HostParameters::oversampling, HostParameters::getOversamplingValue (o.factorIndex));
    p->setParameter (HostParameters::dryWet, o.wet);
    p->setRateAndBufferSizeDetails (o.rate, o.block);
    p->prepareToPlay (o.rate, o.block);
    return p;
}

JUCE_END_IGNORE_WARNINGS_GCC_LIKE

__attribute__ ((noinline)) void timedInProcessRun (VardekoQX2710AudioProcessor& p, float* const* channels, int numChannels, size_t begin, size_t end, int block)
{
    juce::MidiBuffer midi;
    float* pointers[2];
    juce::AudioBuffer<float> buffer;

    for (size_t start = begin; start + (size_t) block <= end; start += (size_t) block)
    {
        for (int c = 0; c < numChannels; ++c)
            pointers[c] = channels[c] + start;

        buffer.setDataToReferTo (pointers, numChannels, block);
        p.processBlock (buffer, midi);
    }
}

int runInProcess (const Options& o)
{
    Buffers b (o.rate, o.seconds + o.preroll);
    auto p = makeProcessor (o);
    float* channels[] = { b.outLeft.data(), b.outRight.data() };

    // Pre-roll: the same audio the timed part starts with, so the circuit is warmed up.
    const auto prerollSamples = (size_t) (o.preroll * o.rate) / (size_t) o.block * (size_t) o.block;
    timedInProcessRun (*p, channels, o.channels, 0, prerollSamples, o.block);

    const auto wall0 = wallSeconds();
    const auto cpu0 = threadCpuSeconds();
    timedInProcessRun (*p, channels, o.channels, prerollSamples, b.length, o.block);
    const auto cpu = threadCpuSeconds() - cpu0;
    const auto wall = wallSeconds() - wall0;

    const auto timedSamples = (b.length - prerollSamples) / (size_t) o.block * (size_t) o.block;
    printResult ("inproc", o, cpu, wall, (double) timedSamples / o.rate, meanAbsDifference (b.input.left, b.outLeft));
    return 0;
}

int runInstances (const Options& o)
{
    std::vector<std::unique_ptr<VardekoQX2710AudioProcessor>> processors;
    std::vector<float> block ((size_t) o.block * 2, 0.0f);
    std::printf ("{\"what\": \"instances\", \"instances\": [");

    for (int i = 0; i < o.count; ++i)
    {
        const auto before = readMemory();
        const auto wall0 = wallSeconds();
        const auto cpu0 = processCpuSeconds();

        processors.push_back (makeProcessor (o));
        float* pointers[] = { block.data(), block.data() + o.block };
        juce::AudioBuffer<float> buffer (pointers, o.channels, o.block);
        juce::MidiBuffer midi;
        processors.back()->processBlock (buffer, midi);

        const auto cpu = processCpuSeconds() - cpu0;
        const auto wall = wallSeconds() - wall0;
        const auto after = readMemory();
        std::printf ("%s{\"wall_ms\": %.3f, \"cpu_ms\": %.3f, \"rss_growth_mb\": %.3f, \"private_growth_mb\": %.3f}",
                     i == 0 ? "" : ", ",
                     1e3 * wall,
                     1e3 * cpu,
                     (after.resident - before.resident) / 1048576.0,
                     (after.privateBytes - before.privateBytes) / 1048576.0);
    }

    std::printf ("]}\n");
    return 0;
}

__attribute__ ((noinline)) void timedLv2Run (Lv2Instance& p, const float* const* in, float* const* out, size_t begin, size_t end, int block)
{
    auto* instance = p.instance;
    const auto numIn = p.audioIn.size();
    const auto numOut = p.audioOut.size();

    for (size_t start = begin; start + (size_t) block <= end; start += (size_t) block)
    {
        p.prepareAtoms();

        for (size_t c = 0; c < numIn; ++c)
            lilv_instance_connect_port (instance, (uint32_t) p.audioIn[c], const_cast<float*> (in[c % 2] + start));

        for (size_t c = 0; c < numOut; ++c)
            lilv_instance_connect_port (instance, (uint32_t) p.audioOut[c], out[c % 2] + start);

        lilv_instance_run (instance, (uint32_t) block);
    }
}

int runLv2 (Options o)
{
    Buffers b (o.rate, o.seconds + o.preroll);
    Lv2Host host (o.uri, o.block, o.rate);
    Lv2Instance p (host, o.rate, o.settings);
    o.channels = (int) p.audioIn.size();
    const float* in[] = { b.input.left.data(), b.input.right.data() };
    float* out[] = { b.outLeft.data(), b.outRight.data() };

    // Pre-roll in audio and in wall time: a plug-in may apply changes on its own timers.
    const auto prerollSamples = (size_t) (o.preroll * o.rate) / (size_t) o.block * (size_t) o.block;
    const auto prerollEnd = wallSeconds() + 0.3;

    do
        timedLv2Run (p, in, out, 0, prerollSamples, o.block);
    while (wallSeconds() < prerollEnd);

    const auto wall0 = wallSeconds();
    const auto cpu0 = threadCpuSeconds();
    timedLv2Run (p, in, out, prerollSamples, b.length, o.block);
    const auto cpu = threadCpuSeconds() - cpu0;
    const auto wall = wallSeconds() - wall0;

    const auto timedSamples = (b.length - prerollSamples) / (size_t) o.block * (size_t) o.block;
    printResult ("lv2", o, cpu, wall, (double) timedSamples / o.rate, meanAbsDifference (b.input.left, b.outLeft));
    return 0;
}

int runLv2Instances (const Options& o)
{
    Lv2Host host (o.uri, o.block, o.rate);
    std::vector<std::unique_ptr<Lv2Instance>> instances;
    std::vector<float> block ((size_t) o.block * 2, 0.0f);
    float* io[] = { block.data(), block.data() + o.block };
    std::printf ("{\"what\": \"lv2-instances\", \"instances\": [");

    for (int i = 0; i < o.count; ++i)
    {
        const auto before = readMemory();
        const auto wall0 = wallSeconds();
        const auto cpu0 = processCpuSeconds();

        instances.push_back (std::make_unique<Lv2Instance> (host, o.rate, o.settings));
        timedLv2Run (*instances.back(), io, io, 0, (size_t) o.block, o.block);

        const auto cpu = processCpuSeconds() - cpu0;
        const auto wall = wallSeconds() - wall0;
        const auto after = readMemory();
        std::printf ("%s{\"wall_ms\": %.3f, \"cpu_ms\": %.3f, \"rss_growth_mb\": %.3f, \"private_growth_mb\": %.3f}",
                     i == 0 ? "" : ", ",
                     1e3 * wall,
                     1e3 * cpu,
                     (after.resident - before.resident) / 1048576.0,
                     (after.privateBytes - before.privateBytes) / 1048576.0);
    }

    std::printf ("]}\n");
    std::fflush (stdout);
    return 0;
}
} // namespace

int main (int argc, char** argv)
{
    const auto o = parse (argc, argv);

    if (o.channels != 1 && o.channels != 2)
        usage ("--channels is 1 or 2");

    if (o.mode == "inproc")
        return runInProcess (o);
    if (o.mode == "instances")
        return runInstances (o);
    if (o.mode == "lv2")
        return runLv2 (o);
    if (o.mode == "lv2-instances")
        return runLv2Instances (o);

    usage (("unknown mode " + o.mode).c_str());
}
