// The preset bar and the file panels in a real window, placed over the pedal's artwork as the
// editor places them:
//
//   vardeko-presetpanels <scale> <preset folder>
//
// The factory presets are written into the preset folder as an opening editor writes them.
// The program prints "window X Y" (its place on the screen in device pixels) once it is shown,
// the screen position of the save browser's name box ("namebox X Y") whenever the browser opens,
// and a line for what the user's clicks did: "loaded PATH RESULT" for a preset the bar loaded,
// "host PATH" whenever the host is told of a change (a save). FILE opens the save browser.
// It ends after 120 s or when its standard input closes.

#include "editor/FilmStrip.h"
#include "editor/Molvek2StateKickButton.h"
#include "editor/MolvekArtwork.h"
#include "editor/PedalLayout.h"
#include "presets/FactoryPresets.h"
#include "presets/MolvekAlertComponent.h"
#include "presets/MolvekVardekoQX2710PresetBrowser.h"
#include "presets/MolvekVardekoQX2710PresetMenu.h"
#include "processor/VardekoQX2710AudioProcessor.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <iostream>
#include <thread>

namespace
{
juce::Rectangle<int> boundsOf (PedalLayout::Box box)
{
    return { box.x, box.y, box.width, box.height };
}

void report (const juce::String& line)
{
    std::cout << line << std::endl;
}

class PresetPanels : public juce::Component,
                     private juce::Label::Listener,
                     private juce::AudioProcessorListener
{
public:
    PresetPanels (VardekoQX2710AudioProcessor& p, const juce::File& folder, float displayScale)
        : processor (p)
        , scale (displayScale)
        , background (MolvekArtwork ("background").getStrip (1))
        , browser ("presetBrowser_", "Save", folder.getFullPathName(), "*.mvkp", &p, &presetMenu)
    {
        setSize (PedalLayout::width, PedalLayout::height);

        for (auto [button, artwork, box] : { std::tuple { &fileButton, "file_button", PedalLayout::fileButton },
                                             std::tuple { &previousButton, "arrow_left", PedalLayout::presetDecButton },
                                             std::tuple { &nextButton, "arrow_right", PedalLayout::presetIncButton } })
        {
            button->setImage (MolvekArtwork (artwork));
            button->setBounds (boundsOf (box));
            addAndMakeVisible (*button);
        }

        presetMenu.setRootFolder (folder.getFullPathName());
        presetMenu.setFilePattern ("*.mvkp");
        presetMenu.setColour (juce::Label::textColourId, juce::Colours::black);
        presetMenu.setFont (juce::Font (15.0f, juce::Font::bold));
        presetMenu.setBounds (boundsOf (PedalLayout::presetMenu));
        presetMenu.addListener (this);
        presetMenu.setCurrentItem (processor.getCurrentPresetPath());
        addAndMakeVisible (presetMenu);

        browser.setBounds (getLocalBounds());
        addChildComponent (browser);
        alert.setBounds (getLocalBounds());
        addChildComponent (alert);

        fileButton.onClick = [this]
        {
            // The preset folder may be gone since the bar was filled.
            presetMenu.getRootFolder().createDirectory();
            browser.show();
            juce::Timer::callAfterDelay (300, [safeThis = SafePointer<PresetPanels> (this)]
                                         {
                                             if (safeThis != nullptr)
                                                 safeThis->reportNameBox(); });
        };
        previousButton.onClick = [this]
        { step (false); };
        nextButton.onClick = [this]
        { step (true); };

        processor.addListener (this);

        if (const auto problem = FactoryPresets::installOnEditorOpen (folder); problem.isNotEmpty())
        {
            alert.setMessage (problem);
            juce::MessageManager::callAsync ([this]
                                             { alert.show (1, MolvekAlertComponent::errorIcon); });
        }
    }

    ~PresetPanels() override
    {
        processor.removeListener (this);
        presetMenu.removeListener (this);
    }

    void paint (juce::Graphics& g) override
    {
        background.drawFrame (g, 0, getLocalBounds());
    }

private:
    // What the editor does with a preset picked from the bar or stepped to with the arrows.
    void load()
    {
        processor.setCurrentPresetPath (presetMenu.getCurrentItem());
        const auto result = presetMenu.loadPreset (&processor, presetMenu.getCurrentItem());
        report ("loaded " + presetMenu.getCurrentItem() + " " + juce::String (result));
    }

    void step (bool forward)
    {
        presetMenu.rescan();
        forward ? presetMenu.selectNext() : presetMenu.selectPrevious();
        load();
    }

    void labelTextChanged (juce::Label*) override
    {
        load();
    }

    void reportNameBox()
    {
        // The browser's file name box: the text editor nearest the browser's bottom.
        juce::TextEditor* box = nullptr;

        for (auto* child : browser.getBrowser()->getChildren())
            if (auto* editor = dynamic_cast<juce::TextEditor*> (child))
                box = editor;

        if (box != nullptr)
        {
            const auto centre = (box->getScreenBounds().getCentre().toFloat() * scale).roundToInt();
            report ("namebox " + juce::String (centre.x) + " " + juce::String (centre.y));
        }
    }

    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override
    {
        // Hosts may call this on any thread; the report goes through the message thread.
        juce::MessageManager::callAsync ([safeThis = SafePointer<PresetPanels> (this)]
                                         {
                                             if (safeThis != nullptr)
                                             {
                                                 safeThis->presetMenu.setCurrentItem (safeThis->processor.getCurrentPresetPath());
                                                 report ("host " + safeThis->processor.getCurrentPresetPath());
                                             } });
    }

    void audioProcessorParameterChanged (juce::AudioProcessor*, int, float) override {}

    VardekoQX2710AudioProcessor& processor;
    float scale;
    FilmStrip background;
    Molvek2StateKickButton fileButton { "fileButton_" };
    Molvek2StateKickButton previousButton { "presetDecButton_" };
    Molvek2StateKickButton nextButton { "presetIncButton_" };
    MolvekVardekoQX2710PresetMenu presetMenu { "presetMenu_" };
    MolvekVardekoQX2710PresetBrowser browser;
    MolvekAlertComponent alert { "alert_" };
};
} // namespace

int main (int argc, char* argv[])
{
    const juce::StringArray args (argv + 1, argc - 1);

    if (args.size() != 2 || args[0].getFloatValue() < 1.0f || ! juce::File::isAbsolutePath (args[1]))
    {
        std::cerr << "usage: vardeko-presetpanels <scale> <absolute preset folder>\n";
        return 2;
    }

    // JUCE installs its X error handlers for applications only; without them an X server with no
    // window manager (Xvfb) ends the program over the window properties it cannot set.
    juce::JUCEApplicationBase::createInstance = []() -> juce::JUCEApplicationBase*
    { return nullptr; };

    const juce::ScopedJuceInitialiser_GUI juce;
    const auto scale = args[0].getFloatValue();
    juce::Desktop::getInstance().setGlobalScaleFactor (scale);

    VardekoQX2710AudioProcessor processor;
    auto panels = std::make_unique<PresetPanels> (processor, juce::File (args[1]), scale);
    panels->addToDesktop (0);
    panels->setTopLeftPosition (10, 10);
    panels->setVisible (true);

    juce::Timer::callAfterDelay (500, [&panels, scale]
                                 {
                                     const auto origin = (panels->getScreenPosition().toFloat() * scale).roundToInt();
                                     report ("window " + juce::String (origin.x) + " " + juce::String (origin.y)); });
    juce::Timer::callAfterDelay (120000, []
                                 { juce::MessageManager::getInstance()->stopDispatchLoop(); });

    // The script ends the program by closing its input.
    std::thread ([]
                 {
                     std::string line;
                     while (std::getline (std::cin, line)) {}
                     juce::MessageManager::getInstance()->stopDispatchLoop(); })
        .detach();

    juce::MessageManager::getInstance()->runDispatchLoop();
    panels.reset();
    return 0;
}
