# trackhost: configuration file, command line, output formats and the example
# calibration library, in one process.
tracker_test(trackhost_test
    SOURCES config_file_test.cpp host_options_test.cpp boresight_test.cpp
    LIBS trackhost_core
    DEPENDS boresight)

# trackhost's run against the simulated sensors, the plug-in loaded by path as
# trackhost loads it.
tracker_test(trackhost_run_test PER_TEST
    SOURCES trackhost_run_test.cpp
    LIBS trackhost_core birdsim
    DEPENDS tracker_3dbird boresight)
