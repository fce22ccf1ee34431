# cmake -DSAMPLE_DIR=<sample as built> -DAPP_DIR=<application folder>
#       -DWRITTEN_DIR=<what this script last wrote there> -P place_sample.cmake
#
# Puts the sample collection (Caps.stn, Problems.stn and the pictures in
# probleme) into the application folder, which the program also works in
# (scripts/run.sh). A teacher's work there is never overwritten:
# - the collection (Caps.stn and Problems.stn together) is written only when
#   each of the two is missing there, or still byte for byte what this
#   script wrote before (or what it would write now); a collection the
#   program changed is left alone, pictures and all;
# - a picture is written only when it is missing, or still what this script
#   wrote before (or would write now); a picture that is no sample's is never
#   touched.
# WRITTEN_DIR keeps a copy of every file written, to tell them apart later.
# Users.stn is not part of the sample and is never written.
foreach(var SAMPLE_DIR APP_DIR WRITTEN_DIR)
    if(NOT ${var})
        message(FATAL_ERROR "place_sample.cmake needs -D${var}=...")
    endif()
endforeach()

# Whether `a` and `b` both exist and hold the same bytes.
function(same_bytes a b result)
    set(${result} FALSE PARENT_SCOPE)
    if(EXISTS "${a}" AND EXISTS "${b}")
        file(SHA256 "${a}" hash_a)
        file(SHA256 "${b}" hash_b)
        if(hash_a STREQUAL hash_b)
            set(${result} TRUE PARENT_SCOPE)
        endif()
    endif()
endfunction()

function(place relative)
    foreach(target "${APP_DIR}/${relative}" "${WRITTEN_DIR}/${relative}")
        get_filename_component(folder "${target}" DIRECTORY)
        file(MAKE_DIRECTORY "${folder}")
        file(COPY_FILE "${SAMPLE_DIR}/${relative}" "${target}")
    endforeach()
endfunction()

set(collection Caps.stn Problems.stn)
foreach(name IN LISTS collection)
    set(present "${APP_DIR}/${name}")
    if(NOT EXISTS "${present}")
        continue()
    endif()
    same_bytes("${present}" "${WRITTEN_DIR}/${name}" as_written)
    same_bytes("${present}" "${SAMPLE_DIR}/${name}" as_sample)
    if(NOT as_written AND NOT as_sample)
        message(STATUS "The collection in ${APP_DIR} was changed by the program; the sample "
                       "is not copied over it (remove Caps.stn and Problems.stn there to get "
                       "the sample again).")
        return()
    endif()
endforeach()

foreach(name IN LISTS collection)
    place("${name}")
endforeach()
file(GLOB_RECURSE pictures RELATIVE "${SAMPLE_DIR}" "${SAMPLE_DIR}/probleme/*")
foreach(picture IN LISTS pictures)
    same_bytes("${APP_DIR}/${picture}" "${WRITTEN_DIR}/${picture}" as_written)
    same_bytes("${APP_DIR}/${picture}" "${SAMPLE_DIR}/${picture}" as_sample)
    if(as_written OR as_sample OR NOT EXISTS "${APP_DIR}/${picture}")
        place("${picture}")
    endif()
endforeach()
