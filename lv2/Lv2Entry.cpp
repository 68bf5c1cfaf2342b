// The LV2 entry points: the stereo and mono plug-ins and their editor.

#include "lv2/Lv2Plugin.h"
#include "lv2/Lv2Ui.h"

#include <cstring>

namespace
{
template <Lv2Ports::Variant variant>
LV2_Handle instantiate (const LV2_Descriptor*, double sampleRate, const char*, const LV2_Feature* const* features)
{
    return Lv2Plugin::create (variant, sampleRate, features);
}

Lv2Plugin& pluginOf (LV2_Handle handle) { return *static_cast<Lv2Plugin*> (handle); }

const void* pluginExtensionData (const char* uri)
{
    static const LV2_State_Interface state {
        [] (LV2_Handle h, LV2_State_Store_Function store, LV2_State_Handle sh, uint32_t, const LV2_Feature* const*)
        { return pluginOf (h).save (store, sh); },
        [] (LV2_Handle h, LV2_State_Retrieve_Function retrieve, LV2_State_Handle sh, uint32_t, const LV2_Feature* const*)
        { return pluginOf (h).restore (retrieve, sh); }
    };

    return std::strcmp (uri, LV2_STATE__interface) == 0 ? &state : nullptr;
}

template <Lv2Ports::Variant variant>
const LV2_Descriptor* makeDescriptor()
{
    static const auto uri = Lv2Ports::getPluginUri (variant).toStdString();

    static const LV2_Descriptor descriptor {
        uri.c_str(),
        instantiate<variant>,
        [] (LV2_Handle h, uint32_t port, void* data)
        { pluginOf (h).connectPort (port, data); },
        [] (LV2_Handle h)
        { pluginOf (h).activate(); },
        [] (LV2_Handle h, uint32_t n)
        { pluginOf (h).run (n); },
        [] (LV2_Handle h)
        { pluginOf (h).deactivate(); },
        [] (LV2_Handle h)
        { delete &pluginOf (h); },
        pluginExtensionData
    };

    return &descriptor;
}

Lv2Ui& uiOf (LV2UI_Handle handle) { return *static_cast<Lv2Ui*> (handle); }

const void* uiExtensionData (const char* uri)
{
    static const LV2UI_Idle_Interface idle { [] (LV2UI_Handle h)
                                             { return uiOf (h).idle(); } };
    static const LV2UI_Resize resize { nullptr, [] (LV2UI_Feature_Handle h, int width, int height)
                                       { return uiOf (h).hostResized (width, height); } };

    if (std::strcmp (uri, LV2_UI__idleInterface) == 0)
        return &idle;

    if (std::strcmp (uri, LV2_UI__resize) == 0)
        return &resize;

    return nullptr;
}
} // namespace

extern "C"
{
    LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor (uint32_t index)
    {
        switch (index)
        {
            case 0:
                return makeDescriptor<Lv2Ports::Variant::stereo>();
            case 1:
                return makeDescriptor<Lv2Ports::Variant::mono>();
            default:
                return nullptr;
        }
    }

    LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor (uint32_t index)
    {
        if (index != 0)
            return nullptr;

        static const auto uri = Lv2Ports::getUiUri().toStdString();

        static const LV2UI_Descriptor descriptor {
            uri.c_str(),
            [] (const LV2UI_Descriptor*, const char*, const char*, LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget, const LV2_Feature* const* features) -> LV2UI_Handle
            { return Lv2Ui::create (write, controller, widget, features); },
            [] (LV2UI_Handle h)
            { delete &uiOf (h); },
            [] (LV2UI_Handle, uint32_t, uint32_t, uint32_t, const void*) {}, // host values arrive through the processor
            uiExtensionData
        };

        return &descriptor;
    }
}
