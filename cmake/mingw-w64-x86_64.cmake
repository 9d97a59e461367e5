# Cross-compiling for 64-bit Windows with MinGW-w64 (Debian's
# g++-mingw-w64-x86-64): cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
#
# The posix-thread compilers: Qt needs std::thread and std::mutex, and the
# program must use the same C++ runtime as the Qt DLLs it loads.
#
# A Qt built for Windows by cmake/windows-qt.sh lives outside the MinGW
# root; name its prefix with -DSORANIKA_WINDOWS_QT=DIR and it is searched as
# a second root, with the moc, rcc and uic of the host's Qt.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SORANIKA_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SORANIKA_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SORANIKA_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${SORANIKA_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SORANIKA_MINGW_PREFIX})
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SORANIKA_WINDOWS_QT)
if(SORANIKA_WINDOWS_QT)
    list(APPEND CMAKE_FIND_ROOT_PATH ${SORANIKA_WINDOWS_QT})
    list(APPEND CMAKE_PREFIX_PATH ${SORANIKA_WINDOWS_QT})
    set(QT_HOST_PATH /usr CACHE PATH "The host's Qt, for moc, rcc and uic")
    set(QT_HOST_PATH_CMAKE_DIR /usr/lib/${CMAKE_HOST_SYSTEM_PROCESSOR}-linux-gnu/cmake
        CACHE PATH "The host Qt's CMake packages")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
