// The plug-in's window on its own, for the preset window test (tests/presets/preset-clicks.sh)
// and for trying the preset bar and the file panels by hand:
//
//   HOME=<folder> vardeko-presetpanels <scale>
//
// The preset folder is the one the plug-in uses, below HOME's documents folder; the window
// writes the factory presets there when it first opens. The program prints "window X Y" (its
// place on the screen in device pixels) once it is shown, "namebox X Y" (the screen position of
// the save browser's name box) whenever the browser opens, "preset PATH" whenever another preset
// becomes the current one, and "host PATH" whenever the host is told of a change. It ends after
// 120 s or when its standard input closes.

#include "editor/VardekoQX2710AudioProcessorEditor.h"
#include "presets/MolvekVardekoQX2710PresetBrowser.h"
#include "processor/VardekoQX2710AudioProcessor.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <iostream>
#include <thread>

namespace
{
void report (const juce::String& line)
{
    std::cout << line << std::endl;
}

// Watches the window and the processor and reports what the clicks did.
class Reporter : private juce::Timer,
                 private juce::AudioProcessorListener
{
public:
    Reporter (VardekoQX2710AudioProcessor& p, VardekoQX2710AudioProcessorEditor& e, float displayScale)
        : processor (p)
        , editor (e)
        , scale (displayScale)
        , lastPreset (p.getCurrentPresetPath())
    {
        for (auto* child : editor.getChildren())
            if (auto* found = dynamic_cast<MolvekVardekoQX2710PresetBrowser*> (child))
                browser = found;

        processor.addListener (this);
        startTimer (20);
    }

    ~Reporter() override { processor.removeListener (this); }

private:
    void timerCallback() override
    {
        if (const auto preset = processor.getCurrentPresetPath(); preset != lastPreset)
        {
            lastPreset = preset;
            report ("preset " + preset);
        }

        const auto browserShown = browser != nullptr && browser->isVisible();

        if (browserShown && ! browserWasShown)
            juce::Timer::callAfterDelay (300, [this]
                                         { reportNameBox(); });

        browserWasShown = browserShown;
    }

    void reportNameBox()
    {
        // The browser's file name box: the text editor nearest the browser's bottom.
        juce::TextEditor* box = nullptr;

        for (auto* child : browser->getBrowser()->getChildren())
            if (auto* textEditor = dynamic_cast<juce::TextEditor*> (child))
                box = textEditor;

        if (box != nullptr)
        {
            const auto centre = (box->getScreenBounds().getCentre().toFloat() * scale).roundToInt();
            report ("namebox " + juce::String (centre.x) + " " + juce::String (centre.y));
        }
    }

    void audioProcessorChanged (juce::AudioProcessor*, const ChangeDetails&) override
    {
        // Hosts may be told on any thread; the report goes through the message thread.
        juce::MessageManager::callAsync ([path = processor.getCurrentPresetPath()]
                                         { report ("host " + path); });
    }

    void audioProcessorParameterChanged (juce::AudioProcessor*, int, float) override {}

    VardekoQX2710AudioProcessor& processor;
    VardekoQX2710AudioProcessorEditor& editor;
    MolvekVardekoQX2710PresetBrowser* browser = nullptr;
    float scale;
    juce::String lastPreset;
    bool browserWasShown = false;
};
} // namespace

int main (int argc, char* argv[])
{
    const juce::StringArray args (argv + 1, argc - 1);

    if (args.size() != 1 || args[0].getFloatValue() < 1.0f)
    {
        std::cerr << "usage: HOME=<folder> vardeko-presetpanels <scale>\n";
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
    auto editor = std::make_unique<VardekoQX2710AudioProcessorEditor> (processor);
    auto reporter = std::make_unique<Reporter> (processor, *editor, scale);
    editor->addToDesktop (0);
    editor->setTopLeftPosition (10, 10);
    editor->setVisible (true);

    juce::Timer::callAfterDelay (500, [&editor, scale]
                                 {
                                     const auto origin = (editor->getScreenPosition().toFloat() * scale).roundToInt();
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
    reporter.reset();
    editor.reset();
    return 0;
}
