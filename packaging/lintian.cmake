# Packs the built program as a .deb in OUT and fails on any error or warning
# lintian reports:
#   cmake -DLINTIAN=<lintian> -DCPACK=<cpack> -DCONFIG=<CPackConfig.cmake>
#         -DOUT=<folder> -P lintian.cmake
file(REMOVE_RECURSE "${OUT}")
execute_process(COMMAND "${CPACK}" -G DEB --config "${CONFIG}" -B "${OUT}"
    RESULT_VARIABLE packed OUTPUT_VARIABLE cpack_output ERROR_VARIABLE cpack_output)
file(GLOB debs "${OUT}/soranika_*.deb")
if(NOT packed EQUAL 0 OR NOT debs)
    message(FATAL_ERROR "cpack made no package (${packed}):\n${cpack_output}")
endif()
execute_process(COMMAND "${LINTIAN}" --fail-on error,warning --tag-display-limit 0 ${debs}
    RESULT_VARIABLE checked)
if(NOT checked EQUAL 0)
    message(FATAL_ERROR "lintian finds errors or warnings in ${debs} (${checked})")
endif()
message(STATUS "lintian: no error and no warning in ${debs}")
