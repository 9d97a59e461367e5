# The publisher's identity (set in the root CMakeLists.txt) as the packages
# and their tests take it:
# - SORANIKA_PRODUCT_CODE, the .msi's product code for this version, and
#   soranika_name_uuid() for the codes derived like it from the upgrade code;
# - soranika_rc_text(), a text for the Windows version resource;
# - soranika-identity.sh in the build folder, for the scripts of the
#   packages and their tests to source.

include(${CMAKE_CURRENT_LIST_DIR}/name-uuid.cmake)
soranika_name_uuid(SORANIKA_PRODUCT_CODE "product/${PROJECT_VERSION}")

# A UTF-8 text as a wide string literal of a resource script, every
# character outside ASCII as \xHHHH: the resource compiler reads the script
# in the ANSI code page.
function(soranika_rc_text out text)
    string(HEX "${text}" hex)
    string(LENGTH "${hex}" length)
    set(literal "")
    set(i 0)
    while(i LESS length)
        string(SUBSTRING "${hex}" ${i} 2 byte)
        math(EXPR byte "0x${byte}")
        if(byte LESS 0x80)
            set(code ${byte})
            set(size 1)
        elseif(byte LESS 0xE0)
            math(EXPR code "${byte} & 0x1F")
            set(size 2)
        elseif(byte LESS 0xF0)
            math(EXPR code "${byte} & 0x0F")
            set(size 3)
        else()
            message(FATAL_ERROR "soranika_rc_text: a character beyond U+FFFF in '${text}'")
        endif()
        foreach(k RANGE 1 ${size})
            if(k EQUAL size)
                break()
            endif()
            math(EXPR at "${i} + 2 * ${k}")
            string(SUBSTRING "${hex}" ${at} 2 next)
            math(EXPR code "(${code} << 6) | (0x${next} & 0x3F)")
        endforeach()
        math(EXPR i "${i} + 2 * ${size}")
        if(code LESS 0x80 AND NOT code EQUAL 0x22 AND NOT code EQUAL 0x5C)
            string(ASCII ${code} char)
            string(APPEND literal "${char}")
        else()
            math(EXPR code "${code}" OUTPUT_FORMAT HEXADECIMAL)
            string(SUBSTRING "${code}" 2 -1 digits)
            string(LENGTH "${digits}" n)
            while(n LESS 4)
                string(PREPEND digits "0")
                math(EXPR n "${n} + 1")
            endwhile()
            string(APPEND literal "\\x${digits}")
        endif()
    endwhile()
    set(${out} "L\"${literal}\"" PARENT_SCOPE)
endfunction()

# The publisher's name for the version resource (app/version.rc.in).
soranika_rc_text(SORANIKA_RC_PUBLISHER "${SORANIKA_PUBLISHER}")

foreach(value SORANIKA_PUBLISHER SORANIKA_CONTACT SORANIKA_HELP_URL)
    if(${value} MATCHES "['\"\\\n]")
        message(FATAL_ERROR "${value} may not hold quotes, backslashes or line breaks: ${${value}}")
    endif()
endforeach()
configure_file(${CMAKE_CURRENT_LIST_DIR}/identity.sh.in ${PROJECT_BINARY_DIR}/soranika-identity.sh @ONLY)
