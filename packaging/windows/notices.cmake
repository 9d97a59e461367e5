# The notices that the licences of the third-party code in the Windows
# packages ask for, made from the sources at build time:
#   cmake -DQT=<Qt for Windows prefix> -DTABLE=qt-third-party.txt
#         -DMINGW_COPYRIGHT=<Debian's copyright of MinGW-w64's headers and libraries>
#         -DGCC_COPYRIGHT=<Debian's copyright of MinGW-w64's GCC>
#         -DVERSION=x.y.z -DOUT=THIRD-PARTY-NOTICES.txt -P notices.cmake
# - the parts of Qt's source built into the DLLs and plugins: every
#   qt_attribution.json that cmake/windows-qt.sh kept (QT/soranika-attributions)
#   whose part TABLE says the Windows Qt build ships, by the features it was
#   configured with (QT/include/**/*config*.h), with its licence texts;
# - MinGW-w64's winpthreads (libwinpthread-1.dll): its paragraphs of
#   Debian's machine-readable copyright file, with their licence texts;
# - the GCC runtime (libstdc++-6.dll, libgcc_s_seh-1.dll): GPL 3 with the
#   GCC Runtime Library Exception, whose text comes from Debian's copyright.
# The list of shipped parts is also written to OUT.parts, one Id a line.

# The features of the Qt build.
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/qt-features.cmake)
soranika_qt_features(${QT})

# Whether the table says that a part is shipped.
file(STRINGS ${TABLE} rows REGEX "^[^#]")
# An Id ending in * stands for every Id that begins with what comes before.
set(prefixes)
foreach(row IN LISTS rows)
    string(REGEX REPLACE "[ \t]+" ";" row "${row}")
    list(POP_FRONT row id)
    if(id MATCHES "^(.+)\\*$")
        set(id ${CMAKE_MATCH_1})
        list(APPEND prefixes ${id})
    endif()
    set(when_${id} "${row}")
endforeach()
function(shipped id out)
    foreach(prefix IN LISTS prefixes)
        string(FIND "${id}" "${prefix}" at)
        if(at EQUAL 0 AND NOT DEFINED when_${id})
            set(when_${id} "${when_${prefix}}")
        endif()
    endforeach()
    if(NOT DEFINED when_${id})
        message(FATAL_ERROR "${TABLE} does not say whether the Windows packages ship '${id}'")
    endif()
    set(${out} FALSE PARENT_SCOPE)
    foreach(condition IN LISTS when_${id})
        if(condition STREQUAL "never")
            return()
        elseif(condition STREQUAL "always")
            continue()
        endif()
        string(REPLACE "=" ";" condition "${condition}")
        list(GET condition 0 name)
        list(GET condition 1 value)
        if(NOT DEFINED feature_${name})
            message(FATAL_ERROR "${TABLE}: the Qt build has no feature '${name}' (for '${id}')")
        endif()
        if(NOT feature_${name} STREQUAL value)
            return()
        endif()
    endforeach()
    set(${out} TRUE PARENT_SCOPE)
endfunction()

# A JSON value as text: a string, or an array of strings one a line.
function(json_text json key out)
    string(JSON type ERROR_VARIABLE missing TYPE "${json}" ${key})
    set(text "")
    if(missing)
    elseif(type STREQUAL "ARRAY")
        string(JSON n LENGTH "${json}" ${key})
        math(EXPR n "${n} - 1")
        foreach(i RANGE ${n})
            string(JSON line GET "${json}" ${key} ${i})
            string(APPEND text "${line}\n")
        endforeach()
    else()
        string(JSON text GET "${json}" ${key})
    endif()
    string(STRIP "${text}" text)
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

set(rule "================================================================================")
set(notices "Third-party software in the Windows packages of ソラニカ ${VERSION}\n${rule}\n\n")
string(APPEND notices "ソラニカ itself is under the MIT License (LICENSE.txt). It ships the Qt DLLs\n"
    "and plugins under the GNU Lesser General Public License version 3\n"
    "(licenses/Qt-LGPL-3.0.txt, licenses/GPL-3.0.txt, licenses/Qt-source.txt), and\n"
    "MinGW-w64's C and C++ runtime. These contain the parts below, each with the\n"
    "notice and licence it asks to be passed on.\n")

# Qt's third-party parts, in the order of their Ids.
set(root ${QT}/soranika-attributions)
file(GLOB_RECURSE attributions RELATIVE ${root} ${root}/*/qt_attribution.json)
set(parts)
foreach(attribution IN LISTS attributions)
    file(READ ${root}/${attribution} json)
    get_filename_component(folder ${root}/${attribution} DIRECTORY)
    string(JSON type ERROR_VARIABLE broken TYPE "${json}")
    if(broken)
        message(FATAL_ERROR "${attribution}: ${broken}")
    endif()
    if(NOT type STREQUAL "ARRAY")
        set(json "[${json}]")
    endif()
    string(JSON count LENGTH "${json}")
    math(EXPR count "${count} - 1")
    foreach(i RANGE ${count})
        string(JSON entry GET "${json}" ${i})
        string(JSON id GET "${entry}" Id)
        shipped(${id} ships)
        if(ships)
            list(APPEND parts ${id})
            set(entry_${id} "${entry}")
            set(folder_${id} "${folder}")
        endif()
    endforeach()
endforeach()
list(SORT parts)
foreach(id IN LISTS parts)
    set(entry "${entry_${id}}")
    json_text("${entry}" Name name)
    json_text("${entry}" Version version)
    json_text("${entry}" License license)
    json_text("${entry}" Copyright copyright)
    json_text("${entry}" Homepage homepage)
    json_text("${entry}" QtUsage usage)
    string(APPEND notices "\n\n${rule}\n${name} (${id})")
    if(version)
        string(APPEND notices ", version ${version}")
    endif()
    string(APPEND notices "\nIn Qt: ${usage}\n")
    if(homepage)
        string(APPEND notices "Home page: ${homepage}\n")
    endif()
    string(APPEND notices "License: ${license}\n\n${copyright}\n")
    set(files)
    json_text("${entry}" LicenseFile one)
    json_text("${entry}" LicenseFiles many)
    string(REPLACE "\n" ";" many "${many}")
    foreach(file IN LISTS one many)
        if(file)
            file(READ ${folder_${id}}/${file} text)
            string(STRIP "${text}" text)
            string(APPEND notices "\n${text}\n")
        endif()
    endforeach()
endforeach()

# winpthreads: the paragraphs of Debian's copyright file for its library
# (not its tests), and the licence texts they name. Paragraphs are split at
# blank lines; ';' is kept out of CMake's lists on the way.
file(READ ${MINGW_COPYRIGHT} copyright)
string(REPLACE ";" "<semicolon>" copyright "${copyright}")
string(REGEX REPLACE "\n[ \t]*\n" ";" paragraphs "${copyright}")
set(winpthreads "")
set(licenses)
foreach(paragraph IN LISTS paragraphs)
    if(paragraph MATCHES "^Files: mingw-w64-libraries/winpthreads/"
       AND NOT paragraph MATCHES "tests_pthread")
        string(APPEND winpthreads "\n${paragraph}\n")
        string(REGEX MATCH "\nLicense: ([^\n]+)" license "${paragraph}")
        list(APPEND licenses "${CMAKE_MATCH_1}")
    endif()
endforeach()
list(REMOVE_DUPLICATES licenses)
foreach(license IN LISTS licenses)
    foreach(paragraph IN LISTS paragraphs)
        if(paragraph MATCHES "^License: ${license}\n")
            string(APPEND winpthreads "\n${paragraph}\n")
        endif()
    endforeach()
endforeach()
if(winpthreads STREQUAL "")
    message(FATAL_ERROR "${MINGW_COPYRIGHT}: no paragraph for winpthreads")
endif()
string(REPLACE "<semicolon>" ";" winpthreads "${winpthreads}")
string(APPEND notices "\n\n${rule}\nMinGW-w64 winpthreads (libwinpthread-1.dll)\n"
    "From Debian's copyright file of its MinGW-w64 (mingw-w64-x86-64-dev):\n${winpthreads}")
list(APPEND parts winpthreads)

# The GCC runtime.
file(READ ${GCC_COPYRIGHT} copyright)
if(NOT copyright MATCHES "(GCC RUNTIME LIBRARY EXCEPTION.*requirements of the license of GCC\\.)")
    message(FATAL_ERROR "${GCC_COPYRIGHT}: no GCC Runtime Library Exception")
endif()
string(APPEND notices "\n\n${rule}\nThe GCC runtime libraries (libstdc++-6.dll, libgcc_s_seh-1.dll)\n"
    "Copyright (C) Free Software Foundation, Inc. Licensed under the GNU General\n"
    "Public License version 3 (licenses/GPL-3.0.txt) with the GCC Runtime Library\n"
    "Exception, version 3.1:\n\n${CMAKE_MATCH_1}\n")
list(APPEND parts gcc-runtime)

string(REPLACE "\r\n" "\n" notices "${notices}")
string(REPLACE "\n" "\r\n" notices "${notices}")
file(WRITE ${OUT} "${notices}")
list(JOIN parts "\n" parts)
file(WRITE ${OUT}.parts "${parts}\n")
