# The layers' directions, checked by the linker. Each library below is linked whole into a
# shared object of its own together with only the libraries it may use, and every symbol must
# be found there: a call from the DSP layer into the processor, the window or JUCE's plug-in and
# audio modules, from the engine into the window, or from the renderer into the window fails
# the build with "undefined reference". tests/layers/ checks that it does.
#
# Native builds without sanitizers only: instrumented objects need their runtime, which a shared
# object does not link.

if (CMAKE_CROSSCOMPILING OR VARDEKO_SANITIZE OR VARDEKO_BUILD_FUZZERS
    OR NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang" OR NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
    return()
endif()

set (VARDEKO_LAYER_CHECK_SOURCE "${PROJECT_BINARY_DIR}/layer-checks/LayerCheck.cpp")
file (WRITE "${VARDEKO_LAYER_CHECK_SOURCE}.in" "// The layer checks link whole libraries; this file adds nothing.\n")
configure_file ("${VARDEKO_LAYER_CHECK_SOURCE}.in" "${VARDEKO_LAYER_CHECK_SOURCE}" COPYONLY)

#   vardeko_check_layer (<library> MAY_USE <library>... [EXTRA <source>...] [EXCLUDE_FROM_ALL])
function (vardeko_check_layer library)
    cmake_parse_arguments (ARG "EXCLUDE_FROM_ALL" "NAME" "MAY_USE;EXTRA" ${ARGN})
    set (name ${library}LayerCheck)

    if (ARG_NAME)
        set (name ${ARG_NAME})
    endif()

    if (ARG_EXCLUDE_FROM_ALL)
        add_library (${name} MODULE EXCLUDE_FROM_ALL "${VARDEKO_LAYER_CHECK_SOURCE}" ${ARG_EXTRA})
    else()
        add_library (${name} MODULE "${VARDEKO_LAYER_CHECK_SOURCE}" ${ARG_EXTRA})
    endif()

    target_link_libraries (${name} PRIVATE "$<LINK_LIBRARY:WHOLE_ARCHIVE,${library}>" ${ARG_MAY_USE} vardeko_warnings)
    target_link_options (${name} PRIVATE -Wl,--no-undefined)
    set_target_properties (${name} PROPERTIES LIBRARY_OUTPUT_DIRECTORY "${PROJECT_BINARY_DIR}/layer-checks")
endfunction()

# DSP: JUCE's core and events modules only.
vardeko_check_layer (VardekoDsp MAY_USE VardekoJuceBase)

# Engine: the DSP layer and JUCE.
vardeko_check_layer (VardekoEngine MAY_USE VardekoDsp VardekoJuce)

# Renderer: the engine.
vardeko_check_layer (VardekoRender MAY_USE VardekoEngine)
