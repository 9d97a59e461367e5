# The program started from a shell without a display: --version and --help
# answer on standard output, and a plain start says in one line why no
# window opens and ends with status 1 rather than an abort.
#   cmake -DPROGRAM=<soranika> -DVERSION=<x.y.z> -P program_without_display.cmake
unset(ENV{DISPLAY})
unset(ENV{WAYLAND_DISPLAY})
unset(ENV{QT_QPA_PLATFORM})

# Runs the program with the arguments after EXPECT and checks its status
# and outputs against the patterns given.
function(expect status out_pattern err_pattern)
    execute_process(COMMAND "${PROGRAM}" ${ARGN}
        RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT result STREQUAL status OR NOT out MATCHES "${out_pattern}"
            OR NOT err MATCHES "${err_pattern}")
        message(SEND_ERROR "soranika ${ARGN} (DISPLAY=$ENV{DISPLAY}): status ${result}, "
            "wanted ${status}\nstandard output:\n${out}\nstandard error:\n${err}")
    endif()
endfunction()

string(REPLACE "." "\\." version "${VERSION}")
set(one_line "^soranika: [^\n]+\n$")
expect(0 "^soranika ${version}\n$" "^$" --version)
expect(0 "^soranika ${version}\n$" "^$" -v)
expect(0 "^Usage: soranika \\[options\\]\n.*-h, --help.*-v, --version" "^$" --help)
expect(1 "^$" "${one_line}")
# The toolkit's options still reach it.
expect(1 "^$" "${one_line}" -platform xcb -reverse)
# A display that is named but cannot be reached.
set(ENV{DISPLAY} ":97")
expect(1 "^$" "^soranika: [^\n]*:97[^\n]*\n$")
# With a display, an unknown option is a mistake (the toolkit may have
# warned of its own matters before).
expect(1 "^$" "(^|\n)soranika: [^\n]*'verison'[^\n]*\n$" -platform offscreen --verison)
