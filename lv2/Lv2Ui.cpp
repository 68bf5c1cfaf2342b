#define JUCE_GUI_BASICS_INCLUDE_XHEADERS 1

#include "lv2/Lv2Ui.h"

#include <juce_audio_plugin_client/utility/juce_LinuxMessageThread.h>

#include <lv2/atom/atom.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>

#include <cstring>

namespace
{
const void* findFeature (const LV2_Feature* const* features, const char* uri, bool* present = nullptr)
{
    for (auto* f = features; f != nullptr && *f != nullptr; ++f)
    {
        if (std::strcmp ((*f)->URI, uri) == 0)
        {
            if (present != nullptr)
                *present = true;

            return (*f)->data;
        }
    }

    return nullptr;
}

float findScaleFactor (const LV2_Feature* const* features)
{
    const auto* map = static_cast<const LV2_URID_Map*> (findFeature (features, LV2_URID__map));
    const auto* options = static_cast<const LV2_Options_Option*> (findFeature (features, LV2_OPTIONS__options));

    if (map == nullptr || options == nullptr)
        return 1.0f;

    const auto key = map->map (map->handle, LV2_UI__scaleFactor);
    const auto floatType = map->map (map->handle, LV2_ATOM__Float);

    for (auto* o = options; o->key != 0 || o->value != nullptr; ++o)
        if (o->key == key && o->type == floatType && o->size == sizeof (float) && o->value != nullptr)
            return juce::jlimit (0.5f, 4.0f, *static_cast<const float*> (o->value));

    return 1.0f;
}
} // namespace

Lv2Ui* Lv2Ui::create (LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features)
{
    auto* plugin = static_cast<Lv2Plugin*> (const_cast<void*> (findFeature (features, LV2_INSTANCE_ACCESS_URI)));
    auto* parent = const_cast<void*> (findFeature (features, LV2_UI__parent));

    if (plugin == nullptr || parent == nullptr || widget == nullptr)
        return nullptr;

    const auto* resize = static_cast<const LV2UI_Resize*> (findFeature (features, LV2_UI__resize));
    const auto* touch = static_cast<const LV2UI_Touch*> (findFeature (features, LV2_UI__touch));

    auto* ui = new Lv2Ui (*plugin, write, controller, parent, resize, touch, findScaleFactor (features));
    *widget = (LV2UI_Widget) ui->getWindowHandle();
    return ui;
}

Lv2Ui::Lv2Ui (Lv2Plugin& pluginToUse, LV2UI_Write_Function writeFunction, LV2UI_Controller hostController, void* parentWindow, const LV2UI_Resize* resizeFeature, const LV2UI_Touch* touchFeature, float scale)
    : eventLoop (std::make_unique<juce::SharedResourcePointer<juce::HostDrivenEventLoop>>())
    , plugin (pluginToUse)
    , write (writeFunction)
    , controller (hostController)
    , resize (resizeFeature)
    , touch (touchFeature)
{
    auto& processor = plugin.getProcessor();
    editor.reset (processor.createEditorIfNeeded());
    editor->setScaleFactor (scale);

    setOpaque (true);
    addAndMakeVisible (*editor);
    setSize (editor->getWidth(), editor->getHeight());

    addToDesktop (0, parentWindow);
    setVisible (true);
    requestHostSize();

    processor.addListener (this);
}

Lv2Ui::~Lv2Ui()
{
    auto& processor = plugin.getProcessor();
    processor.removeListener (this);

    if (editor != nullptr)
    {
        processor.editorBeingDeleted (editor.get());
        editor.reset();
    }

    removeFromDesktop();
    eventLoop.reset();
}

//==============================================================================
int Lv2Ui::idle()
{
    (*eventLoop)->processPendingEvents();
    sendChangesToHost();
    return 0;
}

int Lv2Ui::hostResized (int width, int height)
{
    const juce::ScopedValueSetter<bool> scope (hostResizing, true);
    setSize (width, height);
    return 0;
}

void Lv2Ui::resized()
{
    if (editor != nullptr)
        editor->setTopLeftPosition (0, 0);
}

void Lv2Ui::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}

void Lv2Ui::requestHostSize()
{
    if (resize != nullptr && resize->ui_resize != nullptr)
        resize->ui_resize (resize->handle, getWidth(), getHeight());
}

//==============================================================================
void Lv2Ui::audioProcessorParameterChanged (juce::AudioProcessor*, int index, float)
{
    // Values the plug-in takes from the host (a preset's) are the host's already.
    if (HostParameters::isValidIndex (index) && ! plugin.isFollowingHost())
        pending[(size_t) index].fetch_or (valueChanged);
}

void Lv2Ui::audioProcessorParameterChangeGestureBegin (juce::AudioProcessor*, int index)
{
    if (HostParameters::isValidIndex (index))
        pending[(size_t) index].fetch_or (gestureBegan);
}

void Lv2Ui::audioProcessorParameterChangeGestureEnd (juce::AudioProcessor*, int index)
{
    if (HostParameters::isValidIndex (index))
        pending[(size_t) index].fetch_or (gestureEnded);
}

void Lv2Ui::sendChangesToHost()
{
    auto& processor = plugin.getProcessor();

    for (int k = 0; k < HostParameters::numParameters; ++k)
    {
        const auto what = pending[(size_t) k].exchange (0);

        if (what == 0)
            continue;

        const auto port = Lv2Ports::getControlPort (plugin.getVariant(), k);
        const bool canTouch = touch != nullptr && touch->touch != nullptr;

        if ((what & gestureBegan) != 0 && canTouch)
            touch->touch (touch->handle, port, true);

        if ((what & valueChanged) != 0)
        {
            JUCE_BEGIN_IGNORE_WARNINGS_GCC_LIKE ("-Wdeprecated-declarations")
            const auto value = Lv2Ports::toPortValue (k, processor.getParameter (k));
            JUCE_END_IGNORE_WARNINGS_GCC_LIKE

            write (controller, port, sizeof (float), 0, &value);
        }

        if ((what & gestureEnded) != 0 && canTouch)
            touch->touch (touch->handle, port, false);
    }
}
