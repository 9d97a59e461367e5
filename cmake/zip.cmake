# Zips a folder, the same bytes from the same files wherever and whenever:
#   cmake -DFOLDER=dir -DZIP=file.zip -DEPOCH=seconds [-DNAMED=ON]
#         [-DFILES=list.txt] -P zip.cmake
# The files in the order of their names, each with the time EPOCH (seconds
# since 1970, UTC) and no other attributes, with Info-ZIP's zip; at the top
# of the zip FOLDER's files, or with NAMED the folder itself. With FILES only
# the files it names, one path in FOLDER a line, and a missing one is an
# error; without it every file of FOLDER. The files are dated in a copy, so
# that FOLDER's times, which the build goes by, stay.
find_program(ZIP_PROGRAM zip REQUIRED)
get_filename_component(name ${FOLDER} NAME)
get_filename_component(folder ${ZIP} DIRECTORY)
set(copy ${ZIP}.files)
file(REMOVE_RECURSE ${copy})
file(MAKE_DIRECTORY ${copy})
set(from ${copy}/${name})
if(DEFINED FILES)
    file(STRINGS ${FILES} files)
    foreach(file IN LISTS files)
        get_filename_component(parent ${from}/${file} DIRECTORY)
        file(MAKE_DIRECTORY ${parent})
        file(COPY_FILE ${FOLDER}/${file} ${from}/${file})
    endforeach()
else()
    file(COPY ${FOLDER} DESTINATION ${copy})
    file(GLOB_RECURSE files RELATIVE ${from} ${from}/*)
endif()
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
