// The preset bar with 50 000 presets, in 500 folders of 100 and all in one folder: a complete
// scan of the tree (what runs on the scanning thread), re-labelling the bar for a preset that
// the last scan listed (what a preset change costs the window's thread), and building the menu
// (what a click on the bar costs it, besides the framework's own copy when showing it).

#include "presets/MolvekOptionMenuTree.h"

#include <benchmark/benchmark.h>

namespace
{
// Made once per run, removed at exit.
struct PresetTrees
{
    PresetTrees()
    {
        base.createDirectory();

        for (int i = 0; i < 50000; ++i)
        {
            const auto name = "Preset " + juce::String (i).paddedLeft ('0', 5) + ".mvkp";
            tree.getChildFile ("Folder " + juce::String (i / 100).paddedLeft ('0', 3)).getChildFile (name).create();
            flat.getChildFile (name).create();
        }
    }

    ~PresetTrees() { base.deleteRecursively(); }

    juce::File base { juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("vardeko-bench-presets", {}, false) };
    juce::File tree { base.getChildFile ("tree") };
    juce::File flat { base.getChildFile ("flat") };

    const juce::File& get (int layout) const { return layout == 0 ? tree : flat; }
    static const char* name (int layout) { return layout == 0 ? "500 folders of 100" : "50000 in one folder"; }
};

const PresetTrees& presetTrees()
{
    static const PresetTrees trees;
    return trees;
}

std::unique_ptr<MolvekOptionMenuTree> makeBar (int layout)
{
    auto bar = std::make_unique<MolvekOptionMenuTree> ("presetMenu_");
    bar->setRootFolder (presetTrees().get (layout).getFullPathName());
    bar->setFilePattern ("*.mvkp");
    return bar;
}

void presetFolderScan (benchmark::State& state)
{
    const juce::ScopedJuceInitialiser_GUI juce;
    auto bar = makeBar ((int) state.range (0));

    for (auto _ : state)
        bar->rescan();

    state.SetLabel (PresetTrees::name ((int) state.range (0)));
}

void presetBarRelabel (benchmark::State& state)
{
    const juce::ScopedJuceInitialiser_GUI juce;
    const auto layout = (int) state.range (0);
    auto bar = makeBar (layout);
    bar->setScansInBackground (true);
    bar->finishPendingScan (60000);
    const juce::String paths[] = { layout == 0 ? "Folder 400/Preset 40011.mvkp" : "Preset 40011.mvkp",
                                   layout == 0 ? "Folder 007/Preset 00700.mvkp" : "Preset 00700.mvkp" };
    int k = 0;

    for (auto _ : state)
        bar->setCurrentItem (paths[++k % 2]);

    state.SetLabel (PresetTrees::name (layout));
}

void presetMenuBuild (benchmark::State& state)
{
    const juce::ScopedJuceInitialiser_GUI juce;
    auto bar = makeBar ((int) state.range (0));
    bar->rescan();

    for (auto _ : state)
        benchmark::DoNotOptimize (bar->createMenu());

    state.SetLabel (PresetTrees::name ((int) state.range (0)));
}
} // namespace

BENCHMARK (presetFolderScan)->Arg (0)->Arg (1)->Unit (benchmark::kMillisecond)->Iterations (3);
BENCHMARK (presetBarRelabel)->Arg (0)->Arg (1)->Unit (benchmark::kMicrosecond);
BENCHMARK (presetMenuBuild)->Arg (0)->Arg (1)->Unit (benchmark::kMillisecond)->Iterations (5);
