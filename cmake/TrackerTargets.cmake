# Helpers shared by the project's targets.
#
# Walls between folders: a library publishes only its own folder's headers (through
# a link in the build tree, so that "host/sensors/SensorSession.h" is found as
# written), and a target sees the headers of what it links and nothing else. A folder
# that includes a header of one it does not name fails to build.

# Our own code: warnings are errors.
function(tracker_code target)
    # The resource compiler takes no warning options.
    target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:C,CXX>:${TRACKER_WARNINGS}>")
endfunction()

# tracker_headers(TARGET [INTERFACE] [HEADERS FILE...]): TARGET's users, and TARGET
# itself, include the headers of the folder of the calling CMakeLists.txt by their
# path from the project's root. INTERFACE for a target of headers alone. HEADERS
# publishes those files of the folder alone, for a folder that holds more than one
# library: each then shows its users its own headers and not the others'.
function(tracker_headers target)
    cmake_parse_arguments(arg "INTERFACE" "" "HEADERS" ${ARGN})
    file(RELATIVE_PATH folder ${PROJECT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
    if(arg_HEADERS)
        set(root ${CMAKE_BINARY_DIR}/include/target_${target})
        file(MAKE_DIRECTORY ${root}/${folder})
        foreach(header IN LISTS arg_HEADERS)
            if(NOT EXISTS ${root}/${folder}/${header})
                file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header}
                     ${root}/${folder}/${header} SYMBOLIC)
            endif()
        endforeach()
    else()
        string(MAKE_C_IDENTIFIER ${folder} id)
        set(root ${CMAKE_BINARY_DIR}/include/${id})
        if(NOT EXISTS ${root}/${folder})
            get_filename_component(parent ${root}/${folder} DIRECTORY)
            file(MAKE_DIRECTORY ${parent})
            file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${root}/${folder} SYMBOLIC)
        endif()
    endif()
    if(arg_INTERFACE)
        target_include_directories(${target} INTERFACE ${root})
    else()
        target_include_directories(${target} PUBLIC ${root})
    endif()
endfunction()

# A library of ours behind its wall: its own headers published (HEADERS as for
# tracker_headers), warnings as errors.
function(tracker_library target)
    tracker_code(${target})
    tracker_headers(${target} ${ARGN})
endfunction()

# Tests, benchmarks, fuzz targets and the program itself stand above every wall.
function(tracker_sees_all target)
    tracker_code(${target})
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()

# A dynamic library named as the platform names it: NAME.dll or libNAME.so.
function(tracker_shared_library target output)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${output})
    if(WIN32)
        set_target_properties(${target} PROPERTIES PREFIX "")
    endif()
endfunction()
