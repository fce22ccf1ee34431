# Compiler warnings shared by every target of the project.
function(culegere_warnings target)
    if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
        if(CULEGERE_WERROR)
            target_compile_options(${target} PRIVATE -Werror)
        endif()
    endif()
endfunction()

# culegere_layer(<folder> [TARGET <name>] SOURCES ... [USES <folder>...] [QT <module>...])
#
# The library of one folder of src/ (culegere_<folder>, or <name>), linked
# with the libraries of the folders it USES and with the Qt modules named.
#
# The include rule: a layer's sources see only their own folder, the folders
# it USES and, in turn, those these see; a header of any other folder (a
# layer above, a sibling) is not found, so a wrong include does not compile.
# Each layer gets an include root of its own in the build tree, holding one
# link per folder it may see into src/; that root is its only include folder
# of the project. No layer hands src/ on to its users: only culegere_app
# (src/shell, the contract's target) does, for the programs, tests, tools,
# benchmarks and fuzzers, which may include anything. A layer may USE only
# folders defined before it, so the layers form no circle.
function(culegere_layer folder)
    cmake_parse_arguments(ARG "" "TARGET" "SOURCES;USES;QT" ${ARGN})
    set(target culegere_${folder})
    if(ARG_TARGET)
        set(target ${ARG_TARGET})
    endif()

    set(seen ${folder})
    foreach(used IN LISTS ARG_USES)
        get_property(below GLOBAL PROPERTY CULEGERE_LAYER_SEES_${used})
        if(NOT below)
            message(FATAL_ERROR "src/${folder} uses src/${used}, which is no layer below it")
        endif()
        list(APPEND seen ${below})
    endforeach()
    list(REMOVE_DUPLICATES seen)
    set_property(GLOBAL PROPERTY CULEGERE_LAYER_SEES_${folder} ${seen})
    set_property(GLOBAL PROPERTY CULEGERE_LAYER_TARGET_${folder} ${target})

    qt_add_library(${target} STATIC ${ARG_SOURCES})
    set(root "${PROJECT_BINARY_DIR}/include-roots/${folder}")
    file(MAKE_DIRECTORY "${root}")
    # Links of an earlier configuration that the layer may no longer see go.
    file(GLOB present LIST_DIRECTORIES true RELATIVE "${root}" "${root}/*")
    foreach(entry IN LISTS present)
        if(NOT entry IN_LIST seen)
            file(REMOVE "${root}/${entry}")
        endif()
    endforeach()
    set(linked TRUE)
    foreach(visible IN LISTS seen)
        set(original "${PROJECT_SOURCE_DIR}/src/${visible}")
        set(link "${root}/${visible}")
        if(IS_SYMLINK "${link}")
            file(READ_SYMLINK "${link}" points_to)
            if(points_to STREQUAL original)
                continue()
            endif()
            file(REMOVE "${link}")
        endif()
        file(CREATE_LINK "${original}" "${link}" RESULT failure SYMBOLIC)
        if(failure)
            set(linked FALSE)
        endif()
    endforeach()
    if(linked)
        target_include_directories(${target} PRIVATE "${root}")
    else()
        # A file system without links: the layer sees all of src/.
        message(STATUS "No links in ${root}: the include rule is not checked for src/${folder}")
        target_include_directories(${target} PRIVATE "${PROJECT_SOURCE_DIR}/src")
    endif()

    foreach(used IN LISTS ARG_USES)
        get_property(used_target GLOBAL PROPERTY CULEGERE_LAYER_TARGET_${used})
        target_link_libraries(${target} PUBLIC ${used_target})
    endforeach()
    list(TRANSFORM ARG_QT PREPEND Qt6:: OUTPUT_VARIABLE qt_modules)
    target_link_libraries(${target} PUBLIC ${qt_modules})
    # Users include these headers too, so they need C++20 as well.
    target_compile_features(${target} PUBLIC cxx_std_20)
    culegere_warnings(${target})
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
