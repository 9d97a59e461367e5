# The programs a test runs that the build itself does not need.
#
#   soranika_test_tools(TEST FOUND PROGRAM...)
#
# Finds each PROGRAM into a variable named after it in capitals
# (dpkg-shlibdeps: DPKG_SHLIBDEPS) and sets FOUND to whether all were found.
# A missing one fails the configure when SORANIKA_REQUIRE_ALL_TOOLS is on
# (scripts/test.sh, which installs them). Otherwise TEST is added as a test
# that CTest reports as skipped, naming what is missing, so that the test is
# seen to be left out rather than gone.
#
#   soranika_find_programs(MISSING PROGRAM...)
#
# Finds each PROGRAM likewise and lists in MISSING those not found.
function(soranika_find_programs missing_out)
    set(missing)
    foreach(program IN LISTS ARGN)
        string(MAKE_C_IDENTIFIER "${program}" variable)
        string(TOUPPER "${variable}" variable)
        find_program(${variable} ${program})
        if(NOT ${variable})
            list(APPEND missing ${program})
        endif()
    endforeach()
    set(${missing_out} ${missing} PARENT_SCOPE)
endfunction()

function(soranika_test_tools test found)
    soranika_find_programs(missing ${ARGN})
    if(NOT missing)
        set(${found} TRUE PARENT_SCOPE)
        return()
    endif()
    list(JOIN missing ", " missing)
    if(SORANIKA_REQUIRE_ALL_TOOLS)
        message(FATAL_ERROR "The test ${test} needs ${missing}, which is not installed: "
            "run `scripts/install-deps.sh test`.")
    endif()
    message(STATUS "${test}: skipped, ${missing} not installed (scripts/install-deps.sh test)")
    add_test(NAME ${test}
        COMMAND ${CMAKE_COMMAND} -E echo "skipped: ${missing} not installed (scripts/install-deps.sh test)")
    set_tests_properties(${test} PROPERTIES SKIP_REGULAR_EXPRESSION "^skipped: ")
    set(${found} FALSE PARENT_SCOPE)
endfunction()
