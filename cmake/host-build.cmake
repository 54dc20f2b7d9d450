# The host build (cmake --preset default): one cross build of the product per Windows
# architecture, each a build tree of its own under build/<arch>, configured here and built as a
# step of this build; the native tier; the release package holding both executables; and one
# ctest over everything.
#
# Every architecture is built and footprint-checked everywhere. Its Windows and end-to-end
# tiers run where tools/wine-session.sh says this machine can run it: x86_64 always, i686 where
# 32-bit programs start (VELORA_WINE_ARCH=i686 or x86_64 forces one).

set(ARCHITECTURES i686 x86_64)
execute_process(COMMAND ${CMAKE_SOURCE_DIR}/tools/wine-session.sh arches
    OUTPUT_VARIABLE WINE_ARCHITECTURES OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "tools/wine-session.sh arches failed: ${result}")
endif()
separate_arguments(WINE_ARCHITECTURES)
message(STATUS "Wine tiers run on: ${WINE_ARCHITECTURES}")

# One architecture's build at a time, each with all the cores.
set_property(GLOBAL APPEND PROPERTY JOB_POOLS architecture_build=1)

set(ARCHITECTURE_TEST_DIRS "")
set(SHIPPED_EXECUTABLES "")
foreach(arch ${ARCHITECTURES})
    set(dir ${CMAKE_BINARY_DIR}/${arch})
    if(arch IN_LIST WINE_ARCHITECTURES)
        set(wine_tests ON)
    else()
        set(wine_tests OFF)
    endif()
    execute_process(
        COMMAND ${CMAKE_COMMAND} -S ${CMAKE_SOURCE_DIR} -B ${dir} -G ${CMAKE_GENERATOR}
                -DCMAKE_TOOLCHAIN_FILE=${CMAKE_SOURCE_DIR}/cmake/mingw-${arch}.cmake
                -DCMAKE_BUILD_TYPE=MinSizeRel -DWINE_TESTS=${wine_tests}
        OUTPUT_FILE ${CMAKE_BINARY_DIR}/configure-${arch}.log
        ERROR_FILE ${CMAKE_BINARY_DIR}/configure-${arch}.log
        RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "Configuring the ${arch} build failed: see build/configure-${arch}.log")
    endif()
    set(shipped ${dir}/stripped/velora_ss_launcher.scr)
    add_custom_target(windows_${arch} ALL
        COMMAND ${CMAKE_COMMAND} --build ${dir}
        BYPRODUCTS ${shipped}
        JOB_POOL architecture_build
        COMMENT "Building the ${arch} build in build/${arch}")
    list(APPEND ARCHITECTURE_TEST_DIRS "\"${dir}\"")
    list(APPEND SHIPPED_EXECUTABLES ${shipped})
endforeach()

# ---- Native tier: the platform-free code built with the host's clang -----------------------
include(ExternalProject)
set(NATIVE_BINARY_DIR ${CMAKE_BINARY_DIR}/native)
ExternalProject_Add(native_tier
    SOURCE_DIR ${CMAKE_SOURCE_DIR}/tests/native
    BINARY_DIR ${NATIVE_BINARY_DIR}
    CMAKE_ARGS -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
               -DCMAKE_BUILD_TYPE=Debug -DPROJECT_ROOT=${CMAKE_SOURCE_DIR}
               -G Ninja
    BUILD_ALWAYS ON
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${NATIVE_BINARY_DIR}/native_tests)

add_test(NAME native.unit COMMAND ${NATIVE_BINARY_DIR}/native_tests)
set_tests_properties(native.unit PROPERTIES
    ENVIRONMENT "ASAN_OPTIONS=detect_leaks=1:abort_on_error=0;UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1")

# Every run fuzzes a little: a bounded number of inputs from the committed seeds. New inputs,
# and any input that fails, go to a scratch folder in the build tree so the committed seeds and
# the source tree stay as they are.
file(GLOB FUZZ_CORPORA LIST_DIRECTORIES true ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/*)
foreach(corpus ${FUZZ_CORPORA})
    if(IS_DIRECTORY ${corpus})
        get_filename_component(target ${corpus} NAME)
        set(scratch ${CMAKE_BINARY_DIR}/fuzz-scratch/${target})
        add_test(NAME fuzz.${target}
            COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
                    ${NATIVE_BINARY_DIR}/fuzz_${target} -runs=30000 -max_len=2048
                    -rss_limit_mb=1024 -artifact_prefix=${scratch}/ ${scratch} ${corpus})
        file(MAKE_DIRECTORY ${scratch})
    endif()
endforeach()

# ---- Release package: both executables, read-me and licence -------------------------------
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(RELEASE_ZIP ${CMAKE_BINARY_DIR}/velora_ss_launcher-${PROJECT_VERSION}.zip)
set(RELEASE_INPUTS ${CMAKE_SOURCE_DIR}/packaging/README.txt ${CMAKE_SOURCE_DIR}/LICENSE)
add_custom_command(OUTPUT ${RELEASE_ZIP}
    COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/tools/make-release.py ${RELEASE_ZIP}
            ${SHIPPED_EXECUTABLES} ${RELEASE_INPUTS}
    DEPENDS ${SHIPPED_EXECUTABLES} ${RELEASE_INPUTS} ${CMAKE_SOURCE_DIR}/tools/make-release.py
    COMMENT "Packing ${RELEASE_ZIP}")
add_custom_target(release ALL DEPENDS ${RELEASE_ZIP})
foreach(arch ${ARCHITECTURES})
    add_dependencies(release windows_${arch})
endforeach()

add_test(NAME release.reproducible
    COMMAND ${CMAKE_SOURCE_DIR}/tools/check-reproducible.sh ${CMAKE_SOURCE_DIR} ${RELEASE_ZIP}
            ${CMAKE_BINARY_DIR}/reproducibility-check)
set_tests_properties(release.reproducible PROPERTIES TIMEOUT 600)

# ---- One ctest: the architectures' own tests, named <arch>.<tier>.<name> -------------------
list(JOIN ARCHITECTURE_TEST_DIRS " " subdirs)
file(WRITE ${CMAKE_BINARY_DIR}/architectures.ctest "subdirs(${subdirs})\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_BINARY_DIR}/architectures.ctest)
