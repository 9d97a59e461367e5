# The features a Qt build was configured with, from its configured headers:
# feature_<name> is 1 or -1 for every QT_FEATURE_<name> that QT/include's
# *config.h and *config_p.h define.
macro(soranika_qt_features QT)
    file(GLOB_RECURSE _soranika_headers ${QT}/include/*config.h ${QT}/include/*config_p.h)
    foreach(_soranika_header IN LISTS _soranika_headers)
        file(STRINGS ${_soranika_header} _soranika_defines REGEX "^#define QT_FEATURE_[a-z0-9_]+ -?1$")
        foreach(_soranika_define IN LISTS _soranika_defines)
            string(REGEX REPLACE "^#define QT_FEATURE_([a-z0-9_]+) (-?1)$" "\\1;\\2" _soranika_pair
                "${_soranika_define}")
            list(GET _soranika_pair 0 _soranika_name)
            list(GET _soranika_pair 1 feature_${_soranika_name})
        endforeach()
    endforeach()
endmacro()
