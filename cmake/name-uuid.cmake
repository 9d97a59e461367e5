# A name-based UUID from the upgrade code and NAME: the first 128 bits of the
# SHA-1 of "UPGRADE-CODE/NAME", as a version-5 UUID. The packages of every
# earlier version were made with these codes.
function(soranika_name_uuid out name)
    string(SHA1 h "${SORANIKA_UPGRADE_CODE}/${name}")
    string(TOUPPER "${h}" h)
    string(SUBSTRING "${h}" 0 8 a)
    string(SUBSTRING "${h}" 8 4 b)
    string(SUBSTRING "${h}" 13 3 c)
    string(SUBSTRING "${h}" 16 1 variant)
    string(SUBSTRING "${h}" 17 3 d)
    string(SUBSTRING "${h}" 20 12 e)
    math(EXPR variant "(0x${variant} & 3) | 8" OUTPUT_FORMAT HEXADECIMAL)
    string(SUBSTRING "${variant}" 2 1 variant)
    string(TOUPPER "${variant}" variant)
    set(${out} "${a}-${b}-5${c}-${variant}${d}-${e}" PARENT_SCOPE)
endfunction()
