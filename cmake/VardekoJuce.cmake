# Compiles a set of JUCE modules once into a static library and re-exports what their users
# need (include folders, module flags, system libraries) without re-exporting the module
# sources, so that nothing that links the library compiles JUCE a second time.
#
#   vardeko_add_juce_library (<name> MODULES <juce::module>... [DEFINITIONS <def>...]
#                             [BASE <base name> BASE_MODULES <module>...])
#
# With BASE, the objects of BASE_MODULES (for example juce_core and juce_events) go into a
# library of their own, <base name>, which <name> links: code that may use only those modules
# links <base name> alone, so that a call into any other module fails to link. Both are compiled
# together, with the same flags.

set (VARDEKO_JUCE_CONFIG_FLAGS
    JUCE_WEB_BROWSER=0
    JUCE_USE_CURL=0
    JUCE_USE_FLAC=0
    JUCE_USE_OGGVORBIS=0
    JUCE_DISPLAY_SPLASH_SCREEN=0
    JUCE_REPORT_APP_USAGE=0
    JUCE_STRICT_REFCOUNTEDPOINTER=1
    JUCE_VST3_CAN_REPLACE_VST2=1
    JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1
    $<IF:$<CONFIG:Debug>,DEBUG=1 _DEBUG=1,NDEBUG=1 _NDEBUG=1>
    # Debug builds would print the JUCE version on stderr at start-up, into the renderer's
    # output.
    $<$<CONFIG:Debug>:JUCE_DISABLE_JUCE_VERSION_PRINTING=1>)

# Walks the module graph: modules (targets with sources) are recorded by name, everything
# else they link (system libraries, header-only SDK targets) is collected for re-export.
function (_vardeko_collect_juce_deps items modules_var libs_var)
    set (modules ${${modules_var}})
    set (libs ${${libs_var}})

    foreach (item IN LISTS items)
        set (target_name "${item}")
        if (TARGET "${item}")
            get_target_property (aliased "${item}" ALIASED_TARGET)
            if (aliased)
                set (target_name "${aliased}")
            endif()
            get_target_property (module_path "${target_name}" INTERFACE_JUCE_MODULE_PATH)
        else()
            set (module_path NOTFOUND)
        endif()

        if (module_path)
            string (REPLACE "juce::" "" bare "${target_name}")
            if (NOT bare IN_LIST modules)
                list (APPEND modules "${bare}")
                get_target_property (deps "${target_name}" INTERFACE_LINK_LIBRARIES)
                if (deps)
                    _vardeko_collect_juce_deps ("${deps}" modules libs)
                endif()
            endif()
        elseif (NOT item IN_LIST libs)
            list (APPEND libs "${item}")
        endif()
    endforeach()

    set (${modules_var} ${modules} PARENT_SCOPE)
    set (${libs_var} ${libs} PARENT_SCOPE)
endfunction()

function (vardeko_add_juce_library name)
    cmake_parse_arguments (ARG "" "BASE" "MODULES;DEFINITIONS;BASE_MODULES" ${ARGN})

    if (ARG_BASE)
        set (compiled ${name}Objects)
        add_library (${compiled} OBJECT)
    else()
        set (compiled ${name})
        add_library (${compiled} STATIC)
    endif()

    target_link_libraries (${compiled} PRIVATE ${ARG_MODULES} juce::juce_recommended_config_flags)

    set (modules_seen)
    set (system_libs)
    _vardeko_collect_juce_deps ("${ARG_MODULES}" modules_seen system_libs)

    set (module_flags)
    foreach (module IN LISTS modules_seen)
        list (APPEND module_flags JUCE_MODULE_AVAILABLE_${module}=1)
    endforeach()

    set_target_properties (${compiled} PROPERTIES POSITION_INDEPENDENT_CODE ON)

    # JUCE's own sources are not ours to fix: keep their warnings out of our logs.
    target_compile_options (${compiled} PRIVATE $<$<CXX_COMPILER_ID:GNU,Clang>:-w>)

    # Whoever compiles against the modules gets what they need; the libraries below re-export it.
    if (ARG_BASE)
        set (exporter ${ARG_BASE})
        list (JOIN ARG_BASE_MODULES "|" base_pattern)
        set (base_pattern "/(${base_pattern})/")
        add_library (${ARG_BASE} STATIC $<FILTER:$<TARGET_OBJECTS:${compiled}>,INCLUDE,${base_pattern}>)
        add_library (${name} STATIC $<FILTER:$<TARGET_OBJECTS:${compiled}>,EXCLUDE,${base_pattern}>)
        target_link_libraries (${name} PUBLIC ${ARG_BASE})
        target_compile_definitions (${compiled} PRIVATE ${VARDEKO_JUCE_CONFIG_FLAGS} ${module_flags} ${ARG_DEFINITIONS})
        target_include_directories (${compiled} PRIVATE "${JUCE_MODULES_DIR}")
    else()
        set (exporter ${name})
    endif()

    target_compile_definitions (${exporter}
        PUBLIC ${VARDEKO_JUCE_CONFIG_FLAGS} ${module_flags} ${ARG_DEFINITIONS})
    target_include_directories (${exporter} PUBLIC "${JUCE_MODULES_DIR}")

    set (image_libs)

    if (TARGET juce::pkgconfig_JUCE_IMG_LINUX_DEPS)
        list (APPEND image_libs juce::pkgconfig_JUCE_IMG_LINUX_DEPS)
    endif()

    # Windows: the same libraries, found by cmake/VardekoWindows.cmake.
    if (TARGET vardeko_windows_image_libs)
        list (APPEND image_libs vardeko_windows_image_libs)
    endif()

    target_link_libraries (${exporter} PUBLIC ${system_libs} ${image_libs})

    # The split modules compile with what their users get.
    if (ARG_BASE)
        target_link_libraries (${compiled} PRIVATE ${system_libs} ${image_libs})
    endif()
endfunction()

# Warning flags for our own code.
add_library (vardeko_warnings INTERFACE)
target_link_libraries (vardeko_warnings INTERFACE juce::juce_recommended_warning_flags)
