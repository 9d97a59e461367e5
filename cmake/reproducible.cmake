# The time of every package's files and archives: SOURCE_DATE_EPOCH as the
# environment gives it, else the time of the commit that is built, so that
# the same commit makes the same bytes wherever and whenever it is built.
# With SORANIKA_REPRODUCIBLE the build also leaves the paths of its folders
# out of what it compiles, and, for Windows, the link time out of the
# program's header.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(SORANIKA_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
    find_package(Git QUIET)
    if(Git_FOUND)
        execute_process(COMMAND ${GIT_EXECUTABLE} -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
            OUTPUT_VARIABLE SORANIKA_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
            ERROR_QUIET RESULT_VARIABLE git_failed)
    endif()
    if(NOT Git_FOUND OR git_failed OR NOT SORANIKA_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
        # Not a checkout: the release's own date (2026-01-01).
        set(SORANIKA_SOURCE_DATE_EPOCH 1767225600)
    endif()
endif()

if(SORANIKA_REPRODUCIBLE)
    add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=soranika
        -ffile-prefix-map=${PROJECT_BINARY_DIR}=build)
    if(MINGW)
        add_link_options(-Wl,--no-insert-timestamp)
    endif()
endif()
