# Fails unless the first <release> of the AppStream metadata and the first
# entry of the Debian changelog are VERSION:
#   cmake -DMETAINFO=<file> -DCHANGELOG=<file> -DVERSION=<x.y.z> -P newest-release.cmake

# The first version in FILE is the first group of PATTERN; SOURCE is where
# a release is added.
function(expect_newest file pattern what source)
    file(READ "${file}" text)
    if(NOT text MATCHES "${pattern}")
        message(FATAL_ERROR "${file}: no ${what} with a version")
    endif()
    if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
        message(FATAL_ERROR "${file}: the newest ${what} is ${CMAKE_MATCH_1}, "
            "the project is ${VERSION}; add one for ${VERSION} to ${source}")
    endif()
    message(STATUS "newest ${what} ${CMAKE_MATCH_1}")
endfunction()

expect_newest("${METAINFO}" "<release[^>]* version=\"([^\"]*)\"" "<release>"
    packaging/soranika.metainfo.xml.in)
expect_newest("${CHANGELOG}" "^soranika \\(([^)]*)\\)" "changelog entry"
    packaging/debian/changelog)
