# The JUCE modules, compiled once for the plug-in, the command-line programs, the tools and
# the tests.
vardeko_add_juce_library (VardekoJuce
    MODULES juce::juce_audio_utils juce::juce_audio_processors juce::juce_audio_formats
            juce::juce_gui_basics)

# The plug-in's own PluginHostType checks need to know about the AAX build.
target_compile_definitions (VardekoJuce PRIVATE
    JucePlugin_Build_AAX=$<BOOL:${VARDEKO_BUILD_AAX}>
    JucePlugin_Build_Standalone=0)

# The Standalone app on Linux offers JACK next to ALSA. JUCE loads libjack at run time, so the
# app still starts where no JACK is installed; only the headers are needed to build.
if (CMAKE_SYSTEM_NAME STREQUAL "Linux" AND NOT CMAKE_CROSSCOMPILING)
    find_path (VARDEKO_JACK_INCLUDE_DIR jack/jack.h)

    if (VARDEKO_JACK_INCLUDE_DIR)
        target_compile_definitions (VardekoJuce PRIVATE JUCE_JACK=1 JUCE_JACK_CLIENT_NAME="Vardeko QX2710")
        target_include_directories (VardekoJuce PRIVATE "${VARDEKO_JACK_INCLUDE_DIR}")
    else()
        message (WARNING "JACK headers not found (Debian: libjack-jackd2-dev): the Standalone app offers ALSA only")
    endif()
endif()

# Everything that is not a format wrapper: the module folders below (with their subfolders) and
# the embedded resources. A new module folder is added to this list when it is created.
set (VARDEKO_CORE_FOLDERS processor dsp models editor presets resources)
set (VARDEKO_CORE_SOURCES)

foreach (folder IN LISTS VARDEKO_CORE_FOLDERS)
    file (GLOB_RECURSE folder_sources CONFIGURE_DEPENDS
        "${PROJECT_SOURCE_DIR}/${folder}/*.cpp"
        "${PROJECT_SOURCE_DIR}/${folder}/*.h")
    list (APPEND VARDEKO_CORE_SOURCES ${folder_sources})
endforeach()

add_library (VardekoCore STATIC ${VARDEKO_CORE_SOURCES})
target_include_directories (VardekoCore PUBLIC "${PROJECT_SOURCE_DIR}")
target_link_libraries (VardekoCore PUBLIC VardekoJuce PRIVATE vardeko_warnings)
target_compile_definitions (VardekoCore PUBLIC
    VARDEKO_VERSION_STRING="${PROJECT_VERSION}")

# Binary resources (diode tables, images) are linked in as assembler objects.
include ("${PROJECT_SOURCE_DIR}/cmake/VardekoResources.cmake")
vardeko_add_resources (VardekoCore)
