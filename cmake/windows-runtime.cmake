# The Windows build's programs in one folder, bin/, beside everything they
# load: the Qt DLLs, the platform and style plugins and MinGW's C++ runtime.
# The tests run there under Wine, and the packages (packaging/windows) take
# the program's share of it.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)

# Called once every target is defined: `windows_programs` builds the program,
# its tests and the tools and fills bin/.
function(soranika_windows_runtime)
    set(bin ${PROJECT_BINARY_DIR}/bin)
    # The tests' imported targets are not seen from here.
    find_package(Qt6 6.4 REQUIRED COMPONENTS Test)
    set(dlls)
    foreach(module Core Gui Widgets Test)
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
    add_custom_target(windows_runtime
        COMMAND ${CMAKE_COMMAND} -E make_directory ${bin}/platforms ${bin}/styles
        COMMAND ${CMAKE_COMMAND} -E copy_if_different ${dlls} ${bin}
        COMMAND ${CMAKE_COMMAND} -E copy_if_different
            $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>
            $<TARGET_FILE:Qt6::QMinimalIntegrationPlugin> ${bin}/platforms
        COMMAND ${CMAKE_COMMAND} -E copy_if_different
            $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> ${bin}/styles
        VERBATIM)

    # Every test program registered by soranika_test, the platform test with
    # its stand-in tool, the results probe, the program and the screenshot
    # tool.
    get_property(tests GLOBAL PROPERTY SORANIKA_TEST_PROGRAMS)
    add_custom_target(windows_programs)
    add_dependencies(windows_programs windows_runtime soranika soranika-screenshots
        soranika-results-probe test_platform_windows fake_msinfo ${tests})
endfunction()
