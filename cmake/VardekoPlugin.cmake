# The plug-in: VST3 and Standalone through JUCE, LV2 through our own wrapper
# (cmake/VardekoLv2.cmake); VST2 and AAX when their SDKs are given.

set (VARDEKO_FORMATS VST3 Standalone)

if (VARDEKO_BUILD_VST2)
    if (NOT EXISTS "${VARDEKO_VST2_SDK}/pluginterfaces/vst2.x/aeffect.h")
        message (FATAL_ERROR "VARDEKO_BUILD_VST2 needs VARDEKO_VST2_SDK: the VST2 SDK folder that holds pluginterfaces/vst2.x")
    endif()
    juce_set_vst2_sdk_path ("${VARDEKO_VST2_SDK}")
    list (APPEND VARDEKO_FORMATS VST)
endif()

if (VARDEKO_BUILD_AAX)
    if (NOT EXISTS "${VARDEKO_AAX_SDK}/Interfaces/AAX.h")
        message (FATAL_ERROR "VARDEKO_BUILD_AAX needs VARDEKO_AAX_SDK: the AAX SDK folder")
    endif()
    juce_set_aax_sdk_path ("${VARDEKO_AAX_SDK}")
    list (APPEND VARDEKO_FORMATS AAX)
endif()

# Identifiers that hosts store in their sessions: never change them.
set (VARDEKO_COMPANY_WEBSITE "https://www.molvek.com")
set (VARDEKO_LV2_URI "https://www.molvek.com/plugins/vardeko-qx2710")

# A URI, as LV2's foaf:mbox needs and as VST3's factory info customarily gives it; a bare
# address would read as a file next to the LV2 bundle.
set (VARDEKO_COMPANY_EMAIL "mailto:support@molvek.com")

juce_add_plugin (VardekoQX2710
    PRODUCT_NAME "VardekoQX2710"
    PLUGIN_NAME "Vardeko QX2710"
    DESCRIPTION "QX2710"
    VERSION "${PROJECT_VERSION}"
    COMPANY_NAME "Molvek"
    COMPANY_WEBSITE "${VARDEKO_COMPANY_WEBSITE}"
    COMPANY_EMAIL "${VARDEKO_COMPANY_EMAIL}"
    BUNDLE_ID "com.molvek.VardekoQX2710"
    PLUGIN_MANUFACTURER_CODE "MLV_"
    PLUGIN_CODE "Mqx2"
    FORMATS ${VARDEKO_FORMATS}
    IS_SYNTH FALSE
    NEEDS_MIDI_INPUT FALSE
    NEEDS_MIDI_OUTPUT FALSE
    IS_MIDI_EFFECT FALSE
    EDITOR_WANTS_KEYBOARD_FOCUS FALSE
    VST2_CATEGORY kPlugCategEffect
    VST3_CATEGORIES Fx Distortion
    AAX_IDENTIFIER "com.molvek.VardekoQX2710"
    AAX_CATEGORY AAX_ePlugInCategory_Harmonic
    COPY_PLUGIN_AFTER_BUILD FALSE)


# The Standalone app is our own (standalone/): it reads its settings file through the product's
# bounded reader instead of the framework's parser.
if (TARGET VardekoQX2710_Standalone)
    target_sources (VardekoQX2710_Standalone PRIVATE "${PROJECT_SOURCE_DIR}/standalone/VardekoStandaloneApp.cpp")
    target_compile_definitions (VardekoQX2710_Standalone PRIVATE JUCE_USE_CUSTOM_PLUGIN_STANDALONE_APP=1)
endif()

# VST3 parameter identifiers are the indices, as the VST2 plug-in's were, so that automation
# carries over when the VST3 plug-in replaces it.
target_compile_definitions (VardekoQX2710 PUBLIC
    JUCE_FORCE_USE_LEGACY_PARAM_IDS=1
    "JucePlugin_PreferredChannelConfigurations={2,2},{1,1}")

target_link_libraries (VardekoQX2710 PUBLIC VardekoCore PRIVATE vardeko_warnings)

# The VST3 plug-in announces class identifiers derived from the VST2 identifier, so that it
# replaces the VST2 plug-in in hosts that know both. JUCE's VST3 wrapper needs the layout of
# the VST2 bank header for that; without the VST2 SDK it comes from our own declaration.
if (NOT VARDEKO_BUILD_VST2 AND TARGET VardekoQX2710_VST3)
    target_include_directories (VardekoQX2710_VST3 PRIVATE "${PROJECT_SOURCE_DIR}/cmake/vst2compat")
endif()

include ("${PROJECT_SOURCE_DIR}/cmake/VardekoLv2.cmake")
