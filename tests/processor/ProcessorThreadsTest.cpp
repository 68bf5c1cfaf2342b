#include "MessageLoop.h"
#include "ProcessorTestHelpers.h"

#include <atomic>
#include <chrono>
#include <random>
#include <set>
#include <thread>

using namespace ProcessorTest;

// What hosts do from several threads at once: restore state while others read program names
// and preset paths, an editor that stores paths, the audio thread running, timers firing on
// the message thread, and instances created and destroyed away from the message thread.
// These run for a bounded time; the sanitizer builds (scripts/sanitize, scripts/tsan) turn
// any race among them into a report.
namespace
{
using Clock = std::chrono::steady_clock;

// Runs body (thread index) on count threads until the time is up.
template <typename Body>
void runThreads (int count, std::chrono::milliseconds duration, Body&& body)
{
    const auto end = Clock::now() + duration;
    std::vector<std::thread> threads;

    for (int t = 0; t < count; ++t)
        threads.emplace_back ([&body, end, t]
                              {
                                  while (Clock::now() < end)
                                      body (t); });

    for (auto& thread : threads)
        thread.join();
}

// Preset paths long enough to live on the heap, one set per document.
juce::String pathFor (int document, int slot, int channel)
{
    return "Folder " + juce::String (document) + "/Sub folder/A preset with a long name " + juce::String (slot) + "-" + juce::String (channel) + ".mvkp";
}

juce::String nameFor (int slot, int channel)
{
    return "A preset with a long name " + juce::String (slot) + "-" + juce::String (channel);
}

// A full state whose slots carry the paths of document number n.
juce::MemoryBlock fullState (int n)
{
    VardekoQX2710AudioProcessor source;

    for (int slot = 0; slot < 12; ++slot)
    {
        source.setCurrentProgram (slot);

        for (int channel = 0; channel < 2; ++channel)
        {
            source.setActiveChannel (channel);
            source.setCurrentPresetPath (pathFor (n, slot, channel));
        }

        source.setActiveChannel (n % 2);
    }

    source.setCurrentProgram (n % 12);
    juce::MemoryBlock state;
    source.getStateInformation (state);
    return state;
}
} // namespace

TEST (ProcessorThreads, StateRestoredWhileOthersReadNamesAndPaths)
{
    VardekoQX2710AudioProcessor processor;
    processor.prepareToPlay (48000.0, 256);

    const juce::MemoryBlock states[] = { fullState (0), fullState (1), fullState (2) };
    juce::MemoryBlock programState;
    processor.setStateInformation (states[1].getData(), (int) states[1].getSize());
    processor.getCurrentProgramStateInformation (programState);

    // Every name and path a reader may see.
    std::set<juce::String> names { "Init" }, paths { "Init.mvkp", "Chosen in the editor.mvkp" };

    for (int n = 0; n < 3; ++n)
        for (int slot = 0; slot < 12; ++slot)
            for (int channel = 0; channel < 2; ++channel)
            {
                names.insert (nameFor (slot, channel));
                paths.insert (pathFor (n, slot, channel));
            }

    names.insert ("Chosen in the editor");
    std::atomic<int> strangeNames { 0 }, strangePaths { 0 }, unreadableStates { 0 }, nonFinite { 0 };

    runThreads (6, std::chrono::milliseconds (1500), [&] (int role)
                {
                    switch (role)
                    {
                        case 0: // the host restores whole states
                        case 1:
                            for (const auto& state : states)
                                processor.setStateInformation (state.getData(), (int) state.getSize());
                            break;

                        case 2: // and program states
                            processor.setCurrentProgramStateInformation (programState.getData(), (int) programState.getSize());
                            break;

                        case 3: // the host lists the programs, the preset bar reads its paths
                            for (int i = 0; i < 12; ++i)
                                if (names.count (processor.getProgramName (i)) == 0)
                                    ++strangeNames;

                            for (auto path : { processor.getCurrentPresetPath(), processor.getPresetPath (0), processor.getPresetPath (1) })
                                if (paths.count (path) == 0)
                                    ++strangePaths;
                            break;

                        case 4: // the editor stores a path, the host saves
                        {
                            processor.setCurrentPresetPath ("Chosen in the editor.mvkp");
                            juce::MemoryBlock saved;
                            processor.getStateInformation (saved);

                            if (juce::AudioProcessor::getXmlFromBinary (saved.getData(), (int) saved.getSize()) == nullptr)
                                ++unreadableStates;

                            juce::XmlElement preset ("x");
                            processor.createPatchDocument (preset, true);
                            break;
                        }

                        default: // the audio thread
                        {
                            auto block = makeSignal (2, 256);
                            juce::MidiBuffer midi;
                            processor.processBlock (block, midi);

                            if (! allFinite (block))
                                ++nonFinite;
                            break;
                        }
                    } });

    EXPECT_EQ (0, strangeNames.load());
    EXPECT_EQ (0, strangePaths.load());
    EXPECT_EQ (0, unreadableStates.load());
    EXPECT_EQ (0, nonFinite.load());
}

TEST (ProcessorThreads, InstancesDestroyedOffTheMessageThreadWhileTheirChangeIsDue)
{
    // Each instance gets a circuit and factor change and is destroyed on its worker thread
    // about when the message thread's timer applies it.
    std::atomic<int> destroyed { 0 };

    MessageLoop::runWhileDispatching ([&destroyed]
                                      { runThreads (2, std::chrono::milliseconds (4000), [&destroyed] (int t)
                                                    {
                                                        thread_local std::mt19937 random ((unsigned) t + 1);
                                                        auto processor = std::make_unique<VardekoQX2710AudioProcessor>();
                                                        processor->prepareToPlay (48000.0, 256);

                                                        auto block = makeSignal (2, 256);
                                                        juce::MidiBuffer midi;
                                                        processor->processBlock (block, midi);

                                                        setValue (*processor, HostParameters::overdriveType, (float) (random() % 5) * 0.25f);
                                                        setValue (*processor, HostParameters::oversampling, (float) (random() % 4) / 3.0f);

                                                        std::this_thread::sleep_for (std::chrono::microseconds (45000 + random() % 20000));
                                                        processor->processBlock (block, midi);
                                                        processor.reset();
                                                        ++destroyed; }); });

    EXPECT_GT (destroyed.load(), 20);
}

TEST (ProcessorThreads, EverythingAHostDoesAtOnce)
{
    // The audio thread runs while other threads move every parameter, switch on and off, change
    // programs, save and restore full and program states, and read names and paths; the test
    // thread runs the message loop that fires the timers. The output stays finite, and no step
    // is larger than the loudest circuit's output explains.
    VardekoQX2710AudioProcessor processor;
    processor.prepareToPlay (48000.0, 256);

    const juce::MemoryBlock states[] = { fullState (0), fullState (1) };
    juce::MemoryBlock programState;
    processor.getCurrentProgramStateInformation (programState);

    std::atomic<int> nonFinite { 0 };
    std::atomic<float> largestStep { 0.0f };

    MessageLoop::runWhileDispatching ([&]
                                      { runThreads (5, std::chrono::milliseconds (3000), [&] (int role)
                                                    {
                                                        thread_local std::mt19937 random ((unsigned) role + 7);
                                                        thread_local float previous[2] {};

                                                        switch (role)
                                                        {
                                                            case 0: // automation of every parameter
                                                                setValue (processor, (int) (random() % HostParameters::numParameters), (float) (random() % 1001) / 1000.0f);
                                                                std::this_thread::sleep_for (std::chrono::microseconds (300));
                                                                break;

                                                            case 1: // programs and states
                                                                processor.setCurrentProgram ((int) (random() % 12));
                                                                processor.setStateInformation (states[random() % 2].getData(), (int) states[0].getSize());
                                                                processor.setCurrentProgramStateInformation (programState.getData(), (int) programState.getSize());
                                                                break;

                                                            case 2: // a second thread restoring, and the host saving
                                                            {
                                                                processor.setStateInformation (states[random() % 2].getData(), (int) states[1].getSize());
                                                                juce::MemoryBlock saved;
                                                                processor.getStateInformation (saved);
                                                                break;
                                                            }

                                                            case 3: // names and paths
                                                                for (int i = 0; i < 12; ++i)
                                                                    processor.getProgramName (i);

                                                                processor.setCurrentPresetPath ("Chosen in the editor.mvkp");
                                                                processor.getCurrentPresetPath();
                                                                break;

                                                            default: // the audio thread
                                                            {
                                                                auto block = makeSignal (2, 256);
                                                                juce::MidiBuffer midi;
                                                                processor.processBlock (block, midi);

                                                                if (! allFinite (block))
                                                                    ++nonFinite;

                                                                for (int ch = 0; ch < 2; ++ch)
                                                                {
                                                                    auto step = std::abs (block.getSample (ch, 0) - previous[ch]);

                                                                    for (int i = 1; i < 256; ++i)
                                                                        step = std::max (step, std::abs (block.getSample (ch, i) - block.getSample (ch, i - 1)));

                                                                    previous[ch] = block.getSample (ch, 255);

                                                                    if (step > largestStep.load())
                                                                        largestStep.store (step);
                                                                }
                                                                break;
                                                            }
                                                        } }); });

    EXPECT_EQ (0, nonFinite.load());
    // Every move is ramped or crossfaded: runs stay near 0.5, a click or a jump goes well past.
    EXPECT_LT (largestStep.load(), 1.5f);
}

TEST (ProcessorThreads, OfflineRendersStartWhileTheMessageThreadAppliesChanges)
{
    // A host switching between playing and rendering offline (LV2 free-wheeling) while the
    // circuit and the factor keep moving: the message thread's timer applies changes in real
    // time and the circuits' timers rebuild their stages, right up to the moment a render
    // starts, which waits for none of them. The sanitizer builds report any race among them.
    VardekoQX2710AudioProcessor processor;
    processor.prepareToPlay (48000.0, 256);
    std::atomic<int> nonFinite { 0 };
    std::atomic<int> renders { 0 };

    MessageLoop::runWhileDispatching ([&]
                                      { runThreads (2, std::chrono::milliseconds (3000), [&] (int role)
                                                    {
                                                        thread_local std::mt19937 random ((unsigned) role + 11);

                                                        if (role == 0)
                                                        {
                                                            // Changes that fall due on the message thread within a few ticks.
                                                            setValue (processor, HostParameters::overdriveType, (float) (random() % 5) / 4.0f);
                                                            setValue (processor, HostParameters::oversampling, (float) (random() % 4) / 3.0f);
                                                            std::this_thread::sleep_for (std::chrono::milliseconds (random() % 70));
                                                            return;
                                                        }

                                                        // The audio thread: some real time, then a render with silence before its
                                                        // first sound, then real time again.
                                                        juce::MidiBuffer midi;
                                                        const auto run = [&] (int blocks, bool silent)
                                                        {
                                                            for (int b = 0; b < blocks; ++b)
                                                            {
                                                                auto block = makeSignal (2, 256);

                                                                if (silent)
                                                                    block.clear();

                                                                processor.processBlock (block, midi);

                                                                if (! allFinite (block))
                                                                    ++nonFinite;
                                                            }
                                                        };

                                                        run ((int) (random() % 40), false);
                                                        processor.setNonRealtime (true);
                                                        run ((int) (random() % 3), true);
                                                        run (200, false);
                                                        processor.setNonRealtime (false);
                                                        ++renders; }); });

    EXPECT_EQ (0, nonFinite.load());
    EXPECT_GT (renders.load(), 5);
}
