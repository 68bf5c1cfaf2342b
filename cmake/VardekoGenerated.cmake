# Files that a generator of this project makes at build time (the artwork, the diode tables) can
# be taken from another build of the same source instead of building and running the generator
# again: the sanitizer and Windows builds take the main build's (scripts/sanitized-build,
# scripts/tsan and scripts/windows pass it when there is one), which are the same files. Without
# it every build makes its own, as before.
#
#   vardeko_copy_generated (<folder> <files> <result>)
#       When VARDEKO_GENERATED_FROM is set, adds the rule that copies <files> (in <folder>, a
#       folder of this build) from the same folder of that build, and sets <result> to TRUE.

include_guard (GLOBAL)

set (VARDEKO_GENERATED_FROM "" CACHE PATH "A build folder of this source whose generated artwork and diode tables are copied instead of generated here")

function (vardeko_copy_generated folder files result)
    set (${result} FALSE PARENT_SCOPE)

    if (NOT VARDEKO_GENERATED_FROM)
        return()
    endif()

    file (RELATIVE_PATH relative "${PROJECT_BINARY_DIR}" "${folder}")
    set (sources)

    foreach (file IN LISTS files)
        get_filename_component (name "${file}" NAME)
        list (APPEND sources "${VARDEKO_GENERATED_FROM}/${relative}/${name}")
    endforeach()

    add_custom_command (OUTPUT ${files}
        COMMAND "${CMAKE_COMMAND}" -E make_directory "${folder}"
        COMMAND "${CMAKE_COMMAND}" -E copy ${sources} "${folder}"
        DEPENDS ${sources}
        COMMENT "Taking ${relative} from ${VARDEKO_GENERATED_FROM}"
        VERBATIM)

    set (${result} TRUE PARENT_SCOPE)
endfunction()
