# trackhost: configuration file, command line, output formats, recordings and the
# example calibration libraries, in one process.
tracker_test(trackhost_test
    SOURCES host/input/config_file_test.cpp host/host_options_test.cpp examples/boresight_test.cpp host/recording/recording_reader_test.cpp
            host/recording/recording_format_test.cpp
            examples/smoothing_test.cpp host/check/config_check_test.cpp host/health/device_health_test.cpp
            host/output/pose_output_test.cpp host/output/pose_table_test.cpp
            host/files/staged_file_test.cpp
    LIBS trackhost_core host_files one_euro_filter
    DEPENDS boresight smoothing ${test_calibrations})

# trackhost's run against the simulated sensors, the plug-in loaded by path as
# trackhost loads it.
tracker_test(trackhost_run_test PER_TEST
    SOURCES host/trackhost_run_test.cpp
    LIBS trackhost_core birdsim
    DEPENDS tracker_3dbird boresight smoothing)

# A plug-in whose createDev throws, as no plug-in may: trackhost's last guard.
add_library(throwing_plugin SHARED host/throwing_plugin.cpp)
tracker_shared_library(throwing_plugin throwing_plugin)
tracker_sees_all(throwing_plugin)

# trackhost as a user runs it, through the shell, from the folder it was built in:
# its two channels, and --record and --replay, each run a process of its own; with
# every name in a folder named in other scripts.
tracker_test(trackhost_program_test
    SOURCES host/trackhost_program_test.cpp host/unicode_paths_test.cpp host/written_files_test.cpp
    DEPENDS trackhost throwing_plugin testcalib)
target_compile_definitions(trackhost_program_test PRIVATE TRACKER_VERSION="${PROJECT_VERSION}")
set_tests_properties(trackhost_program_test PROPERTIES WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
# trackhost.exe writing to a console: names beyond ASCII show as they were typed
# (Wine's console, in a terminal).
if(CMAKE_CROSSCOMPILING AND WINE_EXECUTABLE)
    add_test(NAME console_names_test
        COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/host/console_names_test.sh ${WINE_EXECUTABLE}
                ${CMAKE_BINARY_DIR}/bin)
    set_tests_properties(console_names_test PROPERTIES SKIP_RETURN_CODE 77
        ENVIRONMENT "${TRACKER_TEST_ENVIRONMENT}")
endif()
tracker_test(record_replay_test
    SOURCES host/sensors/record_replay_test.cpp
    LIBS platform
    DEPENDS trackhost birdrecord testcalib)

# trackhost --align: its computation through the plug-in's transforms, its steps, its
# command line, and runs as a user makes them, in bin/.
tracker_test(align_test
    SOURCES host/align/align_test.cpp
    LIBS trackhost_core
    DEPENDS trackhost)
set_tests_properties(align_test PROPERTIES WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
# scripts/demo.sh on the native build (it builds trackhost in that folder first, so
# it runs alone).
if(NOT CMAKE_CROSSCOMPILING)
    add_test(NAME demo_script_test
        COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/host/demo_script_test.sh ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR})
    set_tests_properties(demo_script_test PROPERTIES RUN_SERIAL TRUE)
endif()

# Memory that runs out in each step of a run and of --align before the receive cycle,
# counted and failed by a replaced operator new that the plug-in loaded by path uses
# too (on the native build, where the executable's operator new stands for every
# library's).
if(NOT WIN32)
    tracker_test(run_memory_test PER_TEST
        SOURCES host/run/run_memory_test.cpp fixtures/allocation_count.cpp
        LIBS trackhost_core birdsim
        DEPENDS tracker_3dbird)
endif()

# A run ended from outside leaves complete files and its summary: natively on SIGINT,
# SIGTERM and SIGHUP; on the Windows build on Ctrl-C, which Wine hands to
# trackhost.exe as a console does.
find_program(SYSTEM_PYTHON python3 PATHS /usr/bin NO_DEFAULT_PATH)
if(SYSTEM_PYTHON AND WIN32 AND WINE_EXECUTABLE)
    add_test(NAME interrupt_test
        COMMAND ${SYSTEM_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/host/interrupt_test.py
                ${PROJECT_SOURCE_DIR} INT ${WINE_EXECUTABLE} $<TARGET_FILE:trackhost>)
elseif(SYSTEM_PYTHON AND NOT WIN32)
    add_test(NAME interrupt_test
        COMMAND ${SYSTEM_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/host/interrupt_test.py
                ${PROJECT_SOURCE_DIR} INT,TERM,HUP $<TARGET_FILE:trackhost>)
endif()
if(TEST interrupt_test)
    set_tests_properties(interrupt_test PROPERTIES ENVIRONMENT "${TRACKER_TEST_ENVIRONMENT}"
        TIMEOUT 180)
endif()

# Every ELF file built and packaged has the run path $ORIGIN alone (the package is
# made afresh by CPack in the build folder, so that the test runs alone).
if(NOT CMAKE_CROSSCOMPILING)
    add_test(NAME runpath_test
        COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/release/runpath_test.sh ${CMAKE_BINARY_DIR})
    set_tests_properties(runpath_test PROPERTIES SKIP_RETURN_CODE 77 RUN_SERIAL TRUE)
endif()
