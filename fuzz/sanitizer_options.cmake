# Read by CTest in the sanitizer build before it runs any test: the
# sanitizers' options for every test program. Options already in the
# environment come after ours, so they win.
function(soranika_sanitizer_option variable options)
    if(DEFINED ENV{${variable}} AND NOT "$ENV{${variable}}" STREQUAL "")
        set(options "${options}:$ENV{${variable}}")
    endif()
    set(ENV{${variable}} "${options}")
endfunction()

soranika_sanitizer_option(ASAN_OPTIONS
    "detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1")
soranika_sanitizer_option(UBSAN_OPTIONS "print_stacktrace=1:halt_on_error=1")
# Leaks inside the libraries under Qt that are not ours to fix.
soranika_sanitizer_option(LSAN_OPTIONS "suppressions=${CMAKE_CURRENT_LIST_DIR}/lsan.supp")
