# The licence texts of the Windows packages, as .txt with CRLF:
#   cmake -DTEXTS=folder -DLICENSE=LICENSE -DQT=<Qt for Windows prefix>
#         -DCXX=<the MinGW-w64 compiler> -P texts.cmake
# LICENSE.txt (ソラニカ's), licenses/Qt-LGPL-3.0.txt and GPL-3.0.txt (Debian's
# common licences), licenses/Qt-source.txt (how the Qt DLLs were built and
# where their source is). THIRD-PARTY-NOTICES.txt, made by notices.cmake
# before, is only given CRLF.
function(crlf from to)
    file(READ ${from} text)
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE ${to} "${text}")
endfunction()

crlf(${LICENSE} ${TEXTS}/LICENSE.txt)
crlf(/usr/share/common-licenses/LGPL-3 ${TEXTS}/licenses/Qt-LGPL-3.0.txt)
crlf(/usr/share/common-licenses/GPL-3 ${TEXTS}/licenses/GPL-3.0.txt)

file(STRINGS ${QT}/soranika-qt-build.txt build)
list(GET build 0 first)
string(REGEX REPLACE "^Qt ([^ ]+) .*" "\\1" qt_version "${first}")
string(REGEX REPLACE "\\+.*" "" qt_upstream "${qt_version}")
list(FILTER build INCLUDE REGEX "^configure options: ")
string(REPLACE "configure options: " "  configure " options "${build}")
execute_process(COMMAND ${CXX} -dumpversion OUTPUT_VARIABLE gcc OUTPUT_STRIP_TRAILING_WHITESPACE)
file(WRITE ${TEXTS}/licenses/Qt-source.txt.new
"ソラニカ uses Qt ${qt_upstream} (https://www.qt.io/),
licensed under the GNU Lesser General Public License version 3
(Qt-LGPL-3.0.txt, with GPL-3.0.txt). The Qt DLLs and plugins here are
unmodified builds of Debian's qt6-base source package; get the same source
with `apt-get source qt6-base=${qt_version}` on Debian 12
(bookworm), or from https://snapshot.debian.org/package/qt6-base/.
They were built with MinGW-w64 (GCC ${gcc},
posix threads) by cmake/windows-qt.sh of ソラニカ's source, with:

${options}

To use a Qt of your own, build it with the same options and put its
Qt6Core.dll, Qt6Gui.dll, Qt6Widgets.dll, platforms\\qwindows.dll and
styles\\qwindowsvistastyle.dll in place of these.
")
crlf(${TEXTS}/licenses/Qt-source.txt.new ${TEXTS}/licenses/Qt-source.txt)
file(REMOVE ${TEXTS}/licenses/Qt-source.txt.new)
