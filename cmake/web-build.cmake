# The web edition (SORANIKA_WEB): this source tree configured once more with
# Debian's emscripten, in web/ under this build folder. It builds the pay
# rules into a WebAssembly module and the page around them (web/), in
# web/site, the folder that tests/web serves to Chromium, that
# scripts/run.sh web serves on localhost and that scripts/package.sh web
# zips.

set(install_hint "Install them with `scripts/install-deps.sh web`, or configure with -DSORANIKA_WEB=OFF.")
find_program(SORANIKA_EMCMAKE emcmake)
find_file(SORANIKA_EMSCRIPTEN_TOOLCHAIN Emscripten.cmake
    PATHS /usr/share/emscripten/cmake/Modules/Platform /usr/lib/emscripten/cmake/Modules/Platform
    NO_DEFAULT_PATH)
set(missing)
foreach(tool SORANIKA_EMCMAKE SORANIKA_EMSCRIPTEN_TOOLCHAIN)
    if(NOT ${tool})
        list(APPEND missing ${tool})
    endif()
endforeach()
soranika_find_programs(missing_tools node)
list(APPEND missing ${missing_tools})
if(missing)
    message(FATAL_ERROR "The web edition (SORANIKA_WEB) needs what is missing here: ${missing}. ${install_hint}")
endif()

# Debian's emscripten runs its JavaScript tools with node and finds their
# modules (acorn) in Debian's folder, which a Node.js that is not Debian's own
# does not search.
set(web_env ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)

include(ExternalProject)
set(web_build ${PROJECT_BINARY_DIR}/web)
set(web_site ${web_build}/site)
set(web_zip ${web_build}/package/soranika-${PROJECT_VERSION}-web.zip)
# The contact address is set again at every build, so that the web build
# always has this build's.
ExternalProject_Add(soranika_web
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${web_build}
    PREFIX ${PROJECT_BINARY_DIR}/web-ep
    CONFIGURE_COMMAND ${web_env} ${CMAKE_COMMAND} -S ${PROJECT_SOURCE_DIR} -B ${web_build}
        -G ${CMAKE_GENERATOR}
        -DCMAKE_TOOLCHAIN_FILE=${SORANIKA_EMSCRIPTEN_TOOLCHAIN}
        -DCMAKE_MAKE_PROGRAM=${CMAKE_MAKE_PROGRAM}
        -DCMAKE_BUILD_TYPE=MinSizeRel
        -DSORANIKA_REPRODUCIBLE=ON
    BUILD_COMMAND ${web_env} ${CMAKE_COMMAND} -DSORANIKA_CONTACT=${SORANIKA_CONTACT} ${web_build}
        COMMAND ${web_env} ${CMAKE_COMMAND} --build ${web_build} --target web_site web_package
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    USES_TERMINAL_BUILD OFF)
