# trackhost: configuration file, command line, output formats, recordings and the
# example calibration libraries, in one process.
tracker_test(trackhost_test
    SOURCES config_file_test.cpp host_options_test.cpp boresight_test.cpp recording_test.cpp
            smoothing_test.cpp config_check_test.cpp device_health_test.cpp
    LIBS trackhost_core one_euro_filter
    DEPENDS boresight smoothing)

# trackhost's run against the simulated sensors, the plug-in loaded by path as
# trackhost loads it.
tracker_test(trackhost_run_test PER_TEST
    SOURCES trackhost_run_test.cpp
    LIBS trackhost_core birdsim
    DEPENDS tracker_3dbird boresight)

# A plug-in whose createDev throws, as no plug-in may: trackhost's last guard.
add_library(throwing_plugin SHARED throwing_plugin.cpp)
tracker_shared_library(throwing_plugin throwing_plugin)
tracker_code(throwing_plugin)

# trackhost as a user runs it, through the shell, from the folder it was built in:
# its two channels, and --record and --replay, each run a process of its own.
tracker_test(trackhost_program_test
    SOURCES trackhost_program_test.cpp
    DEPENDS trackhost throwing_plugin)
target_compile_definitions(trackhost_program_test PRIVATE TRACKER_VERSION="${PROJECT_VERSION}")
set_tests_properties(trackhost_program_test PROPERTIES WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
tracker_test(record_replay_test
    SOURCES record_replay_test.cpp
    LIBS platform
    DEPENDS trackhost birdrecord)
