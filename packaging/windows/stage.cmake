# Fills the staging folder of the Windows packages from the install rules:
#   cmake -DBUILD=build -DSTAGE=folder -DDIGEST=file -DSTRIP=strip -DEPOCH=seconds
#         [-DSIGN=sign.sh] -P stage.cmake
# then strips the programs and DLLs (their headers dated EPOCH, which
# binutils takes from SOURCE_DATE_EPOCH), signs soranika.exe where SIGN is given,
# and writes DIGEST, the staged files with their SHA-256, only when it
# changes, so that the packages are made again only then. The install's
# manifest goes beside DIGEST, as paths inside the folder.
file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${STAGE}
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
file(GLOB_RECURSE binaries ${STAGE}/*.exe ${STAGE}/*.dll)
execute_process(COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${EPOCH}
    ${STRIP} --strip-unneeded ${binaries} COMMAND_ERROR_IS_FATAL ANY)
if(SIGN)
    execute_process(COMMAND ${SIGN} ${STAGE}/soranika.exe COMMAND_ERROR_IS_FATAL ANY)
else()
    message(STATUS "unsigned: soranika.exe and the .msi (signing is the release-windows preset's)")
endif()

get_filename_component(folder ${DIGEST} DIRECTORY)
file(STRINGS ${BUILD}/install_manifest.txt installed)
list(TRANSFORM installed REPLACE "^${STAGE}/(\\./)?" "")
list(SORT installed)
list(JOIN installed "\n" manifest)
file(WRITE ${folder}/install_manifest.txt "${manifest}\n")

set(lines "")
foreach(file IN LISTS installed)
    file(SHA256 ${STAGE}/${file} hash)
    string(APPEND lines "${hash}  ${file}\n")
endforeach()
file(WRITE ${DIGEST}.new "${lines}")
execute_process(COMMAND ${CMAKE_COMMAND} -E copy_if_different ${DIGEST}.new ${DIGEST})
file(REMOVE ${DIGEST}.new)
