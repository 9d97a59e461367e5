# The Windows packages, the zip and the .msi, checked here and under Wine.
# Included by tests/wine/CMakeLists.txt, which sets:
#   windows_stage     the staging folder that both packages are made from
#   windows_manifest  the install manifest, the files that stage holds
#   windows_zip, windows_msi   the packages (the Windows build makes them)
#   windows_build     the Windows build (its identity and WiX source)
#   windows_bin       the Windows build's programs, with the results probe in
#                     generic/
#   wine_run          the configured wine-run
# The Wine tests copy one prepared prefix of their own (msi-wineprefix),
# made by windows_msi_prefix, into a fresh one for each case.
set(msi_prefix ${CMAKE_CURRENT_BINARY_DIR}/msi-wineprefix)
set(identity ${windows_build}/soranika-identity.sh)
set(wxs ${windows_build}/soranika.wxs.in)

# An older version of the package, 0.0.1, for the upgrade and downgrade
# cases: its identity and WiX source as the Windows build makes them.
function(soranika_old_package)
    set(PROJECT_VERSION 0.0.1)
    soranika_name_uuid(SORANIKA_PRODUCT_CODE "product/${PROJECT_VERSION}")
    soranika_name_uuid(SORANIKA_SHORTCUT_GUID shortcut)
    configure_file(${PROJECT_SOURCE_DIR}/cmake/identity.sh.in
        ${CMAKE_CURRENT_BINARY_DIR}/old/soranika-identity.sh @ONLY)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/soranika.wxs.in
        ${CMAKE_CURRENT_BINARY_DIR}/old/soranika.wxs.in @ONLY)
endfunction()
soranika_old_package()
set(old ${CMAKE_CURRENT_BINARY_DIR}/old)

# Both packages hold exactly the files of the install manifest.
foreach(kind zip msi)
    add_test(NAME windows_${kind}_contents
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/package-contents.sh ${windows_${kind}} ${windows_stage}
            ${windows_manifest})
    set_tests_properties(windows_${kind}_contents PROPERTIES TIMEOUT 120)
endforeach()

# The .msi's tables, without Wine, and the Windows Installer's rules.
add_test(NAME windows_msi_tables
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/msi-tables.sh ${windows_msi} ${windows_stage} ${identity})
set_tests_properties(windows_msi_tables PROPERTIES TIMEOUT 300)

add_test(NAME windows_msi_prefix COMMAND ${wine_run} ${msi_prefix} cmd.exe /c exit)
set_tests_properties(windows_msi_prefix PROPERTIES
    TIMEOUT 300
    FIXTURES_SETUP windows_msi_prefix
    RESOURCE_LOCK msi_wineprefix)

add_test(NAME windows_msi_install
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/msi-install.sh ${CMAKE_CURRENT_BINARY_DIR}/msi-install
        ${windows_msi} ${windows_stage} ${identity} ${old} ${wine_run} ${msi_prefix})
add_test(NAME windows_msi_sign
    COMMAND ${CMAKE_CURRENT_LIST_DIR}/msi-sign.sh ${CMAKE_CURRENT_BINARY_DIR}/msi-sign
        ${windows_stage} ${identity} ${wxs} ${wine_run} ${msi_prefix})
# Started through its shortcut, per user and for all users.
foreach(scope user machine)
    add_test(NAME windows_msi_start_${scope}
        COMMAND ${CMAKE_CURRENT_LIST_DIR}/../../scripts/with-x.sh --wm
            ${CMAKE_CURRENT_LIST_DIR}/msi-start.sh ${scope} ${CMAKE_CURRENT_BINARY_DIR}/msi-start-${scope}
            ${windows_msi} ${windows_bin}/generic ${wine_run} ${msi_prefix})
endforeach()
set_tests_properties(windows_msi_install windows_msi_sign windows_msi_start_user
    windows_msi_start_machine PROPERTIES
    TIMEOUT 900
    FIXTURES_REQUIRED windows_msi_prefix
    RESOURCE_LOCK msi_wineprefix)

# The notices of the third-party code that the packages ship.
add_test(NAME windows_notices
    COMMAND ${CMAKE_COMMAND} -DQT=${windows_qt} -DNOTICES=${windows_build}/texts/THIRD-PARTY-NOTICES.txt
        -DSTAGE=${windows_stage} -P ${CMAKE_CURRENT_LIST_DIR}/notices-match.cmake)
