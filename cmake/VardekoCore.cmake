# The JUCE modules, compiled once for the plug-in, the command-line programs, the tools and
# the tests.
vardeko_add_juce_library (VardekoJuce
    MODULES juce::juce_audio_utils juce::juce_audio_processors juce::juce_audio_formats
            juce::juce_gui_basics)

# The plug-in's own PluginHostType checks need to know about the AAX build.
target_compile_definitions (VardekoJuce PRIVATE
    JucePlugin_Build_AAX=$<BOOL:${VARDEKO_BUILD_AAX}>
    JucePlugin_Build_Standalone=0)

# Everything that is not a format wrapper: processor, DSP, circuits, editor, presets and the
# embedded resources.
file (GLOB VARDEKO_CORE_SOURCES CONFIGURE_DEPENDS
    "${PROJECT_SOURCE_DIR}/processor/*.cpp"
    "${PROJECT_SOURCE_DIR}/dsp/*.cpp"
    "${PROJECT_SOURCE_DIR}/models/*.cpp"
    "${PROJECT_SOURCE_DIR}/editor/*.cpp"
    "${PROJECT_SOURCE_DIR}/presets/*.cpp"
    "${PROJECT_SOURCE_DIR}/resources/*.cpp")

file (GLOB VARDEKO_CORE_HEADERS CONFIGURE_DEPENDS
    "${PROJECT_SOURCE_DIR}/processor/*.h"
    "${PROJECT_SOURCE_DIR}/dsp/*.h"
    "${PROJECT_SOURCE_DIR}/models/*.h"
    "${PROJECT_SOURCE_DIR}/editor/*.h"
    "${PROJECT_SOURCE_DIR}/presets/*.h"
    "${PROJECT_SOURCE_DIR}/resources/*.h")

add_library (VardekoCore STATIC ${VARDEKO_CORE_SOURCES} ${VARDEKO_CORE_HEADERS})
target_include_directories (VardekoCore PUBLIC "${PROJECT_SOURCE_DIR}")
target_link_libraries (VardekoCore PUBLIC VardekoJuce PRIVATE vardeko_warnings)
target_compile_definitions (VardekoCore PUBLIC
    VARDEKO_VERSION_STRING="${PROJECT_VERSION}")

# Binary resources (diode tables, images) are linked in as assembler objects.
include ("${PROJECT_SOURCE_DIR}/cmake/VardekoResources.cmake" OPTIONAL)
if (COMMAND vardeko_add_resources)
    vardeko_add_resources (VardekoCore)
endif()
