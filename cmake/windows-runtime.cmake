# What the Windows program loads, declared once: the Qt DLLs, the platform
# and style plugins and MinGW-w64's C++ runtime. The same lists put them
# beside the Windows build's programs in bin/, where the tests run under
# Wine, and install them with the program, the install from which the zip
# and the .msi are made (packaging/windows). The tests' own runtime (Qt Test,
# the minimal platform) goes to bin/ only.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)

# Called once every target is defined: `windows_programs` builds the program,
# its tests and the tools and fills bin/.
function(soranika_windows_runtime)
    set(bin ${PROJECT_BINARY_DIR}/bin)
    set(dlls)
    foreach(module Core Gui Widgets)
        list(APPEND dlls $<TARGET_FILE:Qt6::${module}>)
    endforeach()
    foreach(runtime libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
            OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
        if(NOT EXISTS "${path}")
            message(FATAL_ERROR "MinGW-w64's ${runtime} not found")
        endif()
        list(APPEND dlls ${path})
    endforeach()
    set(platforms $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>)
    set(styles $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin>)

    install(FILES ${dlls} DESTINATION . COMPONENT runtime)
    install(FILES ${platforms} DESTINATION platforms COMPONENT runtime)
    install(FILES ${styles} DESTINATION styles COMPONENT runtime)

    set(test_dlls)
    set(test_platforms)
    if(SORANIKA_TESTS)
        # The tests' imported targets are not seen from here.
        find_package(Qt6 6.4 REQUIRED COMPONENTS Test)
        set(test_dlls $<TARGET_FILE:Qt6::Test>)
        set(test_platforms $<TARGET_FILE:Qt6::QMinimalIntegrationPlugin>)
    endif()
    add_custom_target(windows_runtime
        COMMAND ${CMAKE_COMMAND} -E make_directory ${bin}/platforms ${bin}/styles
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${dlls} ${test_dlls} ${bin}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${platforms} ${test_platforms}
            ${bin}/platforms
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${styles} ${bin}/styles
        VERBATIM)

    # The program and the screenshot tool; with the tests, every test
    # program registered by soranika_test, the platform test's stand-in tool
    # and the results probe.
    add_custom_target(windows_programs)
    add_dependencies(windows_programs windows_runtime soranika)
    if(SORANIKA_TESTS)
        get_property(tests GLOBAL PROPERTY SORANIKA_TEST_PROGRAMS)
        add_dependencies(windows_programs soranika-screenshots soranika-results-probe
            uia-recorder uia-client
            fake_msinfo ${tests})
    endif()
endfunction()
