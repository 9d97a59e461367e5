# The one Windows build of ソラニカ (SORANIKA_WINDOWS): this source tree
# configured once more with MinGW-w64 against a Qt for Windows, in windows/
# under this build folder. It builds the program, every registered test
# program, the platform test, the screenshot tool and the packages (zip and
# .msi); the Wine tests (tests/wine) and scripts/package.sh windows both use
# it.
# - windows_qt builds Qt for Windows once per machine (cmake/windows-qt.sh,
#   about half an hour on two cores), then finds it in its cache;
# - soranika_windows builds this project for Windows against it: the
#   program, and its packages from its install (packaging/windows); with
#   the tests, every test program too.

# What the Windows build and its tests need, found before anything is built.
set(install_hint "Install them with `scripts/install-deps.sh test windows`, or configure with -DSORANIKA_WINDOWS=OFF.")
find_program(SORANIKA_MINGW_CXX x86_64-w64-mingw32-g++-posix)
find_program(SORANIKA_WINE wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(SORANIKA_WINE wine64)
find_program(SORANIKA_WINESERVER NAMES wineserver64 wineserver PATHS /usr/lib/wine NO_DEFAULT_PATH)
find_program(SORANIKA_WINESERVER NAMES wineserver64 wineserver)
set(missing)
foreach(tool SORANIKA_MINGW_CXX SORANIKA_WINE SORANIKA_WINESERVER)
    if(NOT ${tool} AND (SORANIKA_TESTS OR tool STREQUAL SORANIKA_MINGW_CXX))
        list(APPEND missing ${tool})
    endif()
endforeach()
# The packages need these; the tests under Wine the rest.
set(tools dpkg-source zip wixl msibuild msiinfo faketime)
if(SORANIKA_SIGN)
    list(APPEND tools osslsigncode)
endif()
if(SORANIKA_TESTS)
    list(APPEND tools unzip xdotool Xvfb openbox xwd msiextract lnkinfo osslsigncode openssl)
endif()
soranika_find_programs(missing_tools ${tools})
list(APPEND missing ${missing_tools})
if(missing)
    message(FATAL_ERROR "The Windows build (SORANIKA_WINDOWS) needs what is missing here: ${missing}. ${install_hint}")
endif()

execute_process(
    COMMAND ${PROJECT_SOURCE_DIR}/cmake/windows-qt.sh --prefix
    OUTPUT_VARIABLE windows_qt OUTPUT_STRIP_TRAILING_WHITESPACE
    COMMAND_ERROR_IS_FATAL ANY)
add_custom_target(windows_qt
    COMMAND ${PROJECT_SOURCE_DIR}/cmake/windows-qt.sh
    COMMENT "Qt for Windows (built once, then taken from ${windows_qt})"
    USES_TERMINAL)

include(ExternalProject)
set(windows_build ${PROJECT_BINARY_DIR}/windows)
set(windows_bin ${windows_build}/bin)
set(windows_package_name soranika-${PROJECT_VERSION}-windows-x86_64)
set(windows_stage ${windows_build}/package/${windows_package_name})
set(windows_zip ${windows_build}/package/${windows_package_name}.zip)
set(windows_msi ${windows_build}/package/${windows_package_name}.msi)
set(windows_manifest ${windows_build}/package/install_manifest.txt)
# The programs and tools the tests run, where there are tests; the packages
# always (made again only when what they hold changed). The settings that a
# release or the test build may change are given again at every build.
set(windows_targets windows_package)
if(SORANIKA_TESTS)
    list(PREPEND windows_targets windows_programs)
endif()
set(windows_settings
    -DSORANIKA_TESTS=${SORANIKA_TESTS}
    -DSORANIKA_SIGN=${SORANIKA_SIGN}
    -DSORANIKA_CONTACT=${SORANIKA_CONTACT}
    -DSORANIKA_PUBLISHER=${SORANIKA_PUBLISHER}
    -DSORANIKA_HELP_URL=${SORANIKA_HELP_URL}
    -DSORANIKA_RELEASE_PACKAGE=${SORANIKA_RELEASE_PACKAGE})
ExternalProject_Add(soranika_windows
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${windows_build}
    PREFIX ${PROJECT_BINARY_DIR}/windows-ep
    CMAKE_GENERATOR ${CMAKE_GENERATOR}
    CMAKE_ARGS
        -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64-x86_64.cmake
        -DSORANIKA_WINDOWS_QT=${windows_qt}
        -DCMAKE_MAKE_PROGRAM=${CMAKE_MAKE_PROGRAM}
        -DCMAKE_BUILD_TYPE=Release
        -DSORANIKA_REPRODUCIBLE=ON
        ${windows_settings}
    BUILD_COMMAND ${CMAKE_COMMAND} ${windows_settings} ${windows_build}
        COMMAND ${CMAKE_COMMAND} --build ${windows_build} --target ${windows_targets}
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    DEPENDS windows_qt
    USES_TERMINAL_BUILD OFF)

# A Windows program under Wine, in a prefix of its own (the prefix's path
# follows).
set(windows_run ${PROJECT_SOURCE_DIR}/tests/wine/run-under-wine.sh
    ${SORANIKA_WINE} ${SORANIKA_WINESERVER})
