# Helpers shared by the project's targets.

# Our own code: warnings are errors.
function(tracker_code target)
    # The resource compiler takes no warning options.
    target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:C,CXX>:${TRACKER_WARNINGS}>")
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# A dynamic library named as the platform names it: NAME.dll or libNAME.so.
function(tracker_shared_library target output)
    set_target_properties(${target} PROPERTIES OUTPUT_NAME ${output})
    if(WIN32)
        set_target_properties(${target} PROPERTIES PREFIX "")
    endif()
endfunction()
