# Zips a folder, the same bytes from the same files wherever and whenever:
#   cmake -DFOLDER=dir -DZIP=file.zip -DEPOCH=seconds [-DNAMED=ON] -P zip.cmake
# The files in the order of their names, each with the time EPOCH (seconds
# since 1970, UTC) and no other attributes, with Info-ZIP's zip; at the top
# of the zip FOLDER's files, or with NAMED the folder itself. The files are
# dated in a copy, so that FOLDER's times, which the build goes by, stay.
find_program(ZIP_PROGRAM zip REQUIRED)
get_filename_component(name ${FOLDER} NAME)
get_filename_component(folder ${ZIP} DIRECTORY)
set(copy ${ZIP}.files)
file(REMOVE_RECURSE ${copy})
file(MAKE_DIRECTORY ${copy})
file(COPY ${FOLDER} DESTINATION ${copy})
set(from ${copy}/${name})
file(GLOB_RECURSE files RELATIVE ${from} ${from}/*)
list(SORT files)
if(NAMED)
    set(from ${copy})
    list(TRANSFORM files PREPEND "${name}/")
endif()
execute_process(COMMAND touch -h -d @${EPOCH} ${files} WORKING_DIRECTORY ${from}
    COMMAND_ERROR_IS_FATAL ANY)
list(JOIN files "\n" list)
file(WRITE ${copy}.list "${list}\n")
file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${ZIP_PROGRAM} -X -D -q -9 ${ZIP} -@
    INPUT_FILE ${copy}.list WORKING_DIRECTORY ${from} COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${copy} ${copy}.list)
