# The sanitizer build: everything, tests included, built with
# AddressSanitizer and UndefinedBehaviorSanitizer, and any finding ends the
# program. Included by the top-level CMakeLists.txt when SORANIKA_SANITIZE is
# on, before the folders are added. With clang the fuzz targets become
# libFuzzer programs (fuzz/CMakeLists.txt).
set(SORANIKA_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all)
add_compile_options(${SORANIKA_SANITIZER_FLAGS} -fno-omit-frame-pointer)
add_link_options(${SORANIKA_SANITIZER_FLAGS})

# The sanitizers' options, set by CTest for every test it runs.
set_property(DIRECTORY APPEND PROPERTY
    TEST_INCLUDE_FILES "${CMAKE_CURRENT_LIST_DIR}/sanitizer_options.cmake")
