# The LV2 plug-ins (stereo and mono) and their editor in one bundle, with our own thin wrapper
# (lv2/) on Debian's LV2 headers: control ports for the parameters, the state, the programs as
# presets, the editor as an X11 UI. The bundle's description is generated at build time from
# the processor (tools/lv2ttl). Linux only: a cross build cannot run the generator.

if (CMAKE_CROSSCOMPILING OR NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
    return()
endif()

find_path (VARDEKO_LV2_INCLUDE_DIR lv2/core/lv2.h)

if (NOT VARDEKO_LV2_INCLUDE_DIR)
    message (STATUS "LV2 headers not found (Debian: lv2-dev): no LV2 plug-in")
    return()
endif()

set (VARDEKO_LV2_DEFINITIONS
    VARDEKO_LV2_URI="${VARDEKO_LV2_URI}"
    VARDEKO_COMPANY_WEBSITE="${VARDEKO_COMPANY_WEBSITE}"
    VARDEKO_COMPANY_EMAIL="${VARDEKO_COMPANY_EMAIL}")

# What the wrapper and the generator share: the ports and the description.
add_library (VardekoLv2Description STATIC
    lv2/Lv2Ports.cpp lv2/Lv2Ports.h
    lv2/Lv2Turtle.cpp lv2/Lv2Turtle.h)
target_include_directories (VardekoLv2Description PUBLIC "${PROJECT_SOURCE_DIR}" "${VARDEKO_LV2_INCLUDE_DIR}")
target_compile_definitions (VardekoLv2Description PUBLIC ${VARDEKO_LV2_DEFINITIONS})
target_link_libraries (VardekoLv2Description PUBLIC VardekoCore PRIVATE vardeko_warnings)

add_executable (vardeko-lv2ttl tools/lv2ttl/main.cpp)
target_link_libraries (vardeko-lv2ttl PRIVATE VardekoLv2Description vardeko_warnings)

set (VARDEKO_LV2_FOLDER "${PROJECT_BINARY_DIR}/VardekoQX2710_artefacts/${CMAKE_BUILD_TYPE}/LV2")
set (VARDEKO_LV2_BUNDLE "${VARDEKO_LV2_FOLDER}/VardekoQX2710.lv2")

add_library (VardekoQX2710_LV2 MODULE
    lv2/Lv2Entry.cpp
    lv2/Lv2Plugin.cpp lv2/Lv2Plugin.h
    lv2/Lv2Ui.cpp lv2/Lv2Ui.h)
target_link_libraries (VardekoQX2710_LV2 PRIVATE VardekoLv2Description vardeko_warnings)

# Only the two entry points leave the library: its JUCE must never meet another plug-in's.
set (VARDEKO_LV2_EXPORTS "${PROJECT_SOURCE_DIR}/lv2/exports.map")
target_link_options (VardekoQX2710_LV2 PRIVATE
    "-Wl,--version-script=${VARDEKO_LV2_EXPORTS}" -Wl,--no-undefined)
set_target_properties (VardekoQX2710_LV2 PROPERTIES
    OUTPUT_NAME VardekoQX2710
    PREFIX ""
    LIBRARY_OUTPUT_DIRECTORY "${VARDEKO_LV2_BUNDLE}"
    LINK_DEPENDS "${VARDEKO_LV2_EXPORTS}"
    C_VISIBILITY_PRESET hidden
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN TRUE
    # Where the tests and scripts find the bundle.
    JUCE_PLUGIN_ARTEFACT_FILE "${VARDEKO_LV2_BUNDLE}"
    ARCHIVE_OUTPUT_DIRECTORY "${VARDEKO_LV2_FOLDER}")

add_custom_command (TARGET VardekoQX2710_LV2 POST_BUILD
    COMMAND vardeko-lv2ttl "${VARDEKO_LV2_BUNDLE}" "$<TARGET_FILE_NAME:VardekoQX2710_LV2>"
    COMMENT "Describing the LV2 bundle"
    VERBATIM)
