# trackhost: configuration file, command line, output formats and the example
# calibration library, in one process.
tracker_test(trackhost_test
    SOURCES config_file_test.cpp host_options_test.cpp boresight_test.cpp device_health_test.cpp
    LIBS trackhost_core)
add_dependencies(trackhost_test boresight)

# trackhost's run against the simulated sensors: one process per test, since a
# process wakes at most four sensors. Linked to the simulator only to steer and
# inspect it; the plug-in is loaded by path as trackhost loads it.
add_executable(trackhost_run_test trackhost_run_test.cpp)
target_link_libraries(trackhost_run_test PRIVATE trackhost_core birdsim test_support
    ${TRACKER_GTEST})
target_compile_definitions(trackhost_run_test PRIVATE TRACKER_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
tracker_code(trackhost_run_test)
add_dependencies(trackhost_run_test tracker_3dbird boresight)
gtest_add_tests(TARGET trackhost_run_test TEST_LIST trackhost_run_tests)
set_tests_properties(${trackhost_run_tests} PROPERTIES
    ENVIRONMENT "WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=")
