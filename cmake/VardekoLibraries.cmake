# The product's code in three layers, each a static library that links only the layers below it:
#
#   VardekoDsp     dsp/, models/ and the diode tables: the signal path. JUCE's core and events
#                  modules only (VardekoJuceBase): no processor, no window, no plug-in format.
#   VardekoEngine  processor/: the host-facing processor with its parameters, programs, patch
#                  documents and preset files. The DSP layer and JUCE; no window.
#   VardekoGui     editor/, presets/ and the artwork: the window, its controls and panels.
#
# The plug-in links the GUI, the renderer (cli/) the engine. A call against these directions is a
# link error: cmake/VardekoLayerChecks.cmake links each library on its own.

# The JUCE modules, compiled once for the plug-in, the command-line programs, the tools and the
# tests; the core and events modules in a library of their own for the DSP layer.
vardeko_add_juce_library (VardekoJuce
    MODULES juce::juce_audio_utils juce::juce_audio_processors juce::juce_audio_formats
            juce::juce_gui_basics
    BASE VardekoJuceBase
    BASE_MODULES juce_core juce_events)

# On Windows juce_events offers messages to juce_gui_extra's ActiveX hosting, so there the two
# archives need each other (the layer checks run on Linux, where the events module stands alone).
if (WIN32)
    target_link_libraries (VardekoJuceBase INTERFACE VardekoJuce)
endif()

# The plug-in's own PluginHostType checks need to know about the AAX build.
target_compile_definitions (VardekoJuceObjects PRIVATE
    JucePlugin_Build_AAX=$<BOOL:${VARDEKO_BUILD_AAX}>
    JucePlugin_Build_Standalone=0)

# The Standalone app on Linux offers JACK next to ALSA. JUCE loads libjack at run time, so the
# app still starts where no JACK is installed; only the headers are needed to build.
if (CMAKE_SYSTEM_NAME STREQUAL "Linux" AND NOT CMAKE_CROSSCOMPILING)
    find_path (VARDEKO_JACK_INCLUDE_DIR jack/jack.h)

    if (VARDEKO_JACK_INCLUDE_DIR)
        target_compile_definitions (VardekoJuceObjects PRIVATE JUCE_JACK=1 JUCE_JACK_CLIENT_NAME="${VARDEKO_PRODUCT_NAME}")
        target_include_directories (VardekoJuceObjects PRIVATE "${VARDEKO_JACK_INCLUDE_DIR}")
    else()
        message (WARNING "JACK headers not found (Debian: libjack-jackd2-dev): the Standalone app offers ALSA only")
    endif()
endif()

# One library from module folders (with their subfolders) and single files.
function (_vardeko_add_layer name)
    cmake_parse_arguments (ARG "" "" "FOLDERS;FILES" ${ARGN})
    set (sources)

    foreach (folder IN LISTS ARG_FOLDERS)
        file (GLOB_RECURSE folder_sources CONFIGURE_DEPENDS
            "${PROJECT_SOURCE_DIR}/${folder}/*.cpp"
            "${PROJECT_SOURCE_DIR}/${folder}/*.h")
        list (APPEND sources ${folder_sources})
    endforeach()

    foreach (file IN LISTS ARG_FILES)
        list (APPEND sources "${PROJECT_SOURCE_DIR}/${file}")
    endforeach()

    add_library (${name} STATIC ${sources})
    target_include_directories (${name} PUBLIC "${PROJECT_SOURCE_DIR}")
    target_link_libraries (${name} PRIVATE vardeko_warnings)
endfunction()

include ("${PROJECT_SOURCE_DIR}/cmake/VardekoResources.cmake")

_vardeko_add_layer (VardekoDsp
    FOLDERS dsp models
    FILES resources/EmbeddedResources.cpp resources/EmbeddedResources.h)
target_link_libraries (VardekoDsp PUBLIC VardekoJuceBase)
vardeko_add_resources (VardekoDsp SET tables)

_vardeko_add_layer (VardekoEngine FOLDERS processor)
target_link_libraries (VardekoEngine PUBLIC VardekoDsp VardekoJuce)
# The generated product header (the identity block in CMakeLists.txt).
target_include_directories (VardekoEngine PUBLIC "${VARDEKO_GENERATED_DIR}")

_vardeko_add_layer (VardekoGui
    FOLDERS editor presets
    FILES resources/ArtworkCatalogue.h)
target_link_libraries (VardekoGui PUBLIC VardekoEngine)
vardeko_add_resources (VardekoGui SET artwork)
