# The plug-in: VST3 and Standalone through JUCE, LV2 through our own wrapper (lv2/); VST2 and
# AAX when their SDKs are given.

set (VARDEKO_FORMATS VST3 Standalone)

# A format built on a vendor's SDK (VARDEKO_BUILD_<name>, VARDEKO_<name>_SDK): the SDK folder is
# checked by a file it must hold and handed to JUCE.
function (_vardeko_add_sdk_format name format marker set_sdk_path)
    if (NOT VARDEKO_BUILD_${name})
        return()
    endif()

    set (sdk "${VARDEKO_${name}_SDK}")

    if (NOT EXISTS "${sdk}/${marker}")
        message (FATAL_ERROR "VARDEKO_BUILD_${name} needs VARDEKO_${name}_SDK: the ${name} SDK folder that holds ${marker}")
    endif()

    cmake_language (CALL ${set_sdk_path} "${sdk}")
    set (VARDEKO_FORMATS ${VARDEKO_FORMATS} ${format} PARENT_SCOPE)
endfunction()

_vardeko_add_sdk_format (VST2 VST pluginterfaces/vst2.x/aeffect.h juce_set_vst2_sdk_path)
_vardeko_add_sdk_format (AAX AAX Interfaces/AAX.h juce_set_aax_sdk_path)

# Names and codes from the identity block (CMakeLists.txt).
juce_add_plugin (VardekoQX2710
    PRODUCT_NAME "${VARDEKO_PRODUCT_FILE_NAME}"
    PLUGIN_NAME "${VARDEKO_PRODUCT_NAME}"
    DESCRIPTION "${VARDEKO_PRODUCT_SHORT_NAME}"
    VERSION "${PROJECT_VERSION}"
    COMPANY_NAME "${VARDEKO_COMPANY_NAME}"
    COMPANY_WEBSITE "${VARDEKO_COMPANY_WEBSITE}"
    COMPANY_EMAIL "${VARDEKO_COMPANY_EMAIL}"
    BUNDLE_ID "${VARDEKO_BUNDLE_ID}"
    PLUGIN_MANUFACTURER_CODE "${VARDEKO_MANUFACTURER_CODE}"
    PLUGIN_CODE "${VARDEKO_PLUGIN_CODE}"
    FORMATS ${VARDEKO_FORMATS}
    IS_SYNTH FALSE
    NEEDS_MIDI_INPUT FALSE
    NEEDS_MIDI_OUTPUT FALSE
    IS_MIDI_EFFECT FALSE
    EDITOR_WANTS_KEYBOARD_FOCUS FALSE
    VST2_CATEGORY kPlugCategEffect
    VST3_CATEGORIES Fx Distortion
    AAX_IDENTIFIER "${VARDEKO_BUNDLE_ID}"
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

target_link_libraries (VardekoQX2710 PUBLIC VardekoGui PRIVATE vardeko_warnings)

# The VST3 plug-in announces class identifiers derived from the VST2 identifier, so that it
# replaces the VST2 plug-in in hosts that know both. JUCE's VST3 wrapper needs the layout of
# the VST2 bank header for that; without the VST2 SDK it comes from our own declaration.
if (NOT VARDEKO_BUILD_VST2 AND TARGET VardekoQX2710_VST3)
    target_include_directories (VardekoQX2710_VST3 PRIVATE "${PROJECT_SOURCE_DIR}/cmake/vst2compat")
endif()
