# trackhost: configuration file, command line, output formats, recordings and the
# example calibration libraries, in one process.
tracker_test(trackhost_test
    SOURCES config_file_test.cpp host_options_test.cpp boresight_test.cpp recording_test.cpp
            smoothing_test.cpp
    LIBS trackhost_core one_euro_filter
    DEPENDS boresight smoothing)

# trackhost's run against the simulated sensors, the plug-in loaded by path as
# trackhost loads it.
tracker_test(trackhost_run_test PER_TEST
    SOURCES trackhost_run_test.cpp
    LIBS trackhost_core birdsim
    DEPENDS tracker_3dbird boresight)

# --record and --replay through the built trackhost, each run a process of its own.
tracker_test(record_replay_test
    SOURCES record_replay_test.cpp
    LIBS platform
    DEPENDS trackhost birdrecord)
