// The Standalone app: the framework's window and audio player for the plug-in, with its settings
// kept by StandaloneSettings, which reads them through the product's bounded reader.

#include "processor/StandaloneSettings.h"

#include <juce_audio_plugin_client/juce_audio_plugin_client.h>
#include <juce_audio_utils/juce_audio_utils.h>

#include <juce_audio_plugin_client/Standalone/juce_StandaloneFilterWindow.h>

#include <iostream>

class VardekoStandaloneApp : public juce::JUCEApplication
{
public:
    const juce::String getApplicationName() override { return JucePlugin_Name; }
    const juce::String getApplicationVersion() override { return JucePlugin_VersionString; }
    bool moreThanOneInstanceAllowed() override { return true; }
    void anotherInstanceStarted (const juce::String&) override {}

    void initialise (const juce::String&) override
    {
        settings = std::make_unique<StandaloneSettings> (StandaloneSettings::getDefaultFile());

        juce::StandalonePluginHolder::PluginInOuts channels[] = { JucePlugin_PreferredChannelConfigurations };
        window = std::make_unique<juce::StandaloneFilterWindow> (getApplicationName(),
                                                                 juce::LookAndFeel::getDefaultLookAndFeel().findColour (juce::ResizableWindow::backgroundColourId),
                                                                 settings.get(),
                                                                 false,
                                                                 juce::String(),
                                                                 nullptr,
                                                                 juce::Array<juce::StandalonePluginHolder::PluginInOuts> (channels, juce::numElementsInArray (channels)));
        window->setVisible (true);

        if (settings->getProblem().isNotEmpty())
            tellAboutSettings();
    }

    void shutdown() override
    {
        window = nullptr;

        if (const auto saved = settings->saveIfNeeded(); saved.failed())
            std::cerr << getApplicationName() << ": the settings could not be saved to \"" << settings->getFile().getFullPathName()
                      << "\": " << saved.getErrorMessage() << std::endl;

        settings = nullptr;
    }

    void systemRequestedQuit() override
    {
        if (window != nullptr)
            window->pluginHolder->savePluginState();

        // Open menus and dialogs first, then quit.
        if (juce::ModalComponentManager::getInstance()->cancelAllModalComponents())
        {
            juce::Timer::callAfterDelay (100, []
                                         {
                                             if (auto* app = juce::JUCEApplicationBase::getInstance())
                                                 app->systemRequestedQuit(); });
        }
        else
        {
            quit();
        }
    }

private:
    // On the terminal and in the window: the app started without (some of) its settings.
    void tellAboutSettings()
    {
        const auto& refused = settings->getRefusedFile();
        auto message = "The settings file \"" + settings->getFile().getFullPathName() + "\" " + settings->getProblem() + ".";

        if (refused != juce::File())
            message << "\nIt was not used and is kept as \"" << refused.getFileName() << "\"; the app starts with its default settings.";
        else if (settings->getProblem().startsWith ("holds values"))
            message << "\nThe app uses its defaults for those.";
        else
            message << "\nIt was not used; the app starts with its default settings.";

        std::cerr << getApplicationName() << ": " << message.replace ("\n", " ") << std::endl;
        juce::AlertWindow::showMessageBoxAsync (juce::MessageBoxIconType::WarningIcon, getApplicationName(), message, {}, window.get());
    }

    std::unique_ptr<StandaloneSettings> settings;
    std::unique_ptr<juce::StandaloneFilterWindow> window;
};

juce::JUCEApplicationBase* juce_CreateApplication();

juce::JUCEApplicationBase* juce_CreateApplication()
{
    return new VardekoStandaloneApp();
}
