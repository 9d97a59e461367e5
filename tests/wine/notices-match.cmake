# The notices of the Windows packages against what the Qt build configured:
#   cmake -DQT=<Qt for Windows prefix> -DNOTICES=THIRD-PARTY-NOTICES.txt
#         -DSTAGE=<staged files> -P notices-match.cmake
# Every third-party library that the Qt build took from its own source
# instead of the system (QT_FEATURE_system_X -1 with QT_FEATURE_X 1 in its
# configured headers), and every part Qt Core always holds, has its notice,
# with its licence text; a library the build left out (QT_FEATURE_X -1) has
# none; winpthreads and the GCC runtime have theirs; the packages hold the
# notices.
cmake_policy(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/qt-features.cmake)
soranika_qt_features(${QT})
file(READ ${NOTICES} notices)
file(STRINGS ${NOTICES}.parts parts)
set(failures 0)
macro(fail text)
    message(SEND_ERROR "${text}")
    math(EXPR failures "${failures} + 1")
endmacro()

# The bundled libraries: feature, the notice's Id, a line of its licence.
set(bundled
    "zlib|zlib|This software is provided 'as-is'"
    "pcre2|pcre2|PCRE2 LICENCE"
    "harfbuzz|harfbuzz-ng|HarfBuzz is licensed under the so-called"
    "png|libpng|COPYRIGHT NOTICE, DISCLAIMER, and LICENSE"
    "doubleconversion|doubleconversion|Redistribution and use in source and binary forms"
    "textmarkdownreader|md4c|Permission is hereby granted"
    "freetype|freetype|The FreeType Project LICENSE"
    "jpeg|libjpeg|Independent JPEG Group")
foreach(row IN LISTS bundled)
    string(REPLACE "|" ";" row "${row}")
    list(GET row 0 feature)
    list(GET row 1 id)
    list(GET row 2 line)
    set(on ${feature_${feature}})
    if(feature STREQUAL "zlib")
        set(on 1) # always built, from Qt's copy or the system's
    elseif(feature STREQUAL "pcre2")
        set(on ${feature_regularexpression})
    endif()
    if(on STREQUAL "1" AND NOT feature_system_${feature} STREQUAL "1")
        list(FIND parts ${id} at)
        string(FIND "${notices}" "${line}" text)
        if(at LESS 0 OR text LESS 0)
            fail("the Qt build has its own ${feature}, but the notices lack ${id} or its licence")
        endif()
    elseif(${id} IN_LIST parts)
        fail("the notices name ${id}, which the Qt build does not ship")
    endif()
endforeach()
foreach(id blake2 easing md4 md5 rfc6234 sha1 sha3_keccak tinycbor unicode-character-database
        unicode-cldr winpthreads gcc-runtime)
    if(NOT id IN_LIST parts)
        fail("the notices lack ${id}, which the Windows packages ship")
    endif()
endforeach()
foreach(line "GCC RUNTIME LIBRARY EXCEPTION" "Files: mingw-w64-libraries/winpthreads/*")
    string(FIND "${notices}" "${line}" at)
    if(at LESS 0)
        fail("the notices lack '${line}'")
    endif()
endforeach()
file(READ ${STAGE}/THIRD-PARTY-NOTICES.txt staged)
if(NOT staged STREQUAL notices)
    fail("the packages do not hold the notices")
endif()
if(failures)
    message(FATAL_ERROR "${failures} failures")
endif()
list(LENGTH parts count)
message("THIRD-PARTY-NOTICES.txt: ${count} parts, each with its licence")
