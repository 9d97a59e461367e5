# The web edition publishes the page's files and nothing else: the service
# worker keeps and the zip holds exactly the files of the build's list, in
# the build's site folder and in a copy of it with stray files beside them.
#   cmake -DSITE=<site> -DFILES=<site-files.txt> -DZIP=<web zip> -DWEB=<web/>
#         -DZIP_SCRIPT=<cmake/zip.cmake> -DOUT=<folder> -DVERSION=<x.y.z>
#         -P site_files.cmake
file(STRINGS ${FILES} listed)
list(SORT listed)
set(kept ${listed})
list(REMOVE_ITEM kept sw.js)
list(PREPEND kept ./)

# What a service worker keeps, and what a zip holds, sorted.
function(read_kept sw out)
    file(READ ${sw} text)
    string(REGEX MATCH "const FILES = \\[([^]]*)\\];" found "${text}")
    string(REGEX MATCHALL "'[^']*'" files "${CMAKE_MATCH_1}")
    list(TRANSFORM files REPLACE "^'(.*)'$" "\\1")
    set(${out} ${files} PARENT_SCOPE)
endfunction()
function(read_zipped zip out)
    execute_process(COMMAND ${CMAKE_COMMAND} -E tar tf ${zip}
        OUTPUT_VARIABLE files COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX REPLACE "\n$" "" files "${files}")
    string(REPLACE "\n" ";" files "${files}")
    list(FILTER files EXCLUDE REGEX "/$")
    list(SORT files)
    set(${out} ${files} PARENT_SCOPE)
endfunction()
function(expect what actual wanted)
    if(NOT "${actual}" STREQUAL "${wanted}")
        message(SEND_ERROR "${what}:\n  ${actual}\nwanted:\n  ${wanted}")
    endif()
endfunction()

read_kept(${SITE}/sw.js files)
expect("the build's service worker keeps" "${files}" "${kept}")
read_zipped(${ZIP} files)
expect("the build's zip holds" "${files}" "${listed}")

# A file an earlier build left, at the top and among the icons.
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
file(COPY ${SITE} DESTINATION ${OUT})
file(WRITE ${OUT}/site/left-over.js "// an earlier build's\n")
file(WRITE ${OUT}/site/icons/left-over.png "")
execute_process(COMMAND ${CMAKE_COMMAND} -DSITE=${OUT}/site -DFILES=${FILES}
    -DTEMPLATE=${WEB}/sw.js.in -DVERSION=${VERSION} -P ${WEB}/precache.cmake
    COMMAND_ERROR_IS_FATAL ANY)
read_kept(${OUT}/site/sw.js files)
expect("with stray files, the service worker keeps" "${files}" "${kept}")
# The same files, the same cache.
file(READ ${SITE}/sw.js built)
file(READ ${OUT}/site/sw.js made)
expect("the service worker made beside stray files" "${made}" "${built}")
execute_process(COMMAND ${CMAKE_COMMAND} -DFOLDER=${OUT}/site -DFILES=${FILES}
    -DZIP=${OUT}/web.zip -DEPOCH=1700000000 -P ${ZIP_SCRIPT} COMMAND_ERROR_IS_FATAL ANY)
read_zipped(${OUT}/web.zip files)
expect("with stray files, the zip holds" "${files}" "${listed}")
file(REMOVE_RECURSE ${OUT})
