# Windows builds (cross-built here with mingw-w64, see cmake/toolchains/): the image libraries
# JUCE decodes with, version resources for the plug-in binaries, and the programs that check
# the binaries under Wine.
#
# Included before the JUCE modules are compiled (they need the image libraries); the rest is
# done by vardeko_windows_finish() once the plug-in targets exist.

include_guard (GLOBAL)

set (VARDEKO_WINDOWS_DEPS "" CACHE PATH
    "Prefix holding libpng and libjpeg built for Windows (scripts/windows builds them into build-windows/deps)")

# Debian's JUCE leaves out its bundled libpng, libjpeg and zlib and includes the system's
# headers instead, which a Windows target does not have: they come from VARDEKO_WINDOWS_DEPS
# (libpng, libjpeg) and Debian's mingw-w64 zlib. vardeko_add_juce_library links this target.
function (_vardeko_windows_image_libs)
    if (VARDEKO_WINDOWS_DEPS)
        list (APPEND CMAKE_FIND_ROOT_PATH "${VARDEKO_WINDOWS_DEPS}")
        list (APPEND CMAKE_PREFIX_PATH "${VARDEKO_WINDOWS_DEPS}")
    endif()

    # Static archives only: the plug-in must not need DLLs that Windows does not ship.
    if (MINGW)
        set (CMAKE_FIND_LIBRARY_SUFFIXES .a)
    endif()

    find_package (ZLIB REQUIRED)
    find_package (PNG REQUIRED)
    find_package (JPEG REQUIRED)

    add_library (vardeko_windows_image_libs INTERFACE)
    target_link_libraries (vardeko_windows_image_libs INTERFACE PNG::PNG JPEG::JPEG ZLIB::ZLIB)
endfunction()

_vardeko_windows_image_libs()

# A version resource for a plug-in binary or app. JUCE gives one only to its app targets, and
# leaves some of its fields empty.
function (vardeko_add_version_resource target shared_target)
    get_target_property (company ${shared_target} JUCE_COMPANY_NAME)
    get_target_property (product ${shared_target} JUCE_PRODUCT_NAME)
    get_target_property (version ${shared_target} JUCE_VERSION)

    if (NOT version MATCHES "^([0-9]+)\\.([0-9]+)\\.([0-9]+)$")
        message (FATAL_ERROR "vardeko_add_version_resource: version \"${version}\" is not major.minor.patch")
    endif()

    set (VARDEKO_RC_VERSION_NUMBERS "${CMAKE_MATCH_1},${CMAKE_MATCH_2},${CMAKE_MATCH_3},0")
    set (VARDEKO_RC_VERSION "${version}")

    # Resource strings escape a double quote by doubling it.
    string (REPLACE "\"" "\"\"" VARDEKO_RC_COMPANY "${company}")
    string (REPLACE "\"" "\"\"" VARDEKO_RC_PRODUCT "${product}")

    get_target_property (type ${target} TYPE)

    if (type STREQUAL "EXECUTABLE")
        set (VARDEKO_RC_FILE_TYPE VFT_APP)
    else()
        set (VARDEKO_RC_FILE_TYPE VFT_DLL)
    endif()

    # The file name is only known at generation time (VST3 and AAX use their own extensions).
    set (VARDEKO_RC_FILE_NAME "$<TARGET_FILE_NAME:${target}>")

    set (folder "${CMAKE_CURRENT_BINARY_DIR}/${target}_version")
    set (rc_file "${folder}/version.rc")
    configure_file ("${PROJECT_SOURCE_DIR}/cmake/VardekoVersion.rc.in" "${folder}/version.rc.in" @ONLY)
    file (GENERATE OUTPUT "${rc_file}" INPUT "${folder}/version.rc.in")

    if (type STREQUAL "EXECUTABLE")
        # JUCE compiles its own resources.rc into apps, with a fixed product version of 0.0.0.0
        # and no file type: ours replaces it. (windres loses the quotes of a path given in
        # JUCE_USER_DEFINED_RC_FILE, JUCE's own way of replacing it.)
        get_target_property (juce_code ${shared_target} JUCE_GENERATED_SOURCES_DIRECTORY)
        get_target_property (sources ${target} SOURCES)
        list (REMOVE_ITEM sources "${juce_code}/resources.rc")
        set_target_properties (${target} PROPERTIES SOURCES "${sources}")
    endif()

    target_sources (${target} PRIVATE "${rc_file}")
endfunction()

# Called once the plug-in targets exist.
function (vardeko_windows_finish shared_target)
    foreach (format VST3 VST AAX Standalone)
        if (TARGET ${shared_target}_${format})
            vardeko_add_version_resource (${shared_target}_${format} ${shared_target})
        endif()
    endforeach()

    # A cross build has no GoogleTest for the target, so the unit tests and benchmarks stay
    # off there; the programs that check the plug-in from the outside are built all the same.
    if (NOT VARDEKO_BUILD_TESTS)
        add_subdirectory ("${PROJECT_SOURCE_DIR}/tests/host" "${PROJECT_BINARY_DIR}/tests/host")
    endif()

    add_subdirectory ("${PROJECT_SOURCE_DIR}/tests/windows" "${PROJECT_BINARY_DIR}/tests/windows")

    # Where scripts/windows finds what it checks, and the version the binaries must carry.
    set (artefacts "version=${PROJECT_VERSION}\n")

    foreach (entry vst3:VST3 vst2:VST aax:AAX standalone:Standalone)
        string (REPLACE ":" ";" entry "${entry}")
        list (GET entry 0 key)
        list (GET entry 1 format)

        if (TARGET ${shared_target}_${format})
            string (APPEND artefacts "${key}=$<TARGET_FILE:${shared_target}_${format}>\n")
        endif()
    endforeach()

    foreach (program hosttest wincheck)
        if (TARGET vardeko-${program})
            string (APPEND artefacts "${program}=$<TARGET_FILE:vardeko-${program}>\n")
        endif()
    endforeach()

    file (GENERATE OUTPUT "${PROJECT_BINARY_DIR}/windows-artefacts-$<CONFIG>.txt" CONTENT "${artefacts}")
endfunction()
