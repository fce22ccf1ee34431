# Compiler warnings shared by every target of the project.
function(culegere_warnings target)
    if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
        if(CULEGERE_WERROR)
            target_compile_options(${target} PRIVATE -Werror)
        endif()
    endif()
endfunction()

# culegere_library(<name> SOURCES ... LINK ...): one static library per source folder.
function(culegere_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    # Consumers include these headers too, so they need C++20 as well.
    target_compile_features(${name} PUBLIC cxx_std_20)
    target_link_libraries(${name} PUBLIC ${ARG_LINK})
    culegere_warnings(${name})
endfunction()

# Sanitizers. Included from the top-level CMakeLists.txt before any target is
# made, so these options reach every target of the project, compiled and linked.
#
# CULEGERE_SANITIZE: AddressSanitizer + UndefinedBehaviorSanitizer; undefined
# behaviour ends the program like a memory error, so no report goes unnoticed.
# CULEGERE_FUZZ (declared in the top-level CMakeLists.txt): the same, plus the
# coverage instrumentation libFuzzer steers by; the fuzz targets themselves
# link with -fsanitize=fuzzer (see fuzz/CMakeLists.txt).
option(CULEGERE_SANITIZE "Build everything with AddressSanitizer and UBSan" OFF)
set(CULEGERE_SANITIZER_FLAGS
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
if(CULEGERE_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR
            "CULEGERE_FUZZ needs clang (libFuzzer comes with it), not "
            "${CMAKE_CXX_COMPILER_ID}: configure a fresh build folder with "
            "-DCMAKE_CXX_COMPILER=clang++ (scripts/fuzz.sh does).")
    endif()
    add_compile_options(${CULEGERE_SANITIZER_FLAGS} -fsanitize=fuzzer-no-link)
    add_link_options(${CULEGERE_SANITIZER_FLAGS})
elseif(CULEGERE_SANITIZE)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
        message(FATAL_ERROR "CULEGERE_SANITIZE needs gcc or clang, not ${CMAKE_CXX_COMPILER_ID}")
    endif()
    add_compile_options(${CULEGERE_SANITIZER_FLAGS})
    add_link_options(${CULEGERE_SANITIZER_FLAGS})
endif()
