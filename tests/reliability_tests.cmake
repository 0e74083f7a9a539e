# Reliability: faults from outside the device, devices on several threads, and whole
# plug-in lifecycles for the leak check.
tracker_test(fault_injection_test PER_TEST
    SOURCES device/fault_injection_test.cpp fixtures/allocation_count.cpp ${PROJECT_SOURCE_DIR}/device/PluginEntry.cpp
    LIBS device_test_support
    DEPENDS ${test_calibrations})
tracker_test(concurrency_test PER_TEST
    SOURCES device/concurrency_test.cpp
    LIBS device_test_support
    DEPENDS ${test_calibrations})
tracker_test(plugin_lifecycle_test PER_TEST
    SOURCES device/plugin_lifecycle_test.cpp
    LIBS trackhost_core birdsim
    DEPENDS tracker_3dbird testcalib)
