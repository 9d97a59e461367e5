# Zips the site folder: cmake -DSITE=folder -DZIP=file.zip -P zip-site.cmake.
# Its files in the order of their names, index.html at the top of the zip.
file(GLOB_RECURSE files RELATIVE ${SITE} ${SITE}/*)
list(SORT files)
get_filename_component(folder ${ZIP} DIRECTORY)
file(MAKE_DIRECTORY ${folder})
file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip -- ${files}
    WORKING_DIRECTORY ${SITE} COMMAND_ERROR_IS_FATAL ANY)
