# Reliability: faults from outside the device, devices on several threads, whole
# plug-in lifecycles for the leak check, and the fuzz targets.
tracker_device_test(fault_injection_test fault_injection_test.cpp)
tracker_device_test(concurrency_test concurrency_test.cpp)

add_executable(plugin_lifecycle_test plugin_lifecycle_test.cpp)
target_link_libraries(plugin_lifecycle_test PRIVATE hoststorage birdsim test_support ${TRACKER_GTEST})
tracker_code(plugin_lifecycle_test)
add_dependencies(plugin_lifecycle_test tracker_3dbird testcalib)
gtest_add_tests(TARGET plugin_lifecycle_test TEST_LIST lifecycle_tests)
set_tests_properties(${lifecycle_tests} PROPERTIES
    ENVIRONMENT "WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=")

# libFuzzer targets: configure with clang and -DTRACKER_FUZZ=ON (the test script
# adds the sanitizers and fuzzer-no-link through TRACKER_SANITIZE).
option(TRACKER_FUZZ "Build the libFuzzer targets (clang only)" OFF)
if(TRACKER_FUZZ)
    add_subdirectory(${PROJECT_SOURCE_DIR}/fuzz ${PROJECT_BINARY_DIR}/fuzz)
endif()
