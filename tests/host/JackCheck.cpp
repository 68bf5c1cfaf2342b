// vardeko-jackcheck: runs the plug-in the way Linux guitarists do, on a JACK server (a dummy one
// in the tests, started by with-jack.sh), and listens to it as a JACK client of its own: a
// sine goes into the plug-in's inputs and the level of its outputs is measured.
//
//   vardeko-jackcheck --jalv <plug-in URI>
//       starts jalv on the LV2 (one control set on its command line with -c), sets each
//       parameter by symbol at jalv's prompt and checks that the sound follows.
//   vardeko-jackcheck --standalone <app>
//       starts the Standalone app with JACK chosen in its settings (HOME must be a folder of
//       the test's own) and checks that it processes audio on the server.
//
// Prints PASS/FAIL lines; exits non-zero on any failure.

#include <jack/jack.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
constexpr double inputAmplitude = 0.3;
constexpr double frequency = 220.0;

int checks = 0, failures = 0;

bool expect (bool ok, const std::string& what, const std::string& detail)
{
    std::cout << (ok ? "PASS " : "FAIL ") << what << (ok ? "" : ": " + detail) << std::endl;
    ++checks;
    failures += ok ? 0 : 1;
    return ok;
}

void sleepMs (int ms) { std::this_thread::sleep_for (std::chrono::milliseconds (ms)); }

// Our JACK client: two sine outputs, two inputs whose energy is summed by the process thread.
class Listener
{
public:
    bool open()
    {
        jack_status_t status {};
        client = jack_client_open ("vardeko-jackcheck", JackNoStartServer, &status);

        if (client == nullptr)
            return false;

        for (int c = 0; c < 2; ++c)
        {
            outs[c] = jack_port_register (client, ("signal_" + std::to_string (c + 1)).c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
            ins[c] = jack_port_register (client, ("listen_" + std::to_string (c + 1)).c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
        }

        sampleRate = jack_get_sample_rate (client);
        jack_set_process_callback (client, process, this);
        return jack_activate (client) == 0;
    }

    ~Listener()
    {
        if (client != nullptr)
        {
            jack_deactivate (client);
            jack_client_close (client);
        }
    }

    // The audio ports of another client, in name order.
    std::vector<std::string> findPorts (const std::string& clientName, unsigned long flags) const
    {
        std::vector<std::string> names;

        if (const char** ports = jack_get_ports (client, nullptr, JACK_DEFAULT_AUDIO_TYPE, flags))
        {
            for (auto** p = ports; *p != nullptr; ++p)
                if (std::strncmp (*p, (clientName + ":").c_str(), clientName.size() + 1) == 0)
                    names.emplace_back (*p);

            jack_free (ports);
        }

        return names;
    }

    // Waits until the client shows its inputs and outputs and takes connections (a client's
    // ports appear before it is active), then wires the sine into its inputs and its outputs
    // into ours.
    bool connectTo (const std::string& clientName, int timeoutMs)
    {
        for (int waited = 0; waited < timeoutMs; waited += 100)
        {
            const auto theirIns = findPorts (clientName, JackPortIsInput);
            const auto theirOuts = findPorts (clientName, JackPortIsOutput);
            bool ok = ! theirIns.empty() && ! theirOuts.empty();

            for (size_t c = 0; ok && c < theirIns.size() && c < 2; ++c)
                ok = connect (jack_port_name (outs[c]), theirIns[c]);

            for (size_t c = 0; ok && c < theirOuts.size() && c < 2; ++c)
                ok = connect (theirOuts[c], jack_port_name (ins[c]));

            if (ok)
            {
                numOutputs = (int) std::min<size_t> (theirOuts.size(), 2);
                return true;
            }

            sleepMs (100);
        }

        return false;
    }

    // RMS of what the other client sends us, over the next stretch of time.
    double measure (int ms)
    {
        const auto sum0 = sum.load(), count0 = (double) count.load();
        sleepMs (ms);
        const auto n = (double) count.load() - count0;
        return n > 0 ? std::sqrt ((sum.load() - sum0) / n) : -1.0;
    }

    int getNumOutputs() const { return numOutputs; }

private:
    bool connect (const std::string& source, const std::string& destination)
    {
        const auto result = jack_connect (client, source.c_str(), destination.c_str());
        return result == 0 || result == EEXIST;
    }

    static int process (jack_nframes_t n, void* arg)
    {
        auto& self = *static_cast<Listener*> (arg);
        const auto step = 2.0 * M_PI * frequency / self.sampleRate;
        double total = self.sum.load();

        for (int c = 0; c < 2; ++c)
        {
            auto* out = static_cast<float*> (jack_port_get_buffer (self.outs[c], n));
            auto phase = self.phase;

            for (jack_nframes_t i = 0; i < n; ++i, phase += step)
                out[i] = (float) (inputAmplitude * std::sin (phase));

            if (c < self.numOutputs)
            {
                const auto* in = static_cast<const float*> (jack_port_get_buffer (self.ins[c], n));

                for (jack_nframes_t i = 0; i < n; ++i)
                    total += (double) in[i] * in[i];
            }
        }

        self.phase = std::fmod (self.phase + step * n, 2.0 * M_PI);
        self.sum.store (total);
        self.count.fetch_add ((long) n * std::min (self.numOutputs.load(), 2));
        return 0;
    }

    jack_client_t* client = nullptr;
    jack_port_t* outs[2] {};
    jack_port_t* ins[2] {};
    double sampleRate = 48000.0;
    double phase = 0.0;
    std::atomic<int> numOutputs { 0 };
    std::atomic<double> sum { 0.0 };
    std::atomic<long> count { 0 };
};

// A child process whose standard input we write to.
class Child
{
public:
    explicit Child (const std::vector<std::string>& args)
    {
        int fds[2];

        if (pipe (fds) != 0)
            return;

        pid = fork();

        if (pid == 0)
        {
            dup2 (fds[0], 0);
            close (fds[0]);
            close (fds[1]);
            std::vector<char*> argv;

            for (const auto& a : args)
                argv.push_back (const_cast<char*> (a.c_str()));

            argv.push_back (nullptr);
            execvp (argv[0], argv.data());
            std::perror ("exec");
            _exit (127);
        }

        close (fds[0]);
        input = fds[1];
    }

    ~Child()
    {
        if (input >= 0)
            close (input);

        if (pid > 0)
        {
            kill (pid, SIGTERM);

            for (int i = 0; i < 50 && waitpid (pid, nullptr, WNOHANG) == 0; ++i)
                sleepMs (100);

            kill (pid, SIGKILL);
            waitpid (pid, nullptr, 0);
        }
    }

    bool isRunning() const { return pid > 0 && waitpid (pid, nullptr, WNOHANG) == 0; }

    void send (const std::string& line)
    {
        const auto text = line + "\n";

        if (input >= 0 && write (input, text.data(), text.size()) != (ssize_t) text.size())
            std::cerr << "could not write to the child" << std::endl;
    }

private:
    pid_t pid = -1;
    int input = -1;
};

std::string number (double v)
{
    char text[32];
    std::snprintf (text, sizeof (text), "%.4f", v);
    return text;
}

// Enough for the 50 ms deferral of circuit changes and their crossfade, and for the ramps.
constexpr int settleMs = 600;
constexpr int measureMs = 500;

int runJalv (const std::string& uri)
{
    Listener listener;

    if (! expect (listener.open(), "JACK server reachable", "no server (JACK_DEFAULT_SERVER=" + std::string (std::getenv ("JACK_DEFAULT_SERVER") ? std::getenv ("JACK_DEFAULT_SERVER") : "") + ")"))
        return 1;

    // A level set on the command line, by symbol.
    Child jalv ({ "jalv", "-x", "-n", "vardeko-jalv", "-c", "level=0.1", uri });

    if (! expect (listener.connectTo ("vardeko-jalv", 10000), "jalv runs the plug-in on JACK", "no vardeko-jalv ports"))
        return 1;

    sleepMs (settleMs);
    const auto quiet = listener.measure (measureMs);

    jalv.send ("set level 0.5");
    sleepMs (settleMs);
    const auto base = listener.measure (measureMs);

    expect (quiet > 0.0 && base > 2.0 * quiet, "-c level=0.1 on the command line, then \"set level 0.5\" at the prompt", "RMS " + number (quiet) + " then " + number (base));

    // Each control by symbol, both prompt forms, then back to its default.
    struct Move
    {
        std::string command, undo;
    };

    const Move moves[] = {
        { "set inputVol 1", "set inputVol 0.5" },
        { "overdriveType = 4", "overdriveType = 0" },
        { "set overdrive 1", "set overdrive 0.5" },
        { "tone = 0", "tone = 0.5" },
        { "set level 1", "set level 0.5" },
        { "set dryWet 0", "set dryWet 1" },
        { "set oversampling 3", "set oversampling 0" },
    };

    for (const auto& move : moves)
    {
        jalv.send (move.command);
        sleepMs (settleMs);
        const auto moved = listener.measure (measureMs);
        jalv.send (move.undo);
        sleepMs (settleMs);

        // 8x oversampling is nearly the same sound: it only has to keep playing.
        const bool oversampling = move.command.find ("oversampling") != std::string::npos;
        const bool ok = oversampling ? moved > 0.5 * base : moved > 0.0 && std::abs (moved - base) > 0.02 * base;
        expect (ok, "\"" + move.command + "\" " + (oversampling ? "keeps the sound" : "changes the sound"), "RMS " + number (moved) + " against " + number (base));
    }

    // Off: the input passes untouched.
    jalv.send ("set onBypass 0");
    sleepMs (settleMs);
    const auto off = listener.measure (measureMs);
    const auto inputRms = inputAmplitude / std::sqrt (2.0);
    expect (std::abs (off - inputRms) < 0.01 * inputRms, "\"set onBypass 0\" passes the input", "RMS " + number (off) + " against the input's " + number (inputRms));

    expect (jalv.isRunning(), "jalv still running", "it exited");
    return 0;
}

int runStandalone (const std::string& app)
{
    Listener listener;

    if (! expect (listener.open(), "JACK server reachable", "no server"))
        return 1;

    // JACK chosen as the user would in the app's audio settings, and the input not muted.
    const auto* home = std::getenv ("HOME");

    if (home == nullptr)
        return 1;

    const std::string folder = std::string (home) + "/.config";
    std::system (("mkdir -p '" + folder + "'").c_str());
    std::ofstream (folder + "/Vardeko QX2710.settings")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<PROPERTIES>\n"
           "  <VALUE name=\"audioSetup\">\n"
           "    <DEVICESETUP deviceType=\"JACK\" audioOutputDeviceName=\"system\" audioInputDeviceName=\"system\"/>\n"
           "  </VALUE>\n"
           "  <VALUE name=\"shouldMuteInput\" val=\"0\"/>\n"
           "</PROPERTIES>\n";

    Child standalone ({ app });

    if (! expect (listener.connectTo ("Vardeko QX2710", 15000), "the Standalone app opens JACK", "no \"Vardeko QX2710\" ports on the server"))
        return 1;

    sleepMs (settleMs);
    const auto out = listener.measure (measureMs);
    const auto inputRms = inputAmplitude / std::sqrt (2.0);

    // The default circuit drives the sine into clipping: louder than silence, unlike the input.
    expect (out > 0.01 && std::abs (out - inputRms) > 0.02 * inputRms, "the Standalone app processes audio on JACK", "RMS " + number (out) + " against the input's " + number (inputRms));
    expect (standalone.isRunning(), "the Standalone app still running", "it exited");
    return 0;
}
} // namespace

int main (int argc, char* argv[])
{
    const std::vector<std::string> args (argv + 1, argv + argc);

    if (args.size() != 2 || (args[0] != "--jalv" && args[0] != "--standalone"))
    {
        std::cerr << "usage: vardeko-jackcheck --jalv <URI> | --standalone <app>" << std::endl;
        return 2;
    }

    std::signal (SIGPIPE, SIG_IGN);
    const auto result = args[0] == "--jalv" ? runJalv (args[1]) : runStandalone (args[1]);
    std::cout << checks - failures << " passed, " << failures << " failed" << std::endl;
    return result != 0 || failures > 0 ? 1 : 0;
}
