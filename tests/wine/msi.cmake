# The Windows packages, the zip and the .msi, checked here and under Wine.
# Included by tests/wine/CMakeLists.txt, which sets:
#   windows_stage   the staging folder that both packages are made from
#   windows_zip, windows_msi   the packages (the Windows build makes them)
#   windows_bin     the Windows build's programs, with the results probe in
#                   generic/
#   run             run-under-wine.sh WINE WINESERVER PREFIX
# The Wine tests copy one prepared prefix of their own (msi-wineprefix),
# made by windows_msi_prefix, into a fresh one for each case.
list(SUBLIST run 0 3 msi_run)
set(msi_prefix ${CMAKE_CURRENT_BINARY_DIR}/msi-wineprefix)
set(msi_wine ${msi_run} ${msi_prefix})

# Both packages hold exactly the staged files.
foreach(kind zip msi)
    add_test(NAME windows_${kind}_contents
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/package-contents.sh ${windows_${kind}} ${windows_stage})
    set_tests_properties(windows_${kind}_contents PROPERTIES TIMEOUT 120)
endforeach()

# The .msi's tables, without Wine.
add_test(NAME windows_msi_tables
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/msi-tables.sh ${windows_msi} ${PROJECT_VERSION}
        ${windows_stage})
set_tests_properties(windows_msi_tables PROPERTIES TIMEOUT 300)

add_test(NAME windows_msi_prefix COMMAND ${msi_wine} cmd.exe /c exit)
set_tests_properties(windows_msi_prefix PROPERTIES
    TIMEOUT 300
    FIXTURES_SETUP windows_msi_prefix
    RESOURCE_LOCK msi_wineprefix)

add_test(NAME windows_msi_install
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/msi-install.sh ${CMAKE_CURRENT_BINARY_DIR}/msi-install
        ${windows_msi} ${windows_stage} ${PROJECT_VERSION} ${msi_wine})
add_test(NAME windows_msi_sign
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/msi-sign.sh ${CMAKE_CURRENT_BINARY_DIR}/msi-sign
        ${windows_stage} ${PROJECT_VERSION} ${msi_wine})
add_test(NAME windows_msi_start
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/../../scripts/with-x.sh --wm
        ${CMAKE_CURRENT_LIST_DIR}/msi-start.sh ${CMAKE_CURRENT_BINARY_DIR}/msi-start
        ${windows_msi} ${windows_bin}/generic ${msi_wine})
set_tests_properties(windows_msi_install windows_msi_sign windows_msi_start PROPERTIES
    TIMEOUT 900
    FIXTURES_REQUIRED windows_msi_prefix
    RESOURCE_LOCK msi_wineprefix)
