# Sanitizer builds (scripts/sanitized-build, scripts/tsan): -DVARDEKO_SANITIZE=address,undefined or
# =thread instruments every target of the build, the JUCE modules included, so that the thread
# sanitizer sees their locks and the address sanitizer their buffers. The generators that run
# during the build are built plainly instead (tools/artgen, tools/tablegen), and so are JUCE's
# own helpers that load the plug-in; the plug-in bundles are not meant to be built here.

set (VARDEKO_SANITIZE "" CACHE STRING "Sanitizers for every target: address,undefined or thread (empty: none)")

# Targets that run during the build or load the plug-in into an uninstrumented process.
set (VARDEKO_UNSANITIZED_TARGETS vardeko_tablegen vardeko-artgen)

function (_vardeko_collect_targets directory result)
    get_property (targets DIRECTORY "${directory}" PROPERTY BUILDSYSTEM_TARGETS)
    get_property (subdirectories DIRECTORY "${directory}" PROPERTY SUBDIRECTORIES)

    foreach (subdirectory IN LISTS subdirectories)
        _vardeko_collect_targets ("${subdirectory}" nested)
        list (APPEND targets ${nested})
    endforeach()

    set (${result} ${targets} PARENT_SCOPE)
endfunction()

function (vardeko_apply_sanitizers)
    if (NOT VARDEKO_SANITIZE)
        return()
    endif()

    set (flags -fsanitize=${VARDEKO_SANITIZE} -fno-omit-frame-pointer)

    # Every finding ends the run (UBSan would otherwise report and carry on).
    if (VARDEKO_SANITIZE MATCHES "undefined")
        list (APPEND flags -fno-sanitize-recover=all)
    endif()

    _vardeko_collect_targets ("${PROJECT_SOURCE_DIR}" targets)

    foreach (target IN LISTS targets)
        get_target_property (type ${target} TYPE)

        if (target IN_LIST VARDEKO_UNSANITIZED_TARGETS OR target MATCHES "^juce_"
            OR NOT type MATCHES "^(EXECUTABLE|STATIC_LIBRARY|SHARED_LIBRARY|MODULE_LIBRARY|OBJECT_LIBRARY)$")
            continue()
        endif()

        target_compile_options (${target} PRIVATE $<$<COMPILE_LANGUAGE:C,CXX>:${flags}>)

        if (NOT type MATCHES "^(STATIC_LIBRARY|OBJECT_LIBRARY)$")
            target_link_options (${target} PRIVATE ${flags})
        endif()
    endforeach()
endfunction()
