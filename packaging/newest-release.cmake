# Fails unless the first <release> of the AppStream metadata and the first
# entry of the Debian changelog are VERSION:
#   cmake -DMETAINFO=<file> -DCHANGELOG=<file> -DVERSION=<x.y.z> -P newest-release.cmake
file(READ "${METAINFO}" text)
if(NOT text MATCHES "<release[^>]* version=\"([^\"]*)\"")
    message(FATAL_ERROR "${METAINFO}: no <release> with a version")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
    message(FATAL_ERROR "${METAINFO}: the newest release is ${CMAKE_MATCH_1}, "
        "the project is ${VERSION}; add a <release> for ${VERSION} to "
        "packaging/soranika.metainfo.xml.in")
endif()
message(STATUS "newest release ${CMAKE_MATCH_1}")

file(STRINGS "${CHANGELOG}" first_line LIMIT_COUNT 1)
if(NOT first_line MATCHES "^soranika \\(([^)]*)\\)")
    message(FATAL_ERROR "${CHANGELOG}: the first line names no version of soranika")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
    message(FATAL_ERROR "${CHANGELOG}: the newest entry is ${CMAKE_MATCH_1}, "
        "the project is ${VERSION}; add an entry for ${VERSION} to "
        "packaging/debian/changelog")
endif()
message(STATUS "newest changelog entry ${CMAKE_MATCH_1}")
