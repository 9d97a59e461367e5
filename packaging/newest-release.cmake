# Fails unless the first <release> of the AppStream metadata is VERSION:
#   cmake -DMETAINFO=<file> -DVERSION=<x.y.z> -P newest-release.cmake
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
