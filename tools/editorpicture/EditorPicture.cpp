// The plug-in's real window drawn into a PNG, as a user sees it while playing: a factory preset
// loaded, the meter moving.
//
//   vardeko-editorpicture <file.png> <scale>
//
// The scale is that of the display (2 draws from the 2x artwork). The preset bar reads its
// presets from a temporary documents folder, never the user's own.

#include "editor/VardekoQX2710AudioProcessorEditor.h"
#include "processor/FactoryPresets.h"
#include "processor/UserFolders.h"
#include "processor/VardekoQX2710AudioProcessor.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdlib>
#include <iostream>

namespace
{
constexpr const char* shownPreset = "Pro Crunch";
}

int main (int argc, char* argv[])
{
    const juce::StringArray args (argv + 1, argc - 1);

    if (args.size() != 2 || args[1].getFloatValue() < 1.0f)
    {
        std::cerr << "usage: vardeko-editorpicture <file.png> <scale>\n";
        return 2;
    }

    const auto output = juce::File::getCurrentWorkingDirectory().getChildFile (args[0]);
    const auto scale = args[1].getFloatValue();

    // The documents folder is found through HOME.
    const auto home = juce::File::getSpecialLocation (juce::File::tempDirectory).getNonexistentChildFile ("vardeko-picture", {}, false);
    home.createDirectory();
    setenv ("HOME", home.getFullPathName().toRawUTF8(), 1);

    int status = 0;
    {
        const juce::ScopedJuceInitialiser_GUI juce;
        const auto* preset = FactoryPresets::find (shownPreset);
        const auto presetFolder = UserFolders::getPresetFolder();

        if (preset == nullptr || FactoryPresets::install (presetFolder).failed())
        {
            std::cerr << "vardeko-editorpicture: the factory presets could not be written\n";
            status = 1;
        }
        else
        {
            VardekoQX2710AudioProcessor processor;
            processor.loadPatchDocument (FactoryPresets::createDocument (*preset), true);
            processor.setCurrentPresetPath (FactoryPresets::getRelativePath (*preset));
            processor.meterLevel = 0.64f;

            VardekoQX2710AudioProcessorEditor editor (processor);
            editor.timerCallback();

            const auto image = editor.createComponentSnapshot (editor.getLocalBounds(), true, scale);
            output.getParentDirectory().createDirectory();
            output.deleteFile();
            juce::FileOutputStream stream (output);
            juce::PNGImageFormat png;

            if (! stream.openedOk() || ! png.writeImageToStream (image, stream))
            {
                std::cerr << "vardeko-editorpicture: could not write " << output.getFullPathName() << "\n";
                status = 1;
            }
        }
    }

    home.deleteRecursively();
    return status;
}
